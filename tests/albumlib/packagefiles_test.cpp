// Unpacking pictures of a packed album on demand, refusing what would leave
// the album's folders, cleaning up by start mode, and the single-instance
// guard.

// ours
#include "albumtestfiles.h"
#include "clsatom.h"
#include "packagefiles.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <functional>
#include <tuple>

// POSIX
#include <sys/stat.h>

namespace tarnwick {
namespace {

using testing::containerBytes;
using testing::readBytes;
using testing::writeBytes;

// A packed run: the program folder is the album folder, the container sits
// beside it with its picture data at offset 4096.
class Packed : public ::testing::Test {
protected:
    void SetUp() override
    {
        container = containerBytes(8192);
        writeBytes(root.path() + "/album.pak", container);
        startRun(root.path() + "/player");
    }
    void TearDown() override { ResetSession(); }

    // Starts a packed run with `folder` as its program folder.
    void startRun(const QString& folder)
    {
        ResetSession();
        program = folder;
        QDir().mkpath(program);
        SetProgramFolder(program);
        writeBytes(program + "/MainFile.ini",
                   "[PicResultFile]\r\np001.jpg=0,1500\r\nblanks.jpg= 10 , 20 \r\nfraction.jpg=2.5,3.5\r\n"
                   "nolength.jpg=7\r\npast.jpg=4000,200\r\nnegative.jpg=-5000,10\r\nempty.jpg=\r\n"
                   "../evil.jpg=0,10\r\n[PicThumbnailFile]\r\np001_t.jpg=1500,20\r\n");
        StartMode = ModePackedAlbum;
        gAlbum = std::make_unique<Album>();
        gAlbum->SetPath(program.toUpper() + "\\");
        gPackReader = std::make_unique<PackedFile>();
        gPackReader->SetFileName((root.path() + "/ALBUM.PAK").toUpper());
        gPackOffset = 4096;
    }

    QTemporaryDir root;
    QString program;
    QByteArray container;
};

TEST_F(Packed, EntriesAreCopiedByteForByteFromTheirRange)
{
    const std::tuple<const char*, const char*, qsizetype, qsizetype> cases[] = {
        // name, folder, 0-based start in the container (-1: no file), length
        {"p001.jpg", kResultPicture, 4096, 1500},
        {"p001_t.jpg", kMainAlbum, 4096 + 1500, 20},
        {"blanks.jpg", kResultPicture, 4096 + 10, 20},
        {"fraction.jpg", kResultPicture, 4096 + 3, 4},    // 4099.5 and 3.5 round half to even
        {"nolength.jpg", kResultPicture, 4096 + 7, 0},    // no length: an empty copy
        {"past.jpg", kResultPicture, -1, 0},              // beyond the container's end
        {"negative.jpg", kResultPicture, -1, 0},          // before its start
        {"empty.jpg", kResultPicture, -1, 0},
        {"missing.jpg", kResultPicture, -1, 0},
        {"p001.jpg", kMainAlbum, -1, 0},                  // only in the other section
        {"p001_t.jpg", "resultpicture", -1, 0},           // folder names are exact
    };
    for (const auto& [name, folder, from, length] : cases) {
        ExtractPicture(name, folder);
        const QString path = program + "/" + folder + "/" + name;
        EXPECT_EQ(readBytes(path), from < 0 ? "<missing>" : container.mid(from, length)) << name;
    }
}

TEST_F(Packed, NamesThatLeaveTheFolderAreNeverWritten)
{
    for (const QString& name : {QStringLiteral("../evil.jpg"), QStringLiteral("..\\evil.jpg"),
                                QStringLiteral("/tmp/evil.jpg"), QStringLiteral(".."), QString()}) {
        ExtractPicture(name, kResultPicture);
    }
    EXPECT_FALSE(QFile::exists(program + "/evil.jpg"));
    EXPECT_FALSE(QFile::exists(root.path() + "/evil.jpg"));
    EXPECT_EQ(QDir(program + "/ResultPicture").entryList(QDir::Files), QStringList());
}

TEST_F(Packed, AnUnpackedPictureIsNotCopiedAgain)
{
    ExtractPicture("p001.jpg", kResultPicture);
    writeBytes(program + "/ResultPicture/p001.jpg", "changed");
    QFile::remove(program + "/MainFile.ini");
    ExtractPicture("p001.jpg", kResultPicture);
    EXPECT_EQ(readBytes(program + "/ResultPicture/p001.jpg"), QByteArray("changed"));
}

TEST_F(Packed, ARewrittenIndexIsReadAgain)
{
    ExtractPicture("p001.jpg", kResultPicture);
    writeBytes(program + "/MainFile.ini", "[PicResultFile]\r\np002.jpg=10,20\r\n");
    ExtractPicture("p002.jpg", kResultPicture);
    EXPECT_EQ(readBytes(program + "/ResultPicture/p002.jpg"), container.mid(4096 + 10, 20));
}

TEST_F(Packed, AlbumFolderModesTouchNothing)
{
    for (std::int32_t mode : {ModeAlbumFolder, ModeExport, ModeSaverSettings, ModeSaverPassword}) {
        StartMode = mode;
        ExtractPicture("p001.jpg", kResultPicture);
        EXPECT_FALSE(QDir(program + "/ResultPicture").exists()) << mode;
        EXPECT_FALSE(QDir(program + "/MainAlbum").exists()) << mode;
    }
}

TEST_F(Packed, CleanUpByMode)
{
    const std::tuple<std::int32_t, bool, bool> cases[] = {
        // start mode, pictures go, files one folder up go (never: they are
        // not this player's)
        {ModeAlbumFolder, false, false}, {ModeExport, false, false},      {ModePackedAlbum, true, false},
        {ModeSaver, true, false},        {ModeSaverPreview, true, false}, {ModeSaverSettings, false, false},
        {ModeSaverPassword, false, false},
    };
    const QStringList launcher{"twkalbum.dll", "msvbvm60.dll", "twunpack.exe"};
    for (const auto& [mode, picturesGo, launcherFilesGo] : cases) {
        startRun(program);
        ExtractPicture("p001.jpg", kResultPicture);
        ExtractPicture("p001_t.jpg", kMainAlbum);
        writeBytes(program + "/MainAlbum/keep/inner.jpg", "x");
        for (const QString& f : launcher)
            writeBytes(root.path() + "/" + f, "x");
        StartMode = mode;
        CleanUpUnpackedFiles();
        EXPECT_EQ(QFile::exists(program + "/ResultPicture/p001.jpg"), !picturesGo) << mode;
        EXPECT_EQ(QFile::exists(program + "/MainAlbum/p001_t.jpg"), !picturesGo) << mode;
        EXPECT_TRUE(QFile::exists(program + "/MainAlbum/keep/inner.jpg")) << mode;
        for (const QString& f : launcher)
            EXPECT_EQ(QFile::exists(root.path() + "/" + f), !launcherFilesGo) << mode;
        EXPECT_TRUE(QFile::exists(program + "/MainFile.ini"));
    }
    // With nothing left to delete the clean-up still completes.
    StartMode = ModeSaver;
    CleanUpUnpackedFiles();
}

TEST_F(Packed, CleanUpRemovesOnlyWhatThisRunUnpacked)
{
    struct Case {
        const char* what;
        const char* program;      // below the case's folder
        QStringList own;          // the user's files, each holding "own"
        QStringList unpacked;     // regular files after the unpacking, gone after the clean-up
        QStringList never;        // never there
        std::function<void(const QString& dir)> arrange;
    };
    const auto link = [](const char* target, const char* name) {
        return [=](const QString& dir) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(dir + name).path()));
            ASSERT_TRUE(QFile::link(dir + target, dir + name));
        };
    };
    const Case cases[] = {
        {"own files beside unpacked ones", "/album",
         {"/album/ResultPicture/own.jpg", "/album/ResultPicture/blanks.jpg", "/album/MainAlbum/own.mp3"},
         {"/album/ResultPicture/p001.jpg", "/album/MainAlbum/p001_t.jpg"}, {}, {}},
        {"ResultPicture is a link to another folder", "/album",
         {"/photos/a.jpg", "/photos/b.txt"},
         {"/album/MainAlbum/p001_t.jpg"}, {"/photos/p001.jpg", "/photos/blanks.jpg"},
         link("/photos", "/album/ResultPicture")},
        {"a dangling link under a picture's name", "/album", {},
         {"/album/ResultPicture/p001.jpg", "/album/MainAlbum/p001_t.jpg"}, {"/outside.jpg"},
         link("/outside.jpg", "/album/ResultPicture/p001.jpg")},
        {"a FIFO under a picture's name", "/album", {},
         {"/album/MainAlbum/p001_t.jpg"}, {},
         [](const QString& dir) {
             ASSERT_TRUE(QDir().mkpath(dir + "/album/ResultPicture"));
             ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "/album/ResultPicture/p001.jpg").constData(), 0600), 0);
         }},
        {"the home folder", "/home",
         {"/home/notes.txt", "/home/ResultPicture/holiday.jpg", "/home/ResultPicture/sub/x.jpg",
          "/home/MainAlbum/song.mp3", "/home/Documents/letter.odt"},
         {"/home/ResultPicture/p001.jpg", "/home/MainAlbum/p001_t.jpg"}, {}, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString dir = root.path() + "/case" + QString::number(++n);
        for (const QString& f : c.own)
            ASSERT_TRUE(writeBytes(dir + f, "own"));
        if (c.arrange)
            c.arrange(dir);
        startRun(dir + c.program);
        for (const char* name : {"p001.jpg", "blanks.jpg"})
            ExtractPicture(name, kResultPicture);
        ExtractPicture("p001_t.jpg", kMainAlbum);
        for (const QString& f : c.unpacked)
            EXPECT_TRUE(QFileInfo(dir + f).isFile() && !QFileInfo(dir + f).isSymLink()) << qPrintable(f);
        CleanUpUnpackedFiles();
        for (const QString& f : c.own)
            EXPECT_EQ(readBytes(dir + f), QByteArray("own")) << qPrintable(f);
        for (const QString& f : c.unpacked + c.never)
            EXPECT_FALSE(QFile::exists(dir + f)) << qPrintable(f);
    }
    // The FIFO is left as it was (opening it would have hung the run).
    struct stat st {};
    const QByteArray fifo = QFile::encodeName(root.path() + "/case4/album/ResultPicture/p001.jpg");
    EXPECT_TRUE(::lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST(InstanceGuard, OnlyTheFirstHolderIsFirstUntilItGoes)
{
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    auto first = std::make_unique<clsAtom>();
    EXPECT_TRUE(first->IsFirstThread());
    {
        clsAtom second;
        EXPECT_FALSE(second.IsFirstThread());
    }
    first.reset();
    clsAtom third;
    EXPECT_TRUE(third.IsFirstThread());

    // Another program folder is another program.
    QTemporaryDir other;
    SetProgramFolder(other.path());
    clsAtom elsewhere;
    EXPECT_TRUE(elsewhere.IsFirstThread());
}

} // namespace
} // namespace tarnwick

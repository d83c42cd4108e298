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
#include <tuple>

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
        ResetSession();
        program = root.path() + "/player";
        QDir().mkpath(program);
        SetProgramFolder(program);
        container = containerBytes(8192);
        writeBytes(root.path() + "/album.pak", container);
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
    void TearDown() override { ResetSession(); }

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
        // start mode, pictures go, launcher files go
        {ModeAlbumFolder, false, false}, {ModeExport, false, false},      {ModePackedAlbum, true, true},
        {ModeSaver, true, true},         {ModeSaverPreview, true, true},  {ModeSaverSettings, false, true},
        {ModeSaverPassword, false, true},
    };
    const QStringList launcher{"twkalbum.dll", "msvbvm60.dll", "twunpack.exe"};
    for (const auto& [mode, picturesGo, launcherFilesGo] : cases) {
        writeBytes(program + "/ResultPicture/p001.jpg", "x");
        writeBytes(program + "/MainAlbum/p001_t.jpg", "x");
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

// The album library: the album text, music items, pictures, paths, INI files, settings and the packed album.
#include "album.h"
#include "albummusic.h"
#include "albumpicturetool.h"
#include "clsatom.h"
#include "inifile.h"
#include "packagefiles.h"
#include "packedfile.h"
#include "pathresolver.h"
#include "playersettings.h"
#include "programfolder.h"
#include "session.h"
#include "../testfiles.h"

#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <limits>
#include <random>
#include <thread>
#include <tuple>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::readBytes;
using testing::writeBytes;

// Every entry, hidden ones too, in name order: shows leftover temporary files.
QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Bytes that differ from their neighbours, so a range one off shows.
QByteArray containerBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

// Every test works in a folder of its own.
class Files : public ::testing::Test {
protected:
    QString at(const QString& name) const { return dir.path() + name; }
    void age(const QString& path, int seconds)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite)
                    && file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
    }
    QTemporaryDir dir;
};

std::string names(const AlbumPhoto& photo) { return (photo.FileName() + u'|' + photo.ThumbnailFileName()).toStdString(); }

TEST(AlbumLoadText, BuildsTheWholeAlbum)
{
    Album album;
    album.LoadText("[Album]\r\nTitle=Summer\r\nauthor = A. Person \r\nDescription=One\\nTwo\\\\n\r\n"
                   "InfoLine=2 categories ; not a comment in a text\r\nPictureHeight=600   ; pixels\r\n"
                   "Fields=Title|Date||Place  ; names\r\nHiddenFields=place\r\nFrontCover=f.jpg|f_t.jpg   ; c\r\n"
                   "BackCover=back.jpg\r\nCategories=2\r\nMusics=2\r\n[Music1]\r\nFile=track1.ogg\r\n"
                   "[MUSIC2]\r\nfile=track2.mp3\r\n[Category1]\r\nName=Beach\r\nPhotos=2\r\n"
                   "Photo1=p001.jpg|p001_t.jpg\r\nphoto1.DATE=2026-07-01\r\nPhoto1.Title=Two\\nlines\r\n"
                   "Photo2=|p002_t.jpg\r\n[Category2]\r\nName=Harbour\r\n");
    EXPECT_EQ(QStringList({album.Title(), album.Author(), album.Description(), album.InfoLine(),
                           QString::number(album.PictureHeight())}),
              QStringList({"Summer", "A. Person", "One\nTwo\\n", "2 categories ; not a comment in a text", "600"}));
    EXPECT_EQ(album.FieldNames(), (QStringList{"Title", "Date", "Place"}));
    EXPECT_EQ(names(album.FrontCover()) + ' ' + names(album.BackCover()), "f.jpg|f_t.jpg back.jpg|");
    ASSERT_EQ(album.Musics().Count(), 2);
    EXPECT_EQ(album.Musics().Item(2).FileName(), "track2.mp3");
    ASSERT_EQ(album.CategoryCount(), 2);
    const AlbumPhotos& photos = album.Categories().Item(1).Photos();
    ASSERT_EQ(photos.Count(), 2);
    EXPECT_EQ(names(photos.Item(1)) + ' ' + names(photos.Item(2)), "p001.jpg|p001_t.jpg |p002_t.jpg");
    EXPECT_THROW(photos.Item(3), AlbumError);
    EXPECT_THROW(album.Categories().Item(0), AlbumError);
    EXPECT_EQ(photos.Item(1).FieldValue(" date ") + '/' + photos.Item(1).FieldValue("Title"), "2026-07-01/Two\nlines");
    EXPECT_EQ(names(album.Categories().Item(2).FrontCover()), "|");
    EXPECT_EQ(QList<bool>({album.FieldVisible("Title"), album.FieldVisible(" DATE "), album.FieldVisible("PLACE"),
                           album.FieldVisible("")}), QList<bool>({true, true, false, false}));
}

TEST(AlbumLoadText, BrokenTextsGiveEmptyValuesNotFailures)
{
    // text, categories / photos of the first / picture size (800 x 600 when unusable) / title
    const std::pair<const char*, const char*> cases[] = {
        {"", "0/-/800x600/"}, {"garbage\n=\n==\n[\n]\n[Album\nTitle=x\n", "0/-/800x600/"},
        {"[Album]\nCategories=two\nPictureWidth=wide\nPictureHeight=400\n", "0/-/800x600/"},
        {"[Album]\nCategories=-2\nPictureWidth=-800\n", "0/-/800x600/"},
        {"[Album]\nCategories=2\n[Category1]\nPhotos=1\n", "2/1/800x600/"},
        {"[ album ]\n  Title  =  T  \nCATEGORIES = 1 \n", "1/0/800x600/T"},
        {"[Album]\nTitle=A\nTitle=B\nPictureWidth=1\nPictureWidth=2\nPictureHeight=3\n", "0/-/1x3/A"},
        // counts go no further than the lines that could describe them
        {"[Album]\nCategories=1\n[Category1]\nPhotos=99999\n", "1/5/800x600/"},
        {"[Album]\nCategories=32767\n", "3/0/800x600/"},
        // a size beyond a screen's keeps its shape at 64 megapixels
        {"[Album]\nPictureWidth=32767\nPictureHeight=32767\n", "0/-/8192x8192/"},
        {"[Album]\nPictureWidth=30000\nPictureHeight=300\n", "0/-/16384x163/"},
    };
    for (const auto& [text, expected] : cases) {
        Album album;
        album.LoadText(text);
        const QString photos = album.CategoryCount() ? QString::number(album.Categories().Item(1).PhotoCount()) : "-";
        EXPECT_EQ(QStringLiteral("%1/%2/%3x%4/%5").arg(album.CategoryCount()).arg(photos).arg(album.PictureWidth())
                      .arg(album.PictureHeight()).arg(album.Title()), expected) << text;
    }
}

TEST(AlbumLoadText, FileNamesNeverLeaveTheirFolder)
{
    // value of every file pair (Music1's File takes the part before "|"), file|thumbnail
    const std::pair<const char*, const char*> cases[] = {
        {" p.jpg | p_t.jpg ; comment", "p.jpg|p_t.jpg"}, {"p.jpg", "p.jpg|"}, {"../evil.jpg|ok.jpg", "|ok.jpg"},
        {"..|.", "|"}, {"/etc/passwd|x.jpg", "|x.jpg"}, {"sub/p.jpg|sub\\p.jpg", "|"},
        {"tab\tname.jpg|a b;c.jpg", "|a b;c.jpg"},
    };
    for (const auto& [value, expected] : cases) {
        const QString v = value;
        Album album;
        album.LoadText("[Album]\nCategories=1\nMusics=1\nFrontCover=" + v + "\n[Music1]\nFile="
                       + v.section(u'|', 0, 0) + "\n[Category1]\nPhotos=1\nPhoto1=" + v + "\nBackCover=" + v);
        const AlbumCategory& category = album.Categories().Item(1);
        EXPECT_EQ(names(album.FrontCover()) + names(category.Photos().Item(1)) + names(category.BackCover()),
                  std::string(expected) + expected + expected) << value;
        EXPECT_EQ(album.Musics().Item(1).FileName(), QString(expected).section(u'|', 0, 0)) << value;
    }
}

// The peak resident memory of a child process that loads `text` and makes a picture at the album's size.
long childPeakKb(const QString& text)
{
    const pid_t child = fork();
    if (child == 0) {
        Album album;
        album.LoadText(text);
        const QImage picture = AlbumPictureTool().ResizePicture(QImage(8, 8, QImage::Format_RGB32),
                                                                album.PictureWidth(), album.PictureHeight());
        _exit(picture.isNull() ? 1 : 0);
    }
    rusage used{};
    wait4(child, nullptr, 0, &used);
    return used.ru_maxrss;
}

TEST(AlbumLoadText, SmallHostileTextsTakeLittleMemory)
{
    // Every category claims the most photos; the second text also names over a hundred fields.
    QString categories, fields = "Fields=F0";
    for (int c = 1; c <= 100; ++c)
        fields += QStringLiteral("|F%1").arg(c), categories += QStringLiteral("[Category%1]\nPhotos=32767\n").arg(c);
    const QString counts = "[Album]\nCategories=32767\nFields=F|F|F|F|F|F|F|F|F|F\n" + categories;
    const std::pair<QString, long> bombs[] = {
        {counts, 64 * 1024},                                                // was 2.6 GB
        {"[Album]\nCategories=1\n" + fields + "\n" + categories, 64 * 1024}, // was std::bad_alloc
        {"[Album]\nPictureWidth=32767\nPictureHeight=32767\n", 300 * 1024}, // was 4 GB
    };
    const long emptyKb = childPeakKb(QString());
    for (const auto& [text, limitKb] : bombs) {
        const long kb = childPeakKb(text) - emptyKb;
        std::cout << "[ figure ] " << text.size() << "-character text: peak grows " << kb / 1024 << " MB\n";
        EXPECT_LT(kb, limitKb) << text.left(60).toStdString();
    }
}

TEST_F(Files, AlbumMusicFindsItsFileInTheAlbumWhateverTheLetterCase)
{
    ASSERT_TRUE(writeBytes(at("/MainAlbum/Track1.ogg"), "ogg"));
    for (const char* name : {"TRACK1.OGG", "track9.ogg", "../MainAlbum/Track1.ogg"}) {
        AlbumMusic music;
        music.SetFileName(name);
        EXPECT_EQ(music.Load(dir.path() + "\\"), name[0] == 'T') << name;
    }
}

const QColor kQuarters[4] = {Qt::red, Qt::green, Qt::blue, Qt::white};

// Four coloured quarters, so a scaled or shifted result shows.
QImage quarters(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRect(QPoint(i % 2 * size.width() / 2, i / 2 * size.height() / 2), size), kQuarters[i]);
    return image;
}

// Qt writes no GIF: 4 x 4 quarters, its LZW codes kept 3 bits wide by a clear code after every second pixel.
const QByteArray kQuartersGif = QByteArray::fromHex(
    "47494638396104000400810000ff000000ff000000ffffffff2c00000000040004000002" "0a0498106042891b256e2c003b");

TEST_F(Files, AlbumPictureToolLoadsEveryFormatAtExactlyTheAskedSize)
{
    // format, source size, wanted size, tolerance
    const std::tuple<const char*, QSize, QSize, int> cases[] = {
        {"JPG", {4000, 3000}, {800, 600}, 40}, // decoded at a quarter first
        {"JPG", {1600, 1200}, {201, 151}, 40}, // just above an eighth
        {"JPG", {64, 48}, {333, 77}, 40},      {"PNG", {300, 200}, {150, 100}, 0},
        {"BMP", {300, 200}, {640, 480}, 0},    {"GIF", {4, 4}, {60, 45}, 0},
    };
    for (const auto& [format, source, wanted, tolerance] : cases) {
        SCOPED_TRACE(format);
        const QString path = dir.path() + "/Picture." + QString(format).toLower();
        const bool saved = QByteArray(format) == "GIF" ? writeBytes(path, kQuartersGif)
                                                       : quarters(source).save(path, format, 90);
        ASSERT_TRUE(saved);
        const QString written = (dir.path() + "\\Picture." + format).toUpper(); // as the player writes paths
        const QImage image = AlbumPictureTool().LoadPicture(written, wanted.width(), wanted.height());
        EXPECT_EQ(image.size(), wanted);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        for (int i = 0; i < 4; ++i) {
            const QRgb got = image.pixel((i % 2 * 2 + 1) * wanted.width() / 4, (i / 2 * 2 + 1) * wanted.height() / 4);
            for (int shift : {0, 8, 16})
                EXPECT_NEAR(got >> shift & 0xff, kQuarters[i].rgb() >> shift & 0xff, tolerance) << "quarter " << i;
        }
    }
}

TEST_F(Files, AlbumPictureToolGivesNothingForWhatCannotBeLoaded)
{
    ASSERT_TRUE(quarters({40, 30}).save(at("/good.png")) && quarters({400, 300}).save(at("/whole.jpg")));
    ASSERT_TRUE(writeBytes(at("/cut.jpg"), readBytes(at("/whole.jpg")).left(200)));
    ASSERT_TRUE(writeBytes(at("/broken.jpg"), "this is no picture"));
    ASSERT_EQ(mkfifo(QFile::encodeName(at("/fifo.jpg")).constData(), 0600), 0); // would block an open() for ever
    const QString good = at("/good.png"), fifo = at("/fifo.jpg");
    const std::tuple<QString, int, int> cases[] = {
        {at("/missing.jpg"), 10, 10}, {at("/broken.jpg"), 10, 10}, {at("/cut.jpg"), 10, 10}, {QString(), 10, 10},
        {dir.path(), 10, 10}, {good, 0, 10}, {good, 10, -1}, {fifo, 8, 8}, {"/dev/zero", 8, 8},
    };
    for (const auto& [path, width, height] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(AlbumPictureTool().LoadPicture(path, width, height).isNull());
    }
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()})
        EXPECT_EQ(IniFile().ReadTextFile(path), QString()) << path.toStdString();
    // Sizes beyond what the player ever makes give nothing.
    const QImage one(1, 1, QImage::Format_RGB32);
    EXPECT_TRUE(AlbumPictureTool().ResizePicture(one, 16385, 1).isNull());
    EXPECT_TRUE(AlbumPictureTool().ResizePicture(one, 9000, 9000).isNull());
}

TEST_F(Files, AlbumPictureToolShowsTransparencyBlack)
{
    QImage clear(20, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(clear.save(at("/clear.png")));
    QImage black(10, 5, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_EQ(AlbumPictureTool().LoadPicture(at("/clear.png"), 10, 5), black);
}

TEST_F(Files, PathResolverResolvesEachComponentAgainstTheRealListing)
{
    const QString base = dir.path();
    ASSERT_TRUE(writeBytes(base + "/Album/ResultPicture/p001.jpg", "x") && QDir().mkpath(base + "/Album/MainAlbum"));
    ASSERT_TRUE(writeBytes(base + "/Both/Photo.jpg", "") && writeBytes(base + "/Both/photo.jpg", ""));
    // written, real: a new name keeps its folder; the exact name wins, else the first in name order
    const std::pair<const char*, const char*> cases[] = {
        {"\\ALBUM\\\\RESULTPICTURE//P001.JPG", "/Album/ResultPicture/p001.jpg"},
        {"\\ALBUM\\MAINALBUM\\", "/Album/MainAlbum/"}, {"\\ALBUM\\MAINALBUM", "/Album/MainAlbum"},
        {"\\ALBUM\\RESULTPICTURE\\NEW.JPG", "/Album/ResultPicture/NEW.JPG"},
        {"\\ALBUM\\NoSuchFolder\\RESULTPICTURE\\X.JPG", "/Album/NoSuchFolder/RESULTPICTURE/X.JPG"},
        {"\\BOTH\\photo.jpg", "/Both/photo.jpg"}, {"\\BOTH\\Photo.jpg", "/Both/Photo.jpg"},
        {"\\BOTH\\PHOTO.JPG", "/Both/Photo.jpg"}, {"\\ALBUM\\..\\ALBUM\\.\\MAINALBUM\\", "/Album/../Album/./MainAlbum/"},
    };
    for (const auto& [written, real] : cases)
        EXPECT_EQ(resolvePath(base + written), base + real) << written;
    EXPECT_EQ(resolvePath((base + "/album\\resultpicture\\p001.jpg").toUpper()), base + "/Album/ResultPicture/p001.jpg");
}


TEST_F(Files, IniReadFindsValuesByTheGrammar)
{
    const QByteArray settings = "; top\r\n[Effect]\r\nNumber = 5 \r\nE_1=Blend\r\nE_1=Second\r\n;Commented=yes\r\n"
                                "Key=B=C\r\nBlank=   \r\nno entry here\r\n[effect]\r\nLate=1\r\ne_1=Third\r\n"
                                "[Other]\r\nName=other\r\n[Broken\r\nHidden=x\r\n";
    // content (empty: no file), section, key, value with default "def"; the first entry wins; Latin-1 when not UTF-8
    const std::tuple<QByteArray, const char*, const char*, const char*> cases[] = {
        {settings, " EFFECT ", "number", "5"}, {settings, "Effect", "Key", "B=C"}, {settings, "Effect", "e_1", "Blend"},
        {settings, "Effect", "Commented", "def"}, {settings, "Effect", "Late", "1"}, {settings, "Other", "Hidden", "def"},
        {settings, "Effect", "Nothing", "def"}, {settings, "Nothing", "Name", "def"}, {"", "Effect", "Number", "def"},
        {"[A]\nx=1\ny=2", "A", "y", "2"}, {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "1"}, {"x=1\r\n[A]\r\n", "A", "x", "def"},
        {"[A]\r\nname=Caf\xC3\xA9\r\n", "A", "name", "Caf\xC3\xA9"}, {"[A]\r\nname=Caf\xE9\r\n", "A", "name", "Caf\xC3\xA9"},
    };
    for (const auto& [content, section, key, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << section << ' ' << key);
        QFile::remove(at("/Settings.ini"));
        ASSERT_TRUE(content.isEmpty() || writeBytes(at("/Settings.ini"), content));
        EXPECT_EQ(IniFile().ReadValue(section, key, "def", at("\\SETTINGS.INI")), QString::fromUtf8(expected));
    }
}

TEST_F(Files, IniWriteEditsOnlyTheEntryItWritesInPlace)
{
    const QByteArray before = "; top\r\n[Effect]\r\nA=1\r\nB = 2\r\nodd line\r\n\r\n[Other]\r\nC=3\r\n";
    const QByteArray bom = "\xEF\xBB\xBF";
    // content ("-": no file yet), section, key, value, file after ("": refused, left as it was)
    const std::tuple<QByteArray, const char*, const char*, const char*, QByteArray> cases[] = {
        {before, "effect", "b", "7", "; top\r\n[Effect]\r\nA=1\r\nB =7\r\nodd line\r\n\r\n[Other]\r\nC=3\r\n"},
        {before, "EFFECT", "D", "4", "; top\r\n[Effect]\r\nA=1\r\nB = 2\r\nodd line\r\nD=4\r\n\r\n[Other]\r\nC=3\r\n"},
        {before, "New", "K", "V", before + "[New]\r\nK=V\r\n"}, {"[A]\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        {"-", "Current", "MusicOpen", "0", "[Current]\r\nMusicOpen=0\r\n"}, {before, "Other", "C", "one\r\ntwo", ""},
        {before, "Other", "C=x", "v", ""}, {before, "Other", " ", "v", ""}, {before, "Other]", "C", "v", ""},
        // marks shed one by one over writes once turned a line into a section header, and an older key won
        {bom.repeated(2) + "[s]\nk=old\n", "s", "k", "new", bom.repeated(2) + "[s]\r\nk=old\r\n[s]\r\nk=new\r\n"},
        {bom.repeated(3) + "[s]\nk=old\n", "s", "k", "new", bom.repeated(3) + "[s]\r\nk=old\r\n[s]\r\nk=new\r\n"},
    };
    const QString file = at("/playerprofile.ini");
    for (const auto& [content, section, key, value, after] : cases) {
        SCOPED_TRACE(::testing::Message() << section << ' ' << key);
        QFile::remove(file);
        ASSERT_TRUE(content == "-" || writeBytes(file, content));
        EXPECT_EQ(IniFile().WriteValue(section, key, value, file), !after.isEmpty());
        EXPECT_EQ(readBytes(file).toStdString(), (after.isEmpty() ? content : after).toStdString());
        EXPECT_TRUE(after.isEmpty() || IniFile().ReadValue(section, key, "<none>", file) == value) << "read back";
        EXPECT_EQ(entriesOf(dir.path()), QStringList{"playerprofile.ini"});
    }
    EXPECT_FALSE(IniFile().WriteValue("A", "k", "v", "/missing/p.ini"));
}

constexpr qint64 kSize = 600000; // more than one copy chunk

TEST_F(Files, PackedFileCopiesTheBytesOfTheRangeOrRefusesAndWritesNothing)
{
    // Copies `length` bytes from 1-based `start` of `container` into `out`.
    const auto copy = [this](const char* container, qint64 start, qint64 length, const char* out) {
        PackedFile reader, target;
        reader.SetFileName(at(container));
        target.SetOutputFile(at(out));
        return reader.CopyTo(start, target, 1, length);
    };
    const QByteArray bytes = containerBytes(kSize);
    ASSERT_TRUE(writeBytes(at("/album.pak"), bytes));
    for (const auto& [start, length] : {std::pair<qint64, qint64>{4097, 1500}, {1, kSize}, {kSize, 1},
                                        {kSize + 1, 0}, {100001, 300000}}) {
        // A longer older file of the same name is replaced whole.
        ASSERT_TRUE(writeBytes(at("/ResultPicture/p001.jpg"), QByteArray(kSize + 10, 'x')));
        ASSERT_TRUE(copy("\\ALBUM.PAK", start, length, "\\RESULTPICTURE\\p001.jpg")) << start;
        EXPECT_TRUE(readBytes(at("/ResultPicture/p001.jpg")) == bytes.mid(start - 1, length)) << start;
        EXPECT_EQ(entriesOf(at("/ResultPicture")), QStringList{"p001.jpg"});
    }
    ASSERT_TRUE(QDir().rename(at("/ResultPicture"), at("/Out")) && QFile::remove(at("/Out/p001.jpg")));
    const qint64 huge = std::numeric_limits<qint64>::max();
    struct Refused { const char* container; qint64 start, length; const char* out = "/Out/p.jpg"; };
    const Refused refused[] = {
        {"/album.pak", 0, 10}, {"/album.pak", 1, -1}, {"/album.pak", kSize, 2}, {"/album.pak", kSize + 2, 0},
        {"/album.pak", 2, huge}, {"/album.pak", huge, 2}, {"/missing.pak", 1, 10}, {"/Out", 1, 0},
        {"/album.pak", 1, 10, "/Out/.."}, {"/album.pak", 1, 10, "/Out\\.."}, {"/album.pak", 1, 10, "/Out/"},
        {"/album.pak", 1, 10, "/NoFolder/p.jpg"},
    };
    for (const auto& [container, start, length, out] : refused) {
        EXPECT_FALSE(copy(container, start, length, out)) << container << " " << start << "," << length << out;
        EXPECT_EQ(entriesOf(dir.path()), (QStringList{"Out", "album.pak"}));
        EXPECT_TRUE(entriesOf(at("/Out")).isEmpty());
    }
    // A refused copy leaves an existing file as it was.
    ASSERT_TRUE(writeBytes(at("/Out/p.jpg"), "old"));
    EXPECT_FALSE(copy("/album.pak", kSize - 10, 500, "/Out/p.jpg"));
    EXPECT_EQ(readBytes(at("/Out/p.jpg")), "old");
}

// A packed run: the program folder is the album folder, the container sits beside it, its pictures from 4096.
class Packed : public Files {
protected:
    void SetUp() override
    {
        container = containerBytes(8192);
        writeBytes(at("/album.pak"), container);
        startRun(at("/player"));
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
                   "nolength.jpg=7\r\nhalf.jpg=1.5,2.5\r\npast.jpg=4000,200\r\nnegative.jpg=-5000,10\r\nempty.jpg=\r\n"
                   "../evil.jpg=0,10\r\n[PicThumbnailFile]\r\np001_t.jpg=1500,20\r\n");
        StartMode = ModePackedAlbum;
        gAlbum = std::make_unique<Album>();
        gAlbum->SetPath(program.toUpper() + "\\");
        gPackReader = std::make_unique<PackedFile>();
        gPackReader->SetFileName(at("/ALBUM.PAK").toUpper());
        gPackOffset = 4096;
    }
    QString program;
    QByteArray container;
};

TEST_F(Packed, EntriesAreCopiedByteForByteFromTheirRangeAndOnlyOnce)
{
    // name, folder, 0-based start in the container (-1: no file), length
    const std::tuple<const char*, const char*, qsizetype, qsizetype> cases[] = {
        {"p001.jpg", kResultPicture, 4096, 1500}, {"p001_t.jpg", kMainAlbum, 4096 + 1500, 20},
        {"blanks.jpg", kResultPicture, 4096 + 10, 20},
        {"fraction.jpg", kResultPicture, 4096 + 3, 4}, // 1-based 4099.5 and 3.5 round half to even
        {"half.jpg", kResultPicture, 4096 + 1, 2},     // 4098.5 and 2.5 too
        {"nolength.jpg", kResultPicture, 4096 + 7, 0}, {"past.jpg", kResultPicture, -1, 0},
        {"negative.jpg", kResultPicture, -1, 0}, {"empty.jpg", kResultPicture, -1, 0},
        {"missing.jpg", kResultPicture, -1, 0}, {"p001.jpg", kMainAlbum, -1, 0}, // only in the other section
        {"p001_t.jpg", "resultpicture", -1, 0},                                   // folder names are exact
    };
    for (const auto& [name, folder, from, length] : cases) {
        ExtractPicture(name, folder);
        EXPECT_EQ(readBytes(program + "/" + folder + "/" + name), from < 0 ? "<missing>" : container.mid(from, length))
            << name;
    }
    for (const QString& name : {QStringLiteral("../evil.jpg"), QStringLiteral("..\\evil.jpg"),
                                QStringLiteral("/tmp/evil.jpg"), QStringLiteral(".."), QString()})
        ExtractPicture(name, kResultPicture);
    EXPECT_FALSE(QFile::exists(program + "/evil.jpg") || QFile::exists(at("/evil.jpg")));
    EXPECT_EQ(entriesOf(program + "/ResultPicture"), (QStringList{"blanks.jpg", "fraction.jpg", "half.jpg", "nolength.jpg", "p001.jpg"}));
    // An unpacked picture is not copied again; a rewritten index is read again.
    writeBytes(program + "/ResultPicture/p001.jpg", "changed");
    writeBytes(program + "/MainFile.ini", "[PicResultFile]\r\np002.jpg=10,20\r\np001.jpg=0,10\r\n");
    ExtractPicture("p001.jpg", kResultPicture);
    ExtractPicture("p002.jpg", kResultPicture);
    EXPECT_EQ(readBytes(program + "/ResultPicture/p001.jpg"), QByteArray("changed"));
    EXPECT_EQ(readBytes(program + "/ResultPicture/p002.jpg"), container.mid(4096 + 10, 20));
}

TEST_F(Packed, OnlyPackedModesUnpackAndCleanUp)
{
    // start mode, pictures are unpacked and go again; files one folder up never go (they are not this player's)
    const std::pair<std::int32_t, bool> cases[] = {
        {ModeAlbumFolder, false}, {ModeExport, false}, {ModePackedAlbum, true}, {ModeSaver, true},
        {ModeSaverPreview, true}, {ModeSaverSettings, false}, {ModeSaverPassword, false},
    };
    const QStringList launcher{"twkalbum.dll", "msvbvm60.dll", "twunpack.exe"};
    const QString picture = program + "/ResultPicture/p001.jpg", thumbnail = program + "/MainAlbum/p001_t.jpg";
    for (const auto& [mode, packed] : cases) {
        startRun(program);
        StartMode = mode;
        ExtractPicture("blanks.jpg", kResultPicture);
        EXPECT_EQ(QFile::exists(program + "/ResultPicture/blanks.jpg"), packed) << mode;
        StartMode = ModePackedAlbum;
        ExtractPicture("p001.jpg", kResultPicture);
        ExtractPicture("p001_t.jpg", kMainAlbum);
        writeBytes(program + "/MainAlbum/keep/inner.jpg", "x");
        for (const QString& f : launcher)
            writeBytes(at("/" + f), "x");
        StartMode = mode;
        CleanUpUnpackedFiles();
        EXPECT_EQ(QFile::exists(picture) + QFile::exists(thumbnail), packed ? 0 : 2) << mode;
        EXPECT_TRUE(QFile::exists(program + "/MainAlbum/keep/inner.jpg")) << mode;
        for (const QString& f : launcher)
            EXPECT_TRUE(QFile::exists(at("/" + f))) << mode;
        EXPECT_TRUE(QFile::exists(program + "/MainFile.ini"));
    }
    StartMode = ModeSaver; // with nothing left to delete the clean-up still completes
    CleanUpUnpackedFiles();
}

TEST_F(Packed, CleanUpRemovesOnlyWhatThisRunUnpacked)
{
    // program folder, the user's files (holding "own"), unpacked files gone after the clean-up, files never there
    struct Case { const char* what; const char* program; QStringList own, unpacked, never; std::function<void(QString)> arrange; };
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
        {"ResultPicture is a link to another folder", "/album", {"/photos/a.jpg", "/photos/b.txt"},
         {"/album/MainAlbum/p001_t.jpg"}, {"/photos/p001.jpg", "/photos/blanks.jpg"},
         link("/photos", "/album/ResultPicture")},
        {"a dangling link under a picture's name", "/album", {},
         {"/album/ResultPicture/p001.jpg", "/album/MainAlbum/p001_t.jpg"}, {"/outside.jpg"},
         link("/outside.jpg", "/album/ResultPicture/p001.jpg")},
        {"a FIFO under a picture's name", "/album", {}, {"/album/MainAlbum/p001_t.jpg"}, {},
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
        const QString dir = at("/case" + QString::number(++n));
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
    const QByteArray fifo = QFile::encodeName(at("/case4/album/ResultPicture/p001.jpg"));
    EXPECT_TRUE(::lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST_F(Files, InstanceGuardOnlyTheFirstHolderIsFirstUntilItGoes)
{
    SetProgramFolder(dir.path());
    auto first = std::make_unique<clsAtom>();
    EXPECT_TRUE(first->IsFirstThread());
    EXPECT_FALSE(clsAtom().IsFirstThread());
    first.reset();
    clsAtom third;
    EXPECT_TRUE(third.IsFirstThread());
    QTemporaryDir other; // another program folder is another program
    SetProgramFolder(other.path());
    EXPECT_TRUE(clsAtom().IsFirstThread());
}

class Settings : public Files {
protected:
    void SetUp() override { SetProgramFolder(dir.path()); }
    QByteArray read() { return readBytes(PlayerSettingsFile()); }
};

TEST_F(Settings, AMissingFileIsSeededWithTheBuiltInDefaults)
{
    EXPECT_EQ(ReadPlayerSetting("Effect", "EffectNumber", "0"), QStringLiteral("8"));
    EXPECT_EQ(read(), DefaultPlayerSettingsText().toUtf8());
    WritePlayerSetting("Current", "MusicOpen", "0");
    EXPECT_EQ(ReadPlayerSetting("current", "musicopen", "1"), QStringLiteral("0"));
    EXPECT_EQ(ReadPlayerSetting("Effect", "Caption_1", ""), QStringLiteral("Blend"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"playerprofile.ini"});
}

// The effect table the writer below stores: two shares summing to 100.
QByteArray effectTable(int p)
{
    return QStringLiteral("[Effect]\r\nEffectNumber=2\r\nPercent_1=%1\r\nPercent_2=%2\r\n").arg(p).arg(100 - p).toUtf8();
}

TEST_F(Settings, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewTable)
{
    // The writer is a fork of this process, killed after a random while.
    ASSERT_TRUE(writeBytes(PlayerSettingsFile(), effectTable(50)));
    std::mt19937 random(20240611);
    int kills = 0, torn = 0;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(6);
         kills < 300 && std::chrono::steady_clock::now() < end; ++kills) {
        const int first = int(random() % 101);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int p = first;; p = (p + 37) % 101)
                WritePlayerSettings("Effect", {{"EffectNumber", "2"}, {"Percent_1", QString::number(p)},
                                               {"Percent_2", QString::number(100 - p)}});
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const QByteArray table = read(); // whole: the table of the share it names
        torn += table != effectTable(QString(table).section("Percent_1=", 1).section('\r', 0, 0).toInt());
    }
    const QStringList left = entriesOf(dir.path());
    std::cout << kills << " kills, " << torn << " torn tables, " << left.size() - 1 << " temporary files left\n";
    EXPECT_GE(kills, 100);
    EXPECT_EQ(torn, 0);
    // Kills may leave temporary files; once stale, this process's first use of the file removes them, and only
    // them: not the new ones, nor those named otherwise.
    for (const QString& name : left + QStringList{"playerprofile.ini.Zz9yY8"})
        age(at('/' + name), 61);
    QStringList kept{"playerprofile.ini", "playerprofile.ini.a1B2c4", "PLAYERPROFILE.INI.a1B2c3", "other.ini.a1B2c3",
                     "playerprofile.ini.a1B2c3x", "playerprofile.ini.a1B-c3", "playerprofile.ini.bak"};
    for (const QString& name : kept.mid(1))
        age(at('/' + name), name.endsWith("c4") ? 30 : 3600);
    EXPECT_EQ(ReadPlayerSetting("Effect", "EffectNumber", ""), "2");
    kept.sort();
    EXPECT_EQ(entriesOf(dir.path()), kept);
}

TEST_F(Settings, AnUnwritableFileIsSaidOnceOnTheErrorOutputAndToTheCaller)
{
    // Root writes to read-only files and folders anyway; a folder that is gone stops everyone.
    const QString readOnlyFolder = at("/folder"), readOnlyFile = at("/file"), gone = at("/gone");
    for (const QString& where : {readOnlyFolder, readOnlyFile})
        ASSERT_TRUE(writeBytes(where + "/playerprofile.ini", "[Stop]\r\nStopTime=5\r\n"));
    QFile::setPermissions(readOnlyFolder, QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(readOnlyFile + "/playerprofile.ini", QFile::ReadOwner);
    for (const QString& where : {readOnlyFolder, readOnlyFile, gone}) {
        SCOPED_TRACE(where.toStdString());
        SetProgramFolder(where);
        if (QFile(where + "/playerprofile.ini").open(QIODevice::ReadWrite) &&
            QFile(where + "/probe").open(QIODevice::WriteOnly))
            continue;
        QString trouble;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(WritePlayerSetting("Stop", "StopTime", "7", &trouble));
        EXPECT_FALSE(WritePlayerSettings("Effect", {{"Percent_1", "40"}, {"Percent_2", "60"}}));
        EXPECT_FALSE(WritePlayerSetting("Stop", "StopTime", "8"));
        const QString said = QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_TRUE(trouble.contains('"' + where + "/playerprofile.ini\": ") && !trouble.endsWith(": "))
            << trouble.toStdString();
        EXPECT_EQ(said, "tarnwick-player: " + trouble + '\n');
        // A folder that takes no file reads the built-in defaults.
        EXPECT_EQ(ReadPlayerSetting("Stop", "StopTime", "none"), "5");
        EXPECT_EQ(ReadPlayerSetting("Effect", "Caption_1", "none"), where == gone ? "Blend" : "none");
    }
    QFile::setPermissions(readOnlyFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
} // namespace tarnwick

// The album model read from its information text, its music items, its pictures and path helpers.
#include "album.h"
#include "albummusic.h"
#include "albumpicturetool.h"
#include "albumtestfiles.h"
#include "albumutility.h"
#include "inifile.h"
#include "pathresolver.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <tuple>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::writeBytes;

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
    EXPECT_EQ(album.Title() + u'/' + album.Author(), "Summer/A. Person");
    EXPECT_EQ(album.Description(), "One\nTwo\\n");
    EXPECT_EQ(album.InfoLine(), "2 categories ; not a comment in a text");
    EXPECT_EQ(album.PictureHeight(), 600);
    EXPECT_EQ(album.FieldNames(), (QStringList{"Title", "Date", "Place"}));
    EXPECT_EQ(names(album.FrontCover()) + ' ' + names(album.BackCover()), "f.jpg|f_t.jpg back.jpg|");
    ASSERT_EQ(album.Musics().Count(), 2);
    EXPECT_EQ(album.Musics().Item(2).FileName(), "track2.mp3");
    ASSERT_EQ(album.CategoryCount(), 2);
    const AlbumPhotos& photos = album.Categories().Item(1).Photos();
    ASSERT_EQ(photos.Count(), 2);
    EXPECT_EQ(names(photos.Item(1)) + ' ' + names(photos.Item(2)), "p001.jpg|p001_t.jpg |p002_t.jpg");
    EXPECT_EQ(photos.Item(1).FieldValue(" date ") + '/' + photos.Item(1).FieldValue("Title"), "2026-07-01/Two\nlines");
    EXPECT_EQ(names(album.Categories().Item(2).FrontCover()), "|");
    const std::pair<const char*, bool> visible[] = {{"Title", true}, {" DATE ", true}, {"PLACE", false}, {"", false}};
    for (const auto& [name, shown] : visible)
        EXPECT_EQ(album.FieldVisible(name), shown) << name;
    // A second text replaces everything but the path.
    album.SetPath("/HOME/ME/ALBUM");
    album.LoadText("[Album]\nTitle=Other\nCategories=1\n");
    EXPECT_EQ(album.Title() + album.Author() + album.FrontCover().FileName(), "Other");
    EXPECT_EQ(album.Musics().Count() + album.Categories().Item(1).PhotoCount() + album.FieldNames().size(), 0);
    EXPECT_EQ(album.Path(), "/HOME/ME/ALBUM\\");
    album.SetPath("/home/me/album/");
    EXPECT_EQ(album.Path(), "/home/me/album/");
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

TEST(AlbumCollections, IndicesOutsideOneToCountFail)
{
    Album album;
    album.LoadText("[Album]\nCategories=2\nMusics=1\n[Category1]\nPhotos=3\n");
    const AlbumPhotos& photos = album.Categories().Item(1).Photos();
    EXPECT_NO_THROW(photos.Item(3));
    EXPECT_THROW(photos.Item(4), AlbumError);
    EXPECT_THROW(album.Categories().Item(3), AlbumError);
    EXPECT_THROW(album.Musics().Item(-1), AlbumError);
    try {
        album.Categories().Item(0);
        ADD_FAILURE() << "no failure";
    } catch (const AlbumError& error) {
        EXPECT_STREQ(error.what(), "Subscript out of range");
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
    int status = 0;
    rusage used{};
    wait4(child, &status, 0, &used);
    return used.ru_maxrss;
}

TEST(AlbumLoadText, SmallHostileTextsTakeLittleMemory)
{
    QString counts = "[Album]\nCategories=32767\nFields=" + QStringList(QList<QString>(10, "F")).join('|') + "\n";
    QString fields = "[Album]\nCategories=1\nFields=";
    for (int i = 0; i < 100; ++i)
        fields += QStringLiteral("F%1|").arg(i);
    fields += "\n";
    for (int c = 1; c <= 40; ++c) {
        counts += QStringLiteral("[Category%1]\nPhotos=32767\n").arg(c);
        fields += QStringLiteral("[Category%1]\nPhotos=32767\n").arg(c);
    }
    const std::pair<QString, long> bombs[] = {
        {counts, 64 * 1024},                                                // was 2.6 GB
        {fields, 64 * 1024},                                                // was std::bad_alloc
        {"[Album]\nPictureWidth=32767\nPictureHeight=32767\n", 300 * 1024}, // was 4 GB
    };
    const long emptyKb = childPeakKb(QString());
    for (const auto& [text, limitKb] : bombs) {
        const long kb = childPeakKb(text) - emptyKb;
        std::cout << "[ figure ] " << text.size() << "-character text: peak grows " << kb / 1024 << " MB\n";
        EXPECT_LT(kb, limitKb) << text.left(60).toStdString();
    }
}

TEST(AlbumMusic, StatesWithoutPlaybackFollowTheCalls)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.path() + "/MainAlbum/track1.ogg", "ogg"));
    // file name, steps L(oad) P(lay) A (pause) R(esume) S(top), State() after each
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"TRACK1.OGG", "LPARS", "12321"}, {"track1.ogg", "P", "1"}, {"track9.ogg", "LP", "11"},
        {"track1.ogg", "LRPR", "1122"},   {"track1.ogg", "LA", "11"}, {"track1.ogg", "LPL", "121"},
        {"../MainAlbum/track1.ogg", "LP", "11"},
    };
    for (const auto& [fileName, steps, states] : cases) {
        AlbumMusic music;
        music.SetFileName(fileName);
        for (int i = 0; steps[i]; ++i) {
            switch (steps[i]) {
            case 'L': music.Load(dir.path() + "\\"); break;
            case 'P': music.Play(); break;
            case 'A': music.Pause(); break;
            case 'R': music.Resume(); break;
            case 'S': music.Stop(); break;
            }
            EXPECT_EQ(music.State(), states[i] - '0') << fileName << ' ' << steps << " step " << i;
        }
    }
}

struct FakePlayback : MusicPlayback {
    bool load(const QString& realPath) override { return loaded = realPath, accepts; }
    void play() override { current = Playing; }
    void stop() override {}
    void pause() override {}
    void resume() override {}
    int state() const override { return current; }
    static inline bool accepts = true;
    static inline QString loaded;
    static inline int current = Stopped;
};

TEST(AlbumMusic, HandsTheResolvedFileToThePlaybackAndReportsItsState)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.path() + "/MainAlbum/Track1.ogg", "ogg"));
    AlbumMusic::SetPlaybackFactory([] { return std::make_unique<FakePlayback>(); });
    AlbumMusic music;
    music.SetFileName("track1.ogg");
    ASSERT_TRUE(music.Load(dir.path()));
    EXPECT_EQ(FakePlayback::loaded, dir.path() + "/MainAlbum/Track1.ogg");
    music.Play();
    EXPECT_EQ(music.State(), MusicPlayback::Playing);
    FakePlayback::current = MusicPlayback::Finished;
    EXPECT_EQ(music.State(), MusicPlayback::Finished);
    // A file the playback refuses leaves the item stopped.
    FakePlayback::accepts = false;
    EXPECT_FALSE(music.Load(dir.path()));
    music.Play();
    EXPECT_EQ(music.State(), MusicPlayback::Stopped);
    AlbumMusic::SetPlaybackFactory({});
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

TEST(AlbumPictureTool, LoadsEveryFormatAtExactlyTheAskedSize)
{
    QTemporaryDir dir;
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
        const bool gif = QByteArray(format) == "GIF";
        ASSERT_TRUE(gif ? writeBytes(path, kQuartersGif) : quarters(source).save(path, format, 90));
        const QString written = (dir.path() + "\\Picture." + format).toUpper(); // as the player writes paths
        const QImage loaded = AlbumPictureTool().LoadPicture(written, wanted.width(), wanted.height());
        const QImage own = AlbumPictureTool().OpenPicture(written);
        EXPECT_EQ(loaded.size(), wanted);
        EXPECT_EQ(own.size(), source);
        for (const QImage& image : {loaded, own}) {
            EXPECT_EQ(image.format(), QImage::Format_RGB32);
            for (int i = 0; i < 4; ++i) {
                const QRgb got = image.pixel((i % 2 * 2 + 1) * image.width() / 4, (i / 2 * 2 + 1) * image.height() / 4);
                for (int shift : {0, 8, 16})
                    EXPECT_NEAR(got >> shift & 0xff, kQuarters[i].rgb() >> shift & 0xff, tolerance) << "quarter " << i;
            }
        }
    }
}

TEST(AlbumPictureTool, GivesNothingForWhatCannotBeLoaded)
{
    QTemporaryDir dir;
    const QString good = dir.path() + "/good.png";
    ASSERT_TRUE(quarters({40, 30}).save(good) && quarters({400, 300}).save(dir.path() + "/whole.jpg"));
    ASSERT_TRUE(writeBytes(dir.path() + "/cut.jpg", testing::readBytes(dir.path() + "/whole.jpg").left(200)));
    ASSERT_TRUE(writeBytes(dir.path() + "/broken.jpg", "this is no picture"));
    const QString fifo = dir.filePath("fifo.jpg"); // would block an open() for ever
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::tuple<QString, int, int> cases[] = {
        {dir.path() + "/missing.jpg", 10, 10}, {dir.path() + "/broken.jpg", 10, 10}, {dir.path() + "/cut.jpg", 10, 10},
        {QString(), 10, 10}, {dir.path(), 10, 10}, {good, 0, 10}, {good, 10, -1}, {fifo, 8, 8}, {"/dev/zero", 8, 8},
    };
    for (const auto& [path, width, height] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(AlbumPictureTool().LoadPicture(path, width, height).isNull());
        EXPECT_TRUE(AlbumPictureTool().ResizePicture(AlbumPictureTool().OpenPicture(path), width, height).isNull());
        EXPECT_EQ(AlbumPictureTool().OpenPicture(path).isNull(), path != good);
        if (path == fifo || path == "/dev/zero" || path == dir.path()) {
            EXPECT_EQ(IniFile().ReadTextFile(path), QString());
        }
    }
    // Sizes beyond what the player ever makes give nothing.
    const QImage one(1, 1, QImage::Format_RGB32);
    EXPECT_TRUE(AlbumPictureTool().ResizePicture(one, 16385, 1).isNull());
    EXPECT_TRUE(AlbumPictureTool().ResizePicture(one, 9000, 9000).isNull());
}

TEST(AlbumPictureTool, ShowsTransparencyBlackAndPastesClippedOntoACopyOfTheCanvas)
{
    QTemporaryDir dir;
    QImage clear(20, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(clear.save(dir.path() + "/clear.png"));
    EXPECT_EQ(AlbumPictureTool().LoadPicture(dir.path() + "/clear.png", 10, 5).pixel(3, 3), qRgb(0, 0, 0));

    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    QImage source(4, 4, QImage::Format_ARGB32);
    source.fill(Qt::transparent);
    QPainter(&source).fillRect(0, 0, 2, 4, Qt::blue);
    for (const QPoint& at : {QPoint(3, 3), QPoint(-1, -2), QPoint(8, 9), QPoint(10, 0)}) {
        QImage expected = canvas.copy();
        QPainter painter(&expected);
        painter.fillRect(QRect(at, QSize(2, 4)), Qt::blue);
        painter.fillRect(QRect(at + QPoint(2, 0), QSize(2, 4)), Qt::black);
        painter.end();
        EXPECT_EQ(AlbumPictureTool().PastePicture(source, canvas, at.x(), at.y()), expected) << at.x() << "," << at.y();
    }
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(AlbumPictureTool().PastePicture(QImage(), canvas, 0, 0), canvas);
    EXPECT_TRUE(AlbumPictureTool().PastePicture(source, QImage(), 0, 0).isNull());
}

TEST(AlbumUtility, FindAndSplitBetweenMarkers)
{
    // text, start and end marker, limit, mode (0 ignores case), the pieces FindBetween gives
    const std::tuple<const char*, const char*, const char*, int, int, QStringList> cases[] = {
        {"<1>x<2><3>", "<", ">", -1, 0, {"1", "2", "3"}}, {"<1><2><3>", "<", ">", 2, 0, {"1", "2"}},
        {"x[start]a[END]", "[Start]", "[end]", -1, 0, {"a"}},
        {"[start]a[END][Start]b[end]", "[Start]", "[end]", -1, 1, {"b"}}, {"<1><2", "<", ">", -1, 0, {"1"}},
        {"abc>", "<", ">", -1, 0, {}}, {">a<b>", "<", ">", -1, 0, {"b"}}, {"<a<b>", "<", ">", -1, 0, {"a<b"}},
        {"|a|b|c|", "|", "|", -1, 0, {"a", "c"}}, {"abc", "", "c", -1, 0, {}}, {"abc", "a", "", -1, 0, {}},
    };
    for (const auto& [text, start, end, limit, mode, found] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(AlbumUtility().FindBetween(text, start, end, limit, mode), found);
        // SplitBetween gives the same pieces, each with the text's own spelling of the start marker.
        QStringList split = AlbumUtility().SplitBetween(text, start, end, limit, mode);
        for (QString& piece : split)
            piece.remove(0, qsizetype(strlen(start)));
        EXPECT_EQ(split, found);
    }
    EXPECT_EQ(AlbumUtility().SplitBetween("x[start]a[END]", "[Start]", "[end]", -1, 0), QStringList{"[start]a"});
    const QList<double> values{-2.5, 7, 0.25};
    EXPECT_EQ(std::pair(AlbumUtility().MaxOf(values), AlbumUtility().MinOf(values)), std::pair(7.0, -2.5));
    EXPECT_EQ(AlbumUtility().MaxOf(QList<double>()), 0.0);
    EXPECT_EQ(std::pair(AlbumUtility().MaxOf({-180, 0, -3}), AlbumUtility().MinOf({300, 120})), std::pair(0, 120));
}

TEST(PathResolver, ResolvesEachComponentAgainstTheRealListing)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(writeBytes(base + "/Album/ResultPicture/p001.jpg", "x") && QDir().mkpath(base + "/Album/MainAlbum"));
    ASSERT_TRUE(writeBytes(base + "/Both/Photo.jpg", "") && writeBytes(base + "/Both/photo.jpg", ""));
    // written below the test folder, real; a new file goes into the existing folder; the exact name wins over
    // a case-insensitive one, else the first in name order
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

} // namespace
} // namespace tarnwick

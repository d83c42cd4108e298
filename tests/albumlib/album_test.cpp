// The album model as LoadText builds it from an information text: a full
// album, texts that are broken or hostile, and the 1-based collections.

// ours
#include "album.h"
#include "albumpicturetool.h"

// Qt
#include <QImage>
#include <QStringList>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

std::string names(const AlbumPhoto& photo)
{
    return (photo.FileName() + u'|' + photo.ThumbnailFileName()).toStdString();
}

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
    const std::pair<const char*, const char*> cases[] = {
        // text, categories / photos of the first / picture size / title;
        // an album without a usable picture size plays at 800 x 600
        {"", "0/-/800x600/"}, {"garbage\n=\n==\n[\n]\n[Album\nTitle=x\n", "0/-/800x600/"},
        {"[Album]\nCategories=two\nPictureWidth=wide\nPictureHeight=400\n", "0/-/800x600/"},
        {"[Album]\nCategories=-2\nPictureWidth=-800\n", "0/-/800x600/"},
        {"[Album]\nCategories=2\n[Category1]\nPhotos=1\n", "2/1/800x600/"},
        {"[ album ]\n  Title  =  T  \nCATEGORIES = 1 \n", "1/0/800x600/T"},
        {"[Album]\nTitle=A\nTitle=B\nPictureWidth=1\nPictureWidth=2\nPictureHeight=3\n", "0/-/1x3/A"},
        // counts go no further than the lines that could describe them
        {"[Album]\nCategories=1\n[Category1]\nPhotos=99999\n", "1/5/800x600/"},
        {"[Album]\nCategories=32767\n", "3/0/800x600/"},
        // a size beyond what a screen or a video needs keeps its shape at 64 megapixels
        {"[Album]\nPictureWidth=32767\nPictureHeight=32767\n", "0/-/8192x8192/"},
        {"[Album]\nPictureWidth=30000\nPictureHeight=300\n", "0/-/16384x163/"},
    };
    for (const auto& [text, expected] : cases) {
        Album album;
        album.LoadText(text);
        const QString photos = album.CategoryCount() ? QString::number(album.Categories().Item(1).PhotoCount()) : "-";
        const QString got = QStringLiteral("%1/%2/%3x%4/%5")
                                .arg(album.CategoryCount()).arg(photos).arg(album.PictureWidth())
                                .arg(album.PictureHeight()).arg(album.Title());
        EXPECT_EQ(got, expected) << text;
    }
}

TEST(AlbumLoadText, FileNamesNeverLeaveTheirFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        // value of every file pair (Music1's File takes the part before "|"), file|thumbnail
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

// The peak resident memory of a child process that loads `text` and makes
// a picture at the album's size.
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
        {counts, 64 * 1024},                                               // was 2.6 GB
        {fields, 64 * 1024},                                               // was std::bad_alloc
        {"[Album]\nPictureWidth=32767\nPictureHeight=32767\n", 300 * 1024}, // was 4 GB
    };
    const long emptyKb = childPeakKb(QString());
    for (const auto& [text, limitKb] : bombs) {
        const long kb = childPeakKb(text) - emptyKb;
        std::cout << "[ figure ] " << text.size() << "-character text: peak grows " << kb / 1024 << " MB\n";
        EXPECT_LT(kb, limitKb) << text.left(60).toStdString();
    }
}

} // namespace
} // namespace tarnwick

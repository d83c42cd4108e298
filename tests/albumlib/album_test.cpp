// The album model as LoadText builds it from an information text: a full
// album, texts that are broken or hostile, and the 1-based collections.

// ours
#include "album.h"

// GoogleTest
#include <gtest/gtest.h>

// std
#include <functional>
#include <string>

namespace tarnwick {
namespace {

// A packed album's information text: the album, then its picture index.
const QString kAlbumText = QStringLiteral(
    "[Album]\r\n"
    "Title=Summer by the sea\r\n"
    "author = A. Person \r\n"
    "EMail=a.person@example.org\r\n"
    "Web=www.example.org\r\n"
    "Description=First line\\nSecond line\\\\n\r\n"
    "OtherInfo=Made with the album maker\r\n"
    "InfoLine=2 categories, 4 photos ; not a comment in a text\r\n"
    "PictureWidth=800\r\n"
    "PictureHeight=600   ; pixels\r\n"
    "Fields=Title|Date||Place            ; caption field names in order\r\n"
    "HiddenFields=place\r\n"
    "FrontCover=front.jpg|front_t.jpg   ; FileName|ThumbnailFileName\r\n"
    "BackCover=back.jpg\r\n"
    "Categories=2\r\n"
    "Musics=2\r\n"
    "\r\n"
    "[Music1]\r\n"
    "File=track1.ogg\r\n"
    "[MUSIC2]\r\n"
    "file=track2.mp3\r\n"
    "\r\n"
    "[Category1]\r\n"
    "Name=Beach\r\n"
    "FrontCover=c1_front.jpg|c1_front_t.jpg\r\n"
    "BackCover=c1_back.jpg|c1_back_t.jpg\r\n"
    "Photos=3\r\n"
    "Photo1=p001.jpg|p001_t.jpg\r\n"
    "Photo1.Title=Sunrise\r\n"
    "photo1.DATE=2026-07-01\r\n"
    "Photo1.Place=Dunes\r\n"
    "Photo2=p002.jpg|p002_t.jpg\r\n"
    "Photo2.Title=Two\\nlines\r\n"
    "Photo3=|p003_t.jpg\r\n"
    "[Category2]\r\n"
    "Name=Harbour\r\n"
    "Photos=1\r\n"
    "Photo1=h001.jpg|h001_t.jpg\r\n"
    "[PicResultFile]\r\n"
    "p001.jpg=0,183422\r\n"
    "[PicThumbnailFile]\r\n"
    "p001_t.jpg=183422,6120\r\n"
    "[Splitter]\r\n");

std::string s(const QString& text)
{
    return text.toStdString();
}

// A photo's two file names as "file|thumbnail".
std::string names(const AlbumPhoto& photo)
{
    return s(photo.FileName() + u'|' + photo.ThumbnailFileName());
}

TEST(AlbumLoadText, BuildsTheWholeAlbum)
{
    Album album;
    album.LoadText(kAlbumText);

    EXPECT_EQ(s(album.Title()), "Summer by the sea");
    EXPECT_EQ(s(album.Author()), "A. Person");
    EXPECT_EQ(s(album.EMail() + u' ' + album.Web()), "a.person@example.org www.example.org");
    EXPECT_EQ(s(album.Description()), "First line\nSecond line\\n");
    EXPECT_EQ(s(album.OtherInfo()), "Made with the album maker");
    EXPECT_EQ(s(album.InfoLine()), "2 categories, 4 photos ; not a comment in a text");
    EXPECT_EQ(album.PictureWidth(), 800);
    EXPECT_EQ(album.PictureHeight(), 600);
    EXPECT_EQ(album.FieldNames(), (QStringList{"Title", "Date", "Place"}));
    EXPECT_EQ(names(album.FrontCover()), "front.jpg|front_t.jpg");
    EXPECT_EQ(names(album.BackCover()), "back.jpg|");

    ASSERT_EQ(album.Musics().Count(), 2);
    EXPECT_EQ(s(album.Musics().Item(1).FileName()), "track1.ogg");
    EXPECT_EQ(s(album.Musics().Item(2).FileName()), "track2.mp3");

    ASSERT_EQ(album.CategoryCount(), 2);
    const AlbumCategory& beach = album.Categories().Item(1);
    EXPECT_EQ(s(beach.Name()), "Beach");
    EXPECT_EQ(names(beach.FrontCover()), "c1_front.jpg|c1_front_t.jpg");
    EXPECT_EQ(names(beach.BackCover()), "c1_back.jpg|c1_back_t.jpg");
    ASSERT_EQ(beach.PhotoCount(), 3);
    const AlbumPhoto& first = beach.Photos().Item(1);
    EXPECT_EQ(names(first), "p001.jpg|p001_t.jpg");
    EXPECT_EQ(s(first.FieldValue("Title") + u' ' + first.FieldValue("date") + u' '
                + first.FieldValue("Place") + u' ' + first.FieldValue("Camera")),
              "Sunrise 2026-07-01 Dunes ");
    EXPECT_EQ(s(beach.Photos().Item(2).FieldValue("Title")), "Two\nlines");
    EXPECT_EQ(names(beach.Photos().Item(3)), "|p003_t.jpg");

    const AlbumCategory& harbour = album.Categories().Item(2);
    EXPECT_EQ(s(harbour.Name()), "Harbour");
    ASSERT_EQ(harbour.PhotoCount(), 1);
    EXPECT_EQ(names(harbour.Photos().Item(1)), "h001.jpg|h001_t.jpg");
    EXPECT_EQ(names(harbour.FrontCover()), "|");
}

TEST(AlbumLoadText, FieldVisibility)
{
    Album album;
    album.LoadText(kAlbumText);
    struct Case {
        const char* name;
        bool visible;
    };
    const Case cases[] = {
        {"Title", true}, {"DATE", true}, {" Date ", true}, {"Place", false},
        {"PLACE", false}, {"Camera", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(album.FieldVisible(c.name), c.visible);
    }
}

TEST(AlbumLoadText, BrokenTextsGiveEmptyValuesNotFailures)
{
    struct Case {
        const char* name;
        const char* text;
        int categories;
        int firstCategoryPhotos; // -1: no first category
        int width;
        const char* title;
    };
    const Case cases[] = {
        {"empty text", "", 0, -1, 0, ""},
        {"garbage lines", "garbage\n=\n==\n[\n]\n[Album\nTitle=x\n", 0, -1, 0, ""},
        {"counts that are not numbers", "[Album]\nCategories=two\nPictureWidth=wide\n", 0, -1, 0, ""},
        {"negative counts", "[Album]\nCategories=-2\nPictureWidth=-800\n", 0, -1, 0, ""},
        {"count beyond the sections", "[Album]\nCategories=2\n[Category1]\nPhotos=1\n", 2, 1, 0, ""},
        {"photo count without photos", "[Album]\nCategories=1\n[Category1]\nPhotos=4\n", 1, 4, 0, ""},
        {"LF line ends and spaces", "[ album ]\n  Title  =  T  \nCATEGORIES = 1 \n", 1, 0, 0, "T"},
        {"first key wins", "[Album]\nTitle=A\nTitle=B\nPictureWidth=1\nPictureWidth=2\n", 0, -1, 1, "A"},
        {"huge count is cut to 16 bits", "[Album]\nCategories=1\n[Category1]\nPhotos=99999\n", 1,
         32767, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Album album;
        album.LoadText(QString::fromUtf8(c.text));
        EXPECT_EQ(album.CategoryCount(), c.categories);
        if (c.firstCategoryPhotos >= 0) {
            EXPECT_EQ(album.Categories().Item(1).PhotoCount(), c.firstCategoryPhotos);
        }
        EXPECT_EQ(album.PictureWidth(), c.width);
        EXPECT_EQ(s(album.Title()), c.title);
        EXPECT_EQ(album.Musics().Count(), 0);
    }
}

TEST(AlbumLoadText, FileNamesNeverLeaveTheirFolder)
{
    struct Case {
        const char* value; // of Photo1, Music1's File takes the part before "|"
        const char* file;
        const char* thumbnail;
    };
    const Case cases[] = {
        {"p.jpg|p_t.jpg", "p.jpg", "p_t.jpg"},
        {" p.jpg | p_t.jpg ; comment", "p.jpg", "p_t.jpg"},
        {"p.jpg", "p.jpg", ""},
        {"../evil.jpg|ok.jpg", "", "ok.jpg"},
        {"..|..", "", ""},
        {".|x.jpg", "", "x.jpg"},
        {"/etc/passwd|x.jpg", "", "x.jpg"},
        {"sub/p.jpg|sub\\p.jpg", "", ""},
        {"C:\\Windows\\win.ini|t.jpg", "", "t.jpg"},
        {"\\\\server\\share\\p.jpg", "", ""},
        {"ok.jpg|../../t.jpg", "ok.jpg", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const QString value = QString::fromUtf8(c.value);
        Album album;
        album.LoadText("[Album]\nCategories=1\nMusics=1\nFrontCover=" + value + "\n[Music1]\nFile="
                       + value.section(u'|', 0, 0) + "\n[Category1]\nPhotos=1\nPhoto1=" + value
                       + "\nBackCover=" + value + "\n");
        const AlbumCategory& category = album.Categories().Item(1);
        const std::string expected = std::string(c.file) + '|' + c.thumbnail;
        EXPECT_EQ(names(album.FrontCover()), expected);
        EXPECT_EQ(names(category.Photos().Item(1)), expected);
        EXPECT_EQ(names(category.BackCover()), expected);
        EXPECT_EQ(s(album.Musics().Item(1).FileName()), c.file);
    }
}

TEST(AlbumCollections, IndicesOutsideOneToCountFail)
{
    Album album;
    album.LoadText(kAlbumText);
    AlbumPhotos& photos = album.Categories().Item(1).Photos();
    struct Case {
        const char* name;
        std::function<void()> access;
    };
    const Case cases[] = {
        {"category 0", [&] { album.Categories().Item(0); }},
        {"category past the end", [&] { album.Categories().Item(3); }},
        {"negative category", [&] { album.Categories().Item(-1); }},
        {"photo 0", [&] { photos.Item(0); }},
        {"photo past the end", [&] { photos.Item(4); }},
        {"music 0", [&] { album.Musics().Item(0); }},
        {"music past the end", [&] { album.Musics().Item(3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.access();
            ADD_FAILURE() << "no failure";
        } catch (const AlbumError& error) {
            EXPECT_STREQ(error.what(), "Subscript out of range");
        }
    }
    EXPECT_NO_THROW(photos.Item(3));
    EXPECT_NO_THROW(album.Musics().Item(2));
}

TEST(AlbumLoadText, ASecondTextReplacesTheFirstButKeepsThePath)
{
    Album album;
    album.SetPath("/HOME/ME/ALBUM");
    album.LoadText(kAlbumText);
    album.LoadText("[Album]\nTitle=Other\nCategories=1\n");
    EXPECT_EQ(s(album.Path()), "/HOME/ME/ALBUM\\");
    EXPECT_EQ(s(album.Title()), "Other");
    EXPECT_EQ(s(album.Author()), "");
    EXPECT_EQ(album.CategoryCount(), 1);
    EXPECT_EQ(album.Categories().Item(1).PhotoCount(), 0);
    EXPECT_EQ(album.Musics().Count(), 0);
    EXPECT_EQ(s(album.FrontCover().FileName()), "");
    EXPECT_TRUE(album.FieldNames().isEmpty());

    album.SetPath("/home/me/album/");
    EXPECT_EQ(s(album.Path()), "/home/me/album/");
}

} // namespace
} // namespace tarnwick

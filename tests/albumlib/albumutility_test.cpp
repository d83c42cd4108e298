// Cutting texts between markers, the picture index of a packed album, and
// the larger / smaller of a list.

// ours
#include "albumtestfiles.h"
#include "albumutility.h"
#include "inifile.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(AlbumUtilityMarkers, FindAndSplitBetweenMarkers)
{
    struct Case {
        const char* name;
        const char* text;
        const char* start;
        const char* end;
        int limit;
        int mode;
        QStringList found;
        QStringList split;
    };
    const Case cases[] = {
        {"one piece", "a<b>c", "<", ">", -1, 0, {"b"}, {"<b"}},
        {"every piece in order", "<1>x<2><3>", "<", ">", -1, 0, {"1", "2", "3"}, {"<1", "<2", "<3"}},
        {"limit", "<1><2><3>", "<", ">", 2, 0, {"1", "2"}, {"<1", "<2"}},
        {"limit 0", "<1><2>", "<", ">", 0, 0, {}, {}},
        {"empty piece", "[S][E]", "[S]", "[E]", -1, 0, {""}, {"[S]"}},
        {"mode 0 ignores case and keeps the text's marker", "x[start]a[END]", "[Start]", "[end]", -1, 0,
         {"a"}, {"[start]a"}},
        {"other modes compare exactly", "[start]a[END][Start]b[end]", "[Start]", "[end]", -1, 1, {"b"},
         {"[Start]b"}},
        {"start without end", "<1><2", "<", ">", -1, 0, {"1"}, {"<1"}},
        {"no start", "abc>", "<", ">", -1, 0, {}, {}},
        {"end before start is skipped", ">a<b>", "<", ">", -1, 0, {"b"}, {"<b"}},
        {"start marker inside a piece", "<a<b>", "<", ">", -1, 0, {"a<b"}, {"<a<b"}},
        {"same start and end marker", "|a|b|c|", "|", "|", -1, 0, {"a", "c"}, {"|a", "|c"}},
        {"empty start marker", "abc", "", "c", -1, 0, {}, {}},
        {"empty end marker", "abc", "a", "", -1, 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AlbumUtility utility;
        EXPECT_EQ(utility.FindBetween(c.text, c.start, c.end, c.limit, c.mode), c.found);
        EXPECT_EQ(utility.SplitBetween(c.text, c.start, c.end, c.limit, c.mode), c.split);
    }
}

TEST(AlbumUtilityMarkers, PictureIndexOfAPackedAlbumIsAValidIndexFile)
{
    const QString info = QStringLiteral("[Album]\r\nTitle=T\r\nCategories=1\r\n"
                                        "[Category1]\r\nPhotos=1\r\nPhoto1=p001.jpg|p001_t.jpg\r\n"
                                        "[PicResultFile]\r\np001.jpg=0,183422\r\n"
                                        "[PicThumbnailFile]\r\np001_t.jpg= 183422 , 6120 \r\n"
                                        "[Splitter]\r\n");
    const QStringList pieces = AlbumUtility().SplitBetween(info, "[PicResultFile]", "[Splitter]", -1, 0);
    ASSERT_EQ(pieces.size(), 1);

    QTemporaryDir dir;
    const QString mainFile = dir.path() + "\\MainFile.ini";
    ASSERT_TRUE(IniFile().WriteTextFile(pieces.at(0), mainFile, false));
    const IniFile ini;
    EXPECT_EQ(ini.ReadValue("PicResultFile", "p001.jpg", "", mainFile), "0,183422");
    EXPECT_EQ(ini.ReadValue("PicThumbnailFile", "p001_t.jpg", "", mainFile), "183422 , 6120");
    EXPECT_EQ(ini.ReadValue("PicResultFile", "p001_t.jpg", "", mainFile), "");
    EXPECT_EQ(ini.ReadValue("Album", "Title", "none", mainFile), "none");
}

TEST(AlbumUtilityNumbers, LargestAndSmallest)
{
    struct Case {
        QList<double> values;
        double max;
        double min;
    };
    const Case cases[] = {
        {{3, 7}, 7, 3},
        {{7, 3}, 7, 3},
        {{-2.5, -7, 0.25}, 0.25, -7},
        {{5}, 5, 5},
        {{}, 0, 0},
    };
    const AlbumUtility utility;
    for (const Case& c : cases) {
        EXPECT_EQ(utility.MaxOf(c.values), c.max);
        EXPECT_EQ(utility.MinOf(c.values), c.min);
    }
    // Two-element lists as the thumbnail strip writes them.
    const int viewport = 300;
    const int max = 120;
    EXPECT_EQ(utility.MinOf({viewport, max}), 120);
    EXPECT_EQ(utility.MaxOf({max - viewport, 0}), 0);
    EXPECT_EQ(utility.MaxOf({1.5, 0.5}), 1.5);
}

} // namespace
} // namespace tarnwick

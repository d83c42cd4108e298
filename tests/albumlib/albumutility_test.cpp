// Cutting texts between markers, and the larger / smaller of a list.

// ours
#include "albumutility.h"

// GoogleTest
#include <gtest/gtest.h>

// std
#include <cstring>
#include <tuple>
#include <utility>

namespace tarnwick {
namespace {

TEST(AlbumUtility, FindAndSplitBetweenMarkers)
{
    const std::tuple<const char*, const char*, const char*, int, int, QStringList> cases[] = {
        // text, start and end marker, limit, mode, the pieces FindBetween gives
        {"<1>x<2><3>", "<", ">", -1, 0, {"1", "2", "3"}},
        {"<1><2><3>", "<", ">", 2, 0, {"1", "2"}},
        {"x[start]a[END]", "[Start]", "[end]", -1, 0, {"a"}}, // mode 0 ignores case
        {"[start]a[END][Start]b[end]", "[Start]", "[end]", -1, 1, {"b"}},
        {"<1><2", "<", ">", -1, 0, {"1"}},
        {"abc>", "<", ">", -1, 0, {}},
        {">a<b>", "<", ">", -1, 0, {"b"}},
        {"<a<b>", "<", ">", -1, 0, {"a<b"}},
        {"|a|b|c|", "|", "|", -1, 0, {"a", "c"}},
        {"abc", "", "c", -1, 0, {}},
        {"abc", "a", "", -1, 0, {}},
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
}

TEST(AlbumUtility, LargestAndSmallest)
{
    const QList<double> values{-2.5, 7, 0.25};
    EXPECT_EQ(std::pair(AlbumUtility().MaxOf(values), AlbumUtility().MinOf(values)), std::pair(7.0, -2.5));
    EXPECT_EQ(AlbumUtility().MaxOf(QList<double>()), 0.0);
    EXPECT_EQ(std::pair(AlbumUtility().MaxOf({-180, 0, -3}), AlbumUtility().MinOf({300, 120})), std::pair(0, 120));
}

} // namespace
} // namespace tarnwick

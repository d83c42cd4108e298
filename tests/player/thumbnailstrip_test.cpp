// ours
#include "thumbnailstrip.h"

// std
#include <vector>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// Slots of 50 x 40 in a viewport of 100: sizes other than the panel's
// design ones, so a range worked out from those shows.
TEST(ThumbnailStripTest, BuildsWorkOutRangeStepsAndPictureEntries)
{
    struct Case {
        const char* what;
        std::vector<QString> tags; // entries 0.. of the build
        int max;
        int large, small; // 0: left as they were (scroll bar off)
        int entryOfPhoto1;
    };
    const QString front = ThumbnailStrip::kFrontCoverTag;
    const QString back = ThumbnailStrip::kBackCoverTag;
    const std::vector<Case> cases{
        {"two photos fit", {"1", "2"}, 0, 0, 0, 0},
        {"a lone front cover gives no range", {front}, 0, 0, 0, 1},
        {"three photos pass the viewport", {"1", "2", "3"}, 20, 20, 20, 0},
        {"covers count as entries", {front, "1", "2", "3", back}, 100, 100, 40, 1},
        {"long strip", {"1", "2", "3", "4", "5", "6", "7"}, 180, 100, 40, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ThumbnailStrip strip;
        strip.setSlotSize(50, 40);
        strip.setViewportHeight(100);
        strip.beginBuild();
        for (int k = 0; k < static_cast<int>(c.tags.size()); ++k)
            strip.setEntry(k, c.tags[k], QImage(), c.tags[k] != front);
        strip.finishBuild();
        EXPECT_EQ(strip.maximum(), c.max);
        EXPECT_EQ(strip.scrollEnabled(), c.max != 0);
        if (c.large) {
            EXPECT_EQ(strip.largeChange(), c.large);
            EXPECT_EQ(strip.smallChange(), c.small);
        }
        EXPECT_EQ(strip.entryForPicture(1), c.entryOfPhoto1);
        EXPECT_EQ(strip.lastVisible(), static_cast<int>(c.tags.size()) - 1);
        EXPECT_EQ(strip.entryRect(1), QRect(4, 44, 42, 32));
    }
}

} // namespace
} // namespace tarnwick

// Mask: every slide and door variant ends on the incoming picture, frames and
// virtual time follow MaskTimes, MaskInterval and the 20 ms pause, and chosen
// frames match rectangles worked out by hand (including half-to-even cuts).

// ours
#include "effectfixture.h"

#include <gtest/gtest.h>

// std
#include <array>
#include <vector>

using namespace tarnwick;

namespace {

const QString kTimes = QStringLiteral("MaskTimes(How many loop times to finish?)");
const QString kInterval =
    QStringLiteral("MaskInterval(ms)(How many milliseconds would computer relax between two process)");

} // namespace

TEST(Mask, EveryVariantEndsOnTheIncomingPictureAtItsPace)
{
    struct Case {
        const char* what;
        int variant;
        const char* times;    // nullptr: key missing
        const char* interval; // nullptr: key missing
        bool isVCD;
        bool isUserDefine;
        int frames;
        std::int64_t ms;
    };
    std::vector<Case> cases;
    // Interval 0: the fixed 20 ms pause alone paces each frame.
    for (int v = 0; v < 12; ++v)
        cases.push_back({"six frames", v, "6", "0", false, false, 6, 120});
    cases.push_back({"defaults: interval 10 below the pause", 0, nullptr, nullptr, false, false, 400, 8000});
    cases.push_back({"interval above the pause", 9, "6", "35", false, false, 6, 210});
    cases.push_back({"export runs 100 frames", 5, "6", nullptr, true, false, 100, 2000});
    cases.push_back({"user-defined export keeps the setting", 10, "6", nullptr, true, true, 6, 120});

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << ", variant " << c.variant);
        auto stage = test::EffectStage::gradients(12, 8);
        stage.objTmp.setPicture(stage.A);
        if (c.times)
            stage.set("Mask", kTimes, c.times);
        if (c.interval)
            stage.set("Mask", kInterval, c.interval);
        stage.movie.isVCD = c.isVCD;
        stage.movie.isUserDefine = c.isUserDefine;
        stage.movie.setForcedVariant(c.variant);
        ASSERT_TRUE(stage.run("Mask"));

        EXPECT_TRUE(stage.host.failures().isEmpty());
        EXPECT_EQ(stage.host.refreshes(), c.frames);
        EXPECT_EQ(stage.movie.hookCalls(), c.frames);
        EXPECT_EQ(stage.host.now(), c.ms);
        // Events run twice per frame: after the pause and after the wait.
        EXPECT_EQ(stage.host.events(), 2 * c.frames);
        EXPECT_TRUE(stage.destShowsB());
        EXPECT_FALSE(stage.objTmp.hasPicture());
        EXPECT_TRUE(stage.objTmp2.image() == stage.A);
    }
}

TEST(Mask, FramesCopyTheRectanglesWorkedOutByHand)
{
    struct Case {
        const char* what;
        int variant;
        int w, h, times, frame;
        // Copies onto the outgoing picture A, in order:
        // {1 from B or 0 from A, dest x, dest y, w, h, src x, src y}.
        std::vector<std::array<int, 7>> copies;
    };
    const Case cases[] = {
        // stepX 2, frame 2: offset 4; B's right 4 columns enter on the left.
        {"slide right", 0, 10, 5, 5, 2, {{1, 0, 0, 4, 5, 6, 0}}},
        {"slide left", 4, 10, 5, 5, 2, {{1, 6, 0, 4, 5, 0, 0}}},
        // stepY 2.5: whole(2.5) = 2 for both place and height, so row 4
        // keeps the outgoing picture on frame 1.
        {"slide up and left, half-way rounds to even", 3, 10, 5, 2, 1, {{1, 5, 2, 5, 2, 0, 0}}},
        {"slide down and right", 7, 10, 5, 2, 1, {{1, 0, 0, 5, 2, 5, 2}}},
        // stepX 3, p = 3: B everywhere, then halves of A 4 wide, read from
        // column 1 (p \ 2) and from column 6 placed at 15 \ 2 = 7.
        {"doors open sideways, frame 1", 8, 12, 4, 4, 1,
         {{1, 0, 0, 12, 4, 0, 0}, {0, 0, 0, 4, 4, 1, 0}, {0, 7, 0, 4, 4, 6, 0}}},
        // i x stepX = 9: halves whole(3) \ 2 = 1 wide, from 9 \ 2 = 4 and at
        // 21 \ 2 = 10.
        {"doors open sideways, frame 3", 8, 12, 4, 4, 3,
         {{1, 0, 0, 12, 4, 0, 0}, {0, 0, 0, 1, 4, 4, 0}, {0, 10, 0, 1, 4, 6, 0}}},
        // p = 3: halves 1 wide, read from 9 \ 2 = 4 and from 6, the right
        // one placed at 12 - 1.
        {"doors close sideways, frame 1", 9, 12, 4, 4, 1, {{1, 0, 0, 1, 4, 4, 0}, {1, 11, 0, 1, 4, 6, 0}}},
        {"doors close sideways, frame 2", 9, 12, 4, 4, 2, {{1, 0, 0, 3, 4, 3, 0}, {1, 9, 0, 3, 4, 6, 0}}},
        // Odd width, one frame: halves 13 \ 2 = 6 wide, the right one read
        // from 6 but placed at 7, so column 6 never changes.
        {"doors close on an odd width", 9, 13, 3, 1, 1, {{1, 0, 0, 6, 3, 0, 0}, {1, 7, 0, 6, 3, 6, 0}}},
        {"doors open up and down, frame 1", 10, 4, 12, 4, 1,
         {{1, 0, 0, 4, 12, 0, 0}, {0, 0, 0, 4, 4, 0, 1}, {0, 0, 7, 4, 4, 0, 6}}},
        {"doors close up and down, frame 1", 11, 4, 12, 4, 1, {{1, 0, 0, 4, 1, 0, 4}, {1, 0, 11, 4, 1, 0, 6}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto stage = test::EffectStage::gradients(c.w, c.h);
        stage.set("Mask", kTimes, QString::number(c.times));
        stage.movie.setForcedVariant(c.variant);
        stage.pick.insert(c.frame);
        stage.run("Mask");
        ASSERT_EQ(stage.picked.count(c.frame), 1u);

        QImage expected = stage.A;
        for (const auto& k : c.copies)
            expected = test::composed(expected, {{k[0] ? &stage.B : &stage.A, k[1], k[2], k[3], k[4], k[5], k[6]}});
        // The maps show where a frame differs; the images must be equal.
        EXPECT_EQ(test::pictureMap(stage.picked[c.frame], stage.A, stage.B),
                  test::pictureMap(expected, stage.A, stage.B));
        EXPECT_TRUE(stage.picked[c.frame] == expected);
    }
}

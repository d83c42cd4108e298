// Shutter: every kind, with and without stagger, uncovers the incoming
// picture by its last frame at the pace of ShutterTimes, ShutterInterval and
// the 10 ms pause; slat widths of chosen frames are worked out by hand.

// ours
#include "effectfixture.h"

#include <gtest/gtest.h>

// std
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

const QString kTimes = QStringLiteral("ShutterTimes(How many loop times to finish?)");
const QString kInterval =
    QStringLiteral("ShutterInterval(ms)(How many milliseconds would computer relax between two process)");
const QString kBlock = QStringLiteral("ShutterBlock(how many shutters)");

} // namespace

TEST(Shutter, EveryKindAndStaggerEndsOnTheIncomingPictureAtItsPace)
{
    struct Case {
        const char* what;
        int kind, stagger;
        const char* times;    // nullptr: key missing
        const char* interval; // nullptr: key missing
        const char* block;    // nullptr: key missing
        bool isVCD;
        int frames;
        std::int64_t ms;
        int slats;
        int w = 12, h = 6;
    };
    std::vector<Case> cases;
    // Interval 0 leaves the fixed 10 ms pause; 3 slats divide 12 x 6 evenly.
    for (int kind = 0; kind < 4; ++kind)
        for (int stagger = 0; stagger < 2; ++stagger)
            cases.push_back({"four frames", kind, stagger, "4", "0", "3", false, 4, 40, 3});
    cases.push_back({"defaults: 80 frames of the 20 ms interval", 0, 1, nullptr, nullptr, "3", false, 80, 1600, 3});
    cases.push_back({"default 30 slats", 3, 0, "4", nullptr, nullptr, false, 4, 80, 30, 12, 30});
    cases.push_back({"interval below the pause adds nothing", 1, 1, "4", "5", "3", false, 4, 40, 3});
    cases.push_back({"export runs 100 frames", 2, 1, "4", nullptr, "3", true, 100, 2000, 3});
    cases.push_back({"one slat is a single wipe", 2, 1, "4", "0", "1", false, 4, 40, 1});

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << ", kind " << c.kind << " stagger " << c.stagger);
        auto stage = test::EffectStage::gradients(c.w, c.h);
        stage.objTmp.setPicture(stage.A);
        if (c.times)
            stage.set("Shutter", kTimes, c.times);
        if (c.interval)
            stage.set("Shutter", kInterval, c.interval);
        if (c.block)
            stage.set("Shutter", kBlock, c.block);
        stage.movie.isVCD = c.isVCD;
        stage.movie.setForcedVariant(c.kind);
        stage.movie.setForcedStagger(c.stagger);
        ASSERT_TRUE(stage.run("Shutter"));

        EXPECT_TRUE(stage.host.failures().isEmpty());
        EXPECT_EQ(stage.host.refreshes(), c.frames);
        EXPECT_EQ(stage.movie.hookCalls(), c.frames);
        EXPECT_EQ(stage.host.now(), c.ms);
        // Events run after every slat table entry, after every slat drawn
        // and twice in each frame's tail.
        EXPECT_EQ(stage.host.events(), c.slats + c.frames * (c.slats + 2));
        EXPECT_TRUE(stage.destShowsB());
        EXPECT_FALSE(stage.objTmp.hasPicture());
    }
}

TEST(Shutter, SlatWidthsOfChosenFramesMatchTheHandWorkedValues)
{
    struct Case {
        const char* what;
        int kind, stagger;
        int w, h, slats, times, frame;
        std::string lines; // per column (kinds 0, 2) or row (kinds 1, 3)
    };
    const Case cases[] = {
        // 12 wide, 3 slats, 4 frames: step 12 / (3 x 4) = 1, so frame 2's
        // slats are 2 wide at 0, 4 and 8.
        {"from the left edges", 0, 0, 12, 3, 3, 4, 2, "BBAABBAABBAA"},
        // Stagger widths (3 - j) x 1.8 x 2 / 3 + 2: 4.4, 3.2, 2 -> 4, 3, 2.
        {"from the left edges, staggered", 0, 1, 12, 3, 3, 4, 2, "BBBBBBBABBAA"},
        // Right edges 4, 8, 12; slats end there.
        {"from the right edges", 2, 0, 12, 3, 3, 4, 2, "AABBAABBAABB"},
        // Widths 2, 3.2, 4.4 end at 4, 8, 12: starts 2, 4.8 -> 5, 7.6 -> 8.
        {"from the right edges, staggered", 2, 1, 12, 3, 3, 4, 2, "AABBABBBBBBB"},
        {"from the top edges", 1, 0, 3, 12, 3, 4, 2, "BBAABBAABBAA"},
        {"from the top edges, staggered", 1, 1, 3, 12, 3, 4, 2, "BBBBBBBABBAA"},
        {"from the bottom edges, staggered", 3, 1, 3, 12, 3, 4, 2, "AABBABBBBBBB"},
        // One slat: frame 1 of 4 uncovers a quarter.
        {"a single slat", 0, 1, 12, 3, 1, 4, 1, "BBBAAAAAAAAA"},
        // 10 / 4 slats in one frame: starts 0, 2.5, 5, 7.5 -> 0, 2, 5, 8 and
        // width whole(2.5) = 2, so columns 4 and 7 keep the outgoing picture.
        {"halves round to even, leaving gaps", 0, 0, 10, 2, 4, 1, 1, "BBBBABBABB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto stage = test::EffectStage::gradients(c.w, c.h);
        stage.set("Shutter", kTimes, QString::number(c.times));
        stage.set("Shutter", kBlock, QString::number(c.slats));
        stage.movie.setForcedVariant(c.kind);
        stage.movie.setForcedStagger(c.stagger);
        stage.pick.insert(c.frame);
        stage.run("Shutter");
        ASSERT_EQ(stage.picked.count(c.frame), 1u);
        const bool columns = c.kind == 0 || c.kind == 2;
        EXPECT_EQ(test::lineMap(stage.picked[c.frame], stage.A, stage.B, columns), c.lines);
    }
}

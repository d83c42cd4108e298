// LineTransform: every variant's step count, frame hooks and virtual time
// (Interval, then 10 ms, per step; 500 ms between phases), where each ends
// (odd line counts in variants 3 and 7 leave the even lines), the sampling
// period when lines outnumber frames, and chosen steps worked out by hand.

// ours
#include "effectfixture.h"

#include <gtest/gtest.h>

// std
#include <array>
#include <string>
#include <utility>
#include <vector>

using namespace tarnwick;

namespace {

const QString kTimes = QStringLiteral("LineTransformTimes(How many loop times to finish?)");
const QString kInterval =
    QStringLiteral("LineTransformInterval(ms)(How many milliseconds would computer relax between two process)");
const QString kLinesX = QStringLiteral("LineNumber_X(How many lines at horizontal)");
const QString kLinesY = QStringLiteral("LineNumber_Y(How many lines at vertical)");

struct Lines {
    const char* times; // nullptr: key missing
    const char* interval;
    const char* lx;
    const char* ly;
};

void setLines(test::EffectStage& stage, const Lines& l)
{
    const std::pair<const QString*, const char*> keys[] = {
        {&kTimes, l.times}, {&kInterval, l.interval}, {&kLinesX, l.lx}, {&kLinesY, l.ly}};
    for (const auto& [key, value] : keys)
        if (value)
            stage.set("LineTransform", *key, value);
}

} // namespace

TEST(LineTransform, EveryVariantEndsOnTheIncomingPictureAtItsPace)
{
    // 8 columns and 6 rows of 2 pixels, 8 frames, steps of 15 + 10 ms.
    struct Case {
        int variant;
        int steps, hooks;
        std::int64_t ms;
    };
    const Case cases[] = {
        // Two line phases over 8 columns (or 6 rows), a hook per line.
        {0, 8, 8, 700}, {1, 8, 8, 700}, {2, 8, 8, 700}, {3, 8, 8, 700},
        {4, 6, 6, 650}, {5, 6, 6, 650}, {6, 6, 6, 650}, {7, 6, 6, 650},
        // One phase from both edges: lines 1, 3, 5, 7 (rows 1, 3, 5).
        {8, 4, 4, 100}, {9, 3, 3, 75},
        // Two sliding phases of 8 frames, hooks on the even frames; the
        // fifth variant of each slides in one phase without a pause.
        {10, 16, 8, 900}, {11, 16, 8, 900}, {12, 16, 8, 900}, {13, 16, 8, 900}, {14, 8, 4, 200},
        {15, 16, 8, 900}, {16, 16, 8, 900}, {17, 16, 8, 900}, {18, 16, 8, 900}, {19, 8, 4, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "variant " << c.variant);
        auto stage = test::EffectStage::gradients(16, 12);
        stage.objTmp.setBackColor(0x123456);
        const QImage tmp = stage.objTmp.image().copy();
        setLines(stage, {"8", "15", "8", "6"});
        stage.movie.setForcedVariant(c.variant);
        ASSERT_TRUE(stage.run("LineTransform"));

        EXPECT_TRUE(stage.host.failures().isEmpty());
        EXPECT_EQ(stage.host.refreshes(), c.steps);
        EXPECT_EQ(stage.movie.hookCalls(), c.hooks);
        EXPECT_EQ(stage.host.now(), c.ms);
        EXPECT_TRUE(stage.destShowsB());
        EXPECT_TRUE(stage.objTmp.image() == tmp);
        EXPECT_TRUE(stage.objTmp2.image() == stage.A);
    }
}

TEST(LineTransform, OddLineCountsLeaveTheEvenLinesOfVariantsThreeAndSeven)
{
    // 7 columns and 5 rows of 2 pixels. Variants 3 and 7 draw the odd lines
    // in both phases; every other variant still covers the picture.
    for (int variant = 0; variant < 20; ++variant) {
        SCOPED_TRACE(testing::Message() << "variant " << variant);
        auto stage = test::EffectStage::gradients(14, 10);
        setLines(stage, {"4", "0", "7", "5"});
        stage.movie.setForcedVariant(variant);
        stage.run("LineTransform");
        if (variant == 3)
            EXPECT_EQ(test::columnMap(stage.objDest.image(), stage.A, stage.B), "BBAABBAABBAABB");
        else if (variant == 7)
            EXPECT_EQ(test::rowMap(stage.objDest.image(), stage.A, stage.B), "BBAABBAABB");
        else
            EXPECT_TRUE(stage.destShowsB());
    }
}

TEST(LineTransform, FrameHooksAndTimeFollowTheSettingsAndTheExport)
{
    struct Case {
        const char* what;
        int variant;
        Lines lines;
        bool isVCD;
        int steps, hooks;
        std::int64_t ms;
        bool isUserDefine = false;
    };
    const Case cases[] = {
        // 10 lines over 4 frames: q = 10 \ (4 \ 2) = 5, hooks where j or
        // j + 1 is a multiple of 5: lines 9 and 5, then 4 and 10.
        {"left to right, lines outnumber frames", 0, {"4", "0", "10", "2"}, false, 10, 4, 600},
        {"right to left, lines outnumber frames", 2, {"4", "0", "10", "2"}, false, 10, 4, 600},
        {"rows outnumber frames", 4, {"4", "0", "2", "10"}, false, 10, 4, 600},
        // From both edges: j = 1, 3, 5, 7, 9, hooks at 5 and 9.
        {"both edges, lines outnumber frames", 8, {"4", "0", "10", "2"}, false, 5, 2, 50},
        // 3 frames: q = 10 \ 1 = 10, so only lines 9 and 10.
        {"a period of ten", 0, {"3", "0", "10", "2"}, false, 10, 2, 600},
        {"defaults: 100 columns of 30 ms and the phase pause", 0, {}, false, 100, 100, 3500},
        {"defaults: 80 rows", 5, {}, false, 80, 80, 2900},
        {"defaults: sliding rows", 10, {}, false, 200, 100, 6500},
        {"interval below the 10 ms pause still waits", 0, {"8", "5", "8", "2"}, false, 8, 8, 620},
        // The export's 100 frames make every one of 100 lines a sample.
        {"export samples every line", 1, {"4", nullptr, nullptr, nullptr}, true, 100, 100, 3500},
        {"export slides 100 frames per phase", 17, {"4", "0", nullptr, nullptr}, true, 200, 100, 2500},
        {"user-defined export keeps 4 frames", 17, {"4", "0", nullptr, nullptr}, true, 8, 4, 580, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto stage = test::EffectStage::gradients(20, 10);
        setLines(stage, c.lines);
        stage.movie.isVCD = c.isVCD;
        stage.movie.isUserDefine = c.isUserDefine;
        stage.movie.setForcedVariant(c.variant);
        ASSERT_TRUE(stage.run("LineTransform"));
        EXPECT_TRUE(stage.host.failures().isEmpty());
        EXPECT_EQ(stage.host.refreshes(), c.steps);
        EXPECT_EQ(stage.movie.hookCalls(), c.hooks);
        EXPECT_EQ(stage.host.now(), c.ms);
    }
}

TEST(LineTransform, LineStepsDrawTheLinesWorkedOutByHand)
{
    // 8 lines of 2 pixels; the step numbers count refreshes, phase 1 having
    // steps 1 to 4.
    struct Case {
        const char* what;
        int variant, step;
        std::string lines; // per column (variants 0 to 3, 8) or row (4 to 7)
        int count = 8;
    };
    const Case cases[] = {
        {"left to right, line 3", 0, 2, "BBAABBAAAAAAAAAA"},
        // Phase 2 of variant 0 wipes from the left edge to the end of line 2.
        {"wipe from the left to line 2", 0, 5, "BBBBBBAABBAABBAA"},
        // Variant 1 wipes from one line before line 8 to the right edge.
        {"wipe from the right from line 8", 1, 5, "BBAABBAABBAABBBB"},
        {"right to left, line 8 first", 2, 1, "AAAAAAAAAAAAAABB"},
        {"rows, wipe from the top to row 2", 4, 5, "BBBBBBAABBAABBAA"},
        // Both edges: lines 1 and 8, then 3 and 6, then 5 and 4 with the
        // band between 4 and 5, then 7 and 2 with the band from 2 to 7.
        {"both edges, first step", 8, 1, "BBAAAAAAAAAAAABB"},
        {"both edges, second step", 8, 2, "BBAABBAAAABBAABB"},
        {"both edges, fronts crossed", 8, 3, "BBAABBBBBBBBAABB"},
        {"both edges, last step", 8, 4, "BBBBBBBBBBBBBBBB"},
        // Five lines: the mirror of line j is line 5 - j, so 1 pairs with 4
        // and 3 with 2 (fronts crossed: the band from 2 to 3 as well).
        {"both edges, odd count", 8, 1, "BBAAAABBAA", 5},
        {"both edges, odd count, second step", 8, 2, "BBBBBBBBAA", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool rows = c.variant >= 4 && c.variant <= 7;
        const int length = 2 * c.count;
        auto stage = rows ? test::EffectStage::gradients(4, length) : test::EffectStage::gradients(length, 4);
        const QByteArray count = QByteArray::number(c.count);
        setLines(stage, {"8", "0", count.constData(), count.constData()});
        stage.movie.setForcedVariant(c.variant);
        stage.pick.insert(c.step);
        stage.run("LineTransform");
        ASSERT_EQ(stage.picked.count(c.step), 1u);
        EXPECT_EQ(test::lineMap(stage.picked[c.step], stage.A, stage.B, !rows), c.lines);
    }
}

TEST(LineTransform, SlidingLinesEnterFromTheirEdgeByHand)
{
    // Rows: 8 x 4 in 2 rows; columns: 4 x 8 in 2 columns. 4 frames, so each
    // frame slides 2 more pixels in.
    struct Case {
        const char* what;
        int variant, frame;
        bool rows;
        std::vector<std::array<int, 6>> fromB; // {x, y, w, h, sx, sy} copied from B
    };
    const Case cases[] = {
        // From the left the row's right end enters first.
        {"row 1 from the left", 10, 1, true, {{0, 0, 2, 2, 6, 0}}},
        {"row 1 from the left, frame 3", 10, 3, true, {{0, 0, 6, 2, 2, 0}}},
        {"row 2 from the right", 12, 1, true, {{6, 2, 2, 2, 0, 2}}},
        {"both rows in one frame", 14, 1, true, {{0, 0, 2, 2, 6, 0}, {6, 2, 2, 2, 0, 2}}},
        // Frame 5 is phase 2's first: row 1 is in, row 2 starts from the right.
        {"second phase from the right", 11, 5, true, {{0, 0, 8, 2, 0, 0}, {6, 2, 2, 2, 0, 2}}},
        {"column 1 from the top", 15, 1, false, {{0, 0, 2, 2, 0, 6}}},
        {"column 1 from the bottom", 17, 1, false, {{0, 6, 2, 2, 0, 0}}},
        {"both columns in one frame", 19, 2, false, {{0, 4, 2, 4, 0, 0}, {2, 0, 2, 4, 2, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto stage = c.rows ? test::EffectStage::gradients(8, 4) : test::EffectStage::gradients(4, 8);
        setLines(stage, {"4", "0", "2", "2"});
        stage.movie.setForcedVariant(c.variant);
        stage.pick.insert(c.frame);
        stage.run("LineTransform");
        ASSERT_EQ(stage.picked.count(c.frame), 1u);
        QImage expected = stage.A;
        for (const auto& k : c.fromB)
            expected = test::composed(expected, {{&stage.B, k[0], k[1], k[2], k[3], k[4], k[5]}});
        EXPECT_EQ(test::pictureMap(stage.picked[c.frame], stage.A, stage.B),
                  test::pictureMap(expected, stage.A, stage.B));
        EXPECT_TRUE(stage.picked[c.frame] == expected);
    }
}

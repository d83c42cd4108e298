// The frame scheme all effects share, checked through EffectRun directly and
// through Blend, whose frames have no Interval: counts, hooks and durations on
// the virtual clock, the export frame count, settings failures.

// ours
#include "effectfixture.h"
#include "effectrun.h"
#include "vbmath.h"
#include "vbrandom.h"

// std
#include <climits>
#include <optional>

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

const QString kBlendTimes = QStringLiteral("BlendTimes(How many loop times to finish?)");

} // namespace

TEST(FrameScheme, BlendFrameCountsHooksAndDurationFollowSettingsAndExport)
{
    struct Case {
        const char* what;
        std::optional<const char*> times; // nullopt: key missing
        int variant;
        bool isVCD;
        bool isUserDefine;
        int frames;
        const char* failure; // nullptr: runs through
    };
    const Case cases[] = {
        {"default, whole picture", std::nullopt, 0, false, false, 400, nullptr},
        {"default, columns from the left", std::nullopt, 1, false, false, 400, nullptr},
        {"columns from the right", "7", 2, false, false, 7, nullptr},
        {"rows from the top", "7", 3, false, false, 7, nullptr},
        {"rows from the bottom", "7", 4, false, false, 7, nullptr},
        {"blanks and decimals round", " 2.5 ", 0, false, false, 2, nullptr},
        {"export runs 100", "7", 1, true, false, 100, nullptr},
        {"export, default setting", std::nullopt, 0, true, false, 100, nullptr},
        {"user-defined export keeps the setting", "7", 3, true, true, 7, nullptr},
        {"export hides a zero count", "0", 0, true, false, 100, nullptr},
        {"negative count draws nothing", "-3", 2, false, false, 0, nullptr},
        {"zero count", "0", 0, false, false, 0, kDivisionByZero},
        {"empty text", "", 1, false, false, 0, kTypeMismatch},
        {"not a number", "fast", 0, false, false, 0, kTypeMismatch},
        {"beyond 32 bits", "3000000000", 0, false, false, 0, kOverflow},
        {"empty text also fails in an export", "", 0, true, false, 0, kTypeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage(5, 4);
        if (c.times)
            stage.set("Blend", kBlendTimes, QString::fromLatin1(*c.times));
        stage.movie.setForcedVariant(c.variant);
        stage.movie.isVCD = c.isVCD;
        stage.movie.isUserDefine = c.isUserDefine;
        ASSERT_TRUE(stage.run("Blend"));

        EXPECT_EQ(stage.host.refreshes(), c.frames);
        EXPECT_EQ(stage.movie.hookCalls(), c.frames);
        EXPECT_EQ(stage.host.now(), std::int64_t(c.frames) * 50);
        EXPECT_EQ(stage.host.pauses(), c.frames);
        if (c.failure) {
            EXPECT_EQ(stage.host.failures(), QStringList{QString::fromLatin1(c.failure)});
            EXPECT_EQ(stage.movie.lastFailure(), QString::fromLatin1(c.failure));
            EXPECT_TRUE(stage.objDest.image() == stage.A);
        } else {
            EXPECT_TRUE(stage.host.failures().isEmpty());
            EXPECT_TRUE(stage.movie.lastFailure().isEmpty());
        }
    }
}

TEST(FrameScheme, LastFailureIsClearedByTheNextRunThatGoesThrough)
{
    test::EffectStage stage(4, 4);
    stage.set("Blend", kBlendTimes, "");
    stage.run("Blend");
    EXPECT_EQ(stage.movie.lastFailure(), QString::fromLatin1(kTypeMismatch));
    stage.set("Blend", kBlendTimes, "2");
    stage.run("Blend");
    EXPECT_TRUE(stage.movie.lastFailure().isEmpty());
    EXPECT_EQ(stage.host.failures().size(), 1);
    EXPECT_EQ(stage.host.refreshes(), 2);
}

TEST(FrameScheme, VariantAndStaggerAlwaysDrawOneNumberEachAndForcingOnlyReplacesTheResult)
{
    struct Case { int forced; int n; std::uint32_t seed; };
    for (const Case c : {Case{-1, 5, 1}, {3, 5, 1}, {7, 5, 1}, {0, 2, 99}, {-1, 8, 12345}}) {
        test::EffectStage stage(2, 2);
        stage.movie.setForcedVariant(c.forced);
        seedRandom(c.seed);
        const int expectedDrawn = static_cast<int>(Rnd() * c.n);
        const std::uint32_t after = randomState();

        seedRandom(c.seed);
        EffectRun run(stage.movie, "Blend");
        const int variant = run.drawVariant(c.n);
        EXPECT_EQ(randomState(), after) << c.forced;
        // A forced value outside 0..n-1 is ignored.
        EXPECT_EQ(variant, c.forced >= 0 && c.forced < c.n ? c.forced : expectedDrawn) << c.forced;
    }

    // Shutter's stagger is 1 when floor(2 * r) is 0, that is r below one half.
    for (const int forced : {-1, 0, 1}) {
        for (std::uint32_t seed = 1; seed <= 6; ++seed) {
            seedRandom(seed);
            const int drawn = Rnd() < 0.5 ? 1 : 0;
            const std::uint32_t after = randomState();
            test::EffectStage stage(2, 2);
            stage.movie.setForcedStagger(forced);
            seedRandom(seed);
            EffectRun run(stage.movie, "Shutter");
            EXPECT_EQ(run.drawStagger(), forced < 0 ? drawn : forced) << forced << " " << seed;
            EXPECT_EQ(randomState(), after);
        }
    }
}

TEST(FrameScheme, IntervalPadsOnlyShortFramesEvenAcrossTheClockWrap)
{
    struct Case {
        const char* what;
        std::int64_t start;    // virtual time when the frame begins
        std::int32_t drawing;  // time the frame's drawing takes
        std::int32_t fixedPause;
        std::int32_t interval;
        std::int64_t duration; // expected length of the whole frame
    };
    const Case cases[] = {
        {"short frame is padded to the interval", 0, 3, 10, 20, 20},
        {"interval below the fixed pause adds nothing", 0, 0, 10, 5, 10},
        {"frame longer than the interval adds nothing", 0, 25, 10, 20, 35},
        {"exactly the interval", 0, 10, 10, 20, 20},
        {"clock wraps inside the frame", INT_MAX - 4, 2, 10, 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage(2, 2);
        stage.host.advance(c.start);
        EffectRun run(stage.movie, "Drag");
        const std::int32_t t0 = run.tick();
        stage.host.advance(c.drawing);
        run.frameTail(stage.objDest, t0, c.fixedPause, c.interval);
        EXPECT_EQ(stage.host.now() - c.start, c.duration);
        EXPECT_EQ(stage.host.refreshes(), 1);
        EXPECT_EQ(stage.movie.hookCalls(), 1);
        EXPECT_EQ(stage.host.events(), 2);
    }
}

TEST(FrameScheme, SettingsAreReadFromTheEffectsSectionAndExportTimesFollowTheFlags)
{
    test::EffectStage stage(2, 2);
    stage.set("Mask", "MaskTimes(How many loop times to finish?)", "33");
    EffectRun run(stage.movie, "Mask");
    EXPECT_EQ(run.readInt("MaskTimes(How many loop times to finish?)", "400"), 33);
    EXPECT_EQ(run.readInt("MaskInterval(ms)(How many milliseconds would computer relax between two process)", "10"), 10);

    struct Flags { bool isVCD; bool isUserDefine; std::int32_t times; };
    for (const Flags f : {Flags{false, false, 33}, {true, false, 100}, {true, true, 33}, {false, true, 33}}) {
        stage.movie.isVCD = f.isVCD;
        stage.movie.isUserDefine = f.isUserDefine;
        EXPECT_EQ(run.exporting(), f.times == 100);
        EXPECT_EQ(run.exportTimes(33), f.times);
    }
}

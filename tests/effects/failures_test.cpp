// Failures of the effect bodies: a setting that is not a number, a zero
// count, a grid too small to sample, a product beyond 32 bits. Each shows
// its one description through the host and ends the effect, leaving what was
// drawn: nothing when it fails before the first frame.

// ours
#include "effectfixture.h"
#include "vbmath.h"

#include <gtest/gtest.h>

// std
#include <utility>
#include <vector>

using namespace tarnwick;

TEST(EffectFailures, ShowOneDescriptionAndLeaveWhatWasDrawn)
{
    struct Case {
        const char* what;
        const char* effect;
        std::vector<std::pair<const char*, const char*>> settings; // key, value
        const char* description;
        int refreshes;   // frames shown before the failure
        bool drewSome;   // the display changed before the failure
    };
    const char* maskTimes = "MaskTimes(How many loop times to finish?)";
    const char* maskInterval = "MaskInterval(ms)(How many milliseconds would computer relax between two process)";
    const char* shutterTimes = "ShutterTimes(How many loop times to finish?)";
    const char* shutterBlock = "ShutterBlock(how many shutters)";
    const char* matrixTimes = "MatrixTimes(How many loop times to finish?)";
    const char* matrixX = "MatrixBlock_X(How many squares at horizontal)";
    const char* rndX = "RndSquareNumber_X(How many squares at horizontal)";
    const char* rndY = "RndSquareNumber_Y(How many squares at vertical";
    const char* lineTimes = "LineTransformTimes(How many loop times to finish?)";
    const char* lineX = "LineNumber_X(How many lines at horizontal)";
    const char* lineY = "LineNumber_Y(How many lines at vertical)";
    const Case cases[] = {
        {"Mask count empty", "Mask", {{maskTimes, ""}}, kTypeMismatch, 0, false},
        {"Mask interval not a number", "Mask", {{maskInterval, "ten"}}, kTypeMismatch, 0, false},
        {"Mask count zero", "Mask", {{maskTimes, "0"}}, kDivisionByZero, 0, false},
        {"Mask count beyond 32 bits", "Mask", {{maskTimes, "4294967296"}}, kOverflow, 0, false},
        {"Shutter count zero", "Shutter", {{shutterTimes, "0"}}, kDivisionByZero, 0, false},
        {"Shutter without slats", "Shutter", {{shutterBlock, "0"}}, kSubscriptOutOfRange, 0, false},
        {"Shutter slats x count beyond 32 bits", "Shutter", {{shutterBlock, "100000"}, {shutterTimes, "100000"}},
         kOverflow, 0, false},
        {"Matrix count zero", "Matrix", {{matrixTimes, "0"}}, kDivisionByZero, 0, false},
        {"Matrix without columns", "Matrix", {{matrixX, "0"}}, kSubscriptOutOfRange, 0, false},
        {"Matrix columns x count beyond 32 bits", "Matrix", {{matrixX, "100000"}, {matrixTimes, "100000"}},
         kOverflow, 0, false},
        {"RndSquare columns not a number", "RndSquare", {{rndX, "many"}}, kTypeMismatch, 0, false},
        {"RndSquare cells beyond 32 bits", "RndSquare", {{rndX, "70000"}, {rndY, "70000"}}, kOverflow, 0, false},
        // 99 cells: M \ 100 = 0 fails at the first refresh test, after the
        // first cell is drawn.
        {"RndSquare below 100 cells", "RndSquare", {{rndX, "9"}, {rndY, "11"}}, kDivisionByZero, 0, true},
        {"LineTransform count zero", "LineTransform", {{lineTimes, "0"}}, kDivisionByZero, 0, false},
        {"LineTransform rows empty", "LineTransform", {{lineY, ""}}, kTypeMismatch, 0, false},
        // More lines than one frame: the sampling period divides by 1 \ 2 = 0
        // once the first line is on screen.
        {"LineTransform one frame", "LineTransform", {{lineTimes, "1"}, {lineX, "4"}, {lineY, "4"}},
         kDivisionByZero, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto stage = test::EffectStage::gradients(18, 11);
        for (const auto& [key, value] : c.settings)
            stage.set(c.effect, key, value);
        // Line variant 0 and Matrix corner 0, so the first step is known.
        stage.movie.setForcedVariant(0);
        ASSERT_TRUE(stage.run(c.effect));

        EXPECT_EQ(stage.host.failures(), QStringList{QString::fromLatin1(c.description)});
        EXPECT_EQ(stage.movie.lastFailure(), QString::fromLatin1(c.description));
        EXPECT_EQ(stage.host.refreshes(), c.refreshes);
        // No failure comes after a frame hook: the line step fails in it.
        EXPECT_EQ(stage.movie.hookCalls(), 0);
        EXPECT_EQ(stage.host.now(), 0);
        EXPECT_EQ(!(stage.objDest.image() == stage.A), c.drewSome);
    }
}

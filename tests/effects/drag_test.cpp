// Drag: where both pictures and the background lie in a frame (worked out
// from how far the pictures have moved, including half-pixel offsets that
// round to even), the last frame, and the frame scheme: counts, frame hooks
// and virtual durations from the settings, and the failures.

// ours
#include "effectfixture.h"
#include "framecheck.h"
#include "vbmath.h"

#include <gtest/gtest.h>

// std
#include <optional>
#include <vector>

using namespace tarnwick;

namespace {

const QString kTimes = QStringLiteral("DragTimes(How many loop times to finish?)");
const QString kInterval =
    QStringLiteral("DragInterval(ms)(How many milliseconds would computer relax between two process)");

// Each variant's move of the outgoing picture, right and down positive.
struct Move {
    int dx, dy;
};
const Move kMoves[8] = {{1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}};

} // namespace

TEST(Drag, LastFrameShowsTheIncomingPictureInEveryDirection)
{
    struct Size {
        int w, h, times;
    };
    for (const Size size : {Size{40, 30, 8}, Size{33, 21, 7}, Size{5, 3, 1}}) {
        for (int variant = 0; variant < 8; ++variant) {
            SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " variant " << variant);
            test::EffectStage stage(size.w, size.h, test::gradientPicture(size.w, size.h, 3),
                                    test::gradientPicture(size.w, size.h, 140));
            stage.movie.BackgroundPicture = test::gradientPicture(size.w, size.h, 77);
            stage.set("Drag", kTimes, QString::number(size.times));
            stage.movie.setForcedVariant(variant);
            stage.run("Drag");
            EXPECT_EQ(stage.host.refreshes(), size.times);
            EXPECT_TRUE(stage.destShowsB());
        }
    }
}

TEST(Drag, BothPicturesMoveTogetherAndTheDiagonalGapShowsTheBackground)
{
    // 40 x 30 in 10 frames: frame 4 has moved the outgoing picture 16
    // across and 12 down (or up). The incoming picture sits one picture
    // size behind it; what neither covers is the background at its place.
    const int w = 40, h = 30;
    for (int variant = 0; variant < 8; ++variant) {
        SCOPED_TRACE(testing::Message() << "variant " << variant);
        test::EffectStage stage(w, h, test::gradientPicture(w, h, 3), test::gradientPicture(w, h, 140));
        const QImage background = test::gradientPicture(w, h, 77);
        stage.movie.BackgroundPicture = background;
        stage.set("Drag", kTimes, "10");
        stage.movie.setForcedVariant(variant);
        stage.pick.insert(4);
        stage.run("Drag");
        const Move m = kMoves[variant];
        const int ox = m.dx * 16, oy = m.dy * 12;
        const auto inside = [&](int x, int y) { return x >= 0 && x < w && y >= 0 && y < h; };
        EXPECT_TRUE(test::frameIs(stage.picked[4], [&](int x, int y) {
            if (inside(x - ox, y - oy))
                return stage.A.pixel(x - ox, y - oy);
            if (inside(x - ox + m.dx * w, y - oy + m.dy * h))
                return stage.B.pixel(x - ox + m.dx * w, y - oy + m.dy * h);
            return background.pixel(x, y);
        }));
        // The background stays on objTmp; the pictures are only read.
        EXPECT_TRUE(stage.objTmp.picture() == background);
        EXPECT_TRUE(stage.objTmp2.image() == stage.A);
        EXPECT_TRUE(stage.objScr.image() == stage.B);
    }

    // Without a background picture objTmp has none, and the gap is black.
    test::EffectStage stage(12, 9, test::gradientPicture(12, 9, 3), test::gradientPicture(12, 9, 140));
    stage.set("Drag", kTimes, "3");
    stage.movie.setForcedVariant(3);
    stage.pick.insert(1);
    stage.run("Drag");
    EXPECT_FALSE(stage.objTmp.hasPicture());
    EXPECT_EQ(test::rgbAt(stage.picked[1], 0, 8), 0u);
}

TEST(Drag, FractionalOffsetsRoundHalfToEven)
{
    // Straight moves, so every row looks alike: the frame is given as runs of
    // columns, each showing A or B shifted by `shift` (source x = x + shift).
    struct Run {
        int from, to;
        char picture;
        int shift;
    };
    struct Case {
        const char* what;
        int variant, w, times, frame;
        std::vector<Run> runs;
    };
    const Case cases[] = {
        // stepX 4.125: moved 8.25, outgoing at 8, 25 wide; incoming read
        // from whole(24.75) = 25, 8 wide.
        {"quarter pixels, right", 0, 33, 8, 2, {{0, 8, 'B', 25}, {8, 33, 'A', -8}}},
        {"three quarters, right", 0, 33, 8, 6, {{0, 25, 'B', 8}, {25, 33, 'A', -25}}},
        // stepX 2.5: moved 2.5 -> 2, outgoing 37.5 -> 38 wide.
        {"half pixel rounds down to even", 0, 40, 16, 1, {{0, 2, 'B', 38}, {2, 40, 'A', -2}}},
        // moved 7.5 -> 8, outgoing 32.5 -> 32 wide.
        {"half pixel rounds up to even", 0, 40, 16, 3, {{0, 8, 'B', 32}, {8, 40, 'A', -8}}},
        {"half pixel, left", 4, 40, 16, 1, {{0, 38, 'A', 2}, {38, 40, 'B', -38}}},
        // Odd width, moved 2.5: the outgoing part whole(30.5) = 30 and the
        // incoming one at whole(30.5) = 30, 2 wide, leave the last column as
        // frame 4 drew it (moved 2: incoming at 31).
        {"odd width leaves a column of the last frame", 4, 33, 66, 5,
         {{0, 30, 'A', 2}, {30, 32, 'B', -30}, {32, 33, 'B', -31}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage(c.w, 3, test::gradientPicture(c.w, 3, 3), test::gradientPicture(c.w, 3, 140));
        stage.set("Drag", kTimes, QString::number(c.times));
        stage.movie.setForcedVariant(c.variant);
        stage.pick.insert(c.frame);
        stage.run("Drag");
        EXPECT_TRUE(test::frameIs(stage.picked[c.frame], [&](int x, int y) -> QRgb {
            for (const Run& r : c.runs)
                if (x >= r.from && x < r.to)
                    return (r.picture == 'A' ? stage.A : stage.B).pixel(x + r.shift, y);
            return 0xFFFFFFFF;
        }));
    }
}

TEST(Drag, FrameCountsHooksAndDurationsFollowTheSettings)
{
    struct Case {
        const char* what;
        std::optional<const char*> times;
        std::optional<const char*> interval;
        bool isVCD, isUserDefine;
        int frames;
        std::int64_t ms; // virtual duration of the whole run
        const char* failure;
    };
    const Case cases[] = {
        // The default Interval 5 is below the fixed pause: 10 ms a frame.
        {"defaults", std::nullopt, std::nullopt, false, false, 800, 8000, nullptr},
        {"interval pads each frame", "12", "25", false, false, 12, 300, nullptr},
        {"interval equal to the pause", "12", "10", false, false, 12, 120, nullptr},
        {"interval 0", "12", "0", false, false, 12, 120, nullptr},
        {"export runs 100 frames", "12", "25", true, false, 100, 2500, nullptr},
        {"export of the default", std::nullopt, std::nullopt, true, false, 100, 1000, nullptr},
        {"user-defined export keeps the setting", "12", std::nullopt, true, true, 12, 120, nullptr},
        {"negative count draws nothing", "-4", std::nullopt, false, false, 0, 0, nullptr},
        {"zero count", "0", std::nullopt, false, false, 0, 0, kDivisionByZero},
        {"empty count", "", std::nullopt, false, false, 0, 0, kTypeMismatch},
        {"interval not a number", "12", "slow", false, false, 0, 0, kTypeMismatch},
        {"count beyond 32 bits", "3000000000", std::nullopt, false, false, 0, 0, kOverflow},
        {"interval beyond 32 bits", "12", "1e10", true, false, 0, 0, kOverflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage(8, 6, test::gradientPicture(8, 6, 3), test::gradientPicture(8, 6, 140));
        if (c.times)
            stage.set("Drag", kTimes, QString::fromLatin1(*c.times));
        if (c.interval)
            stage.set("Drag", kInterval, QString::fromLatin1(*c.interval));
        stage.movie.isVCD = c.isVCD;
        stage.movie.isUserDefine = c.isUserDefine;
        stage.movie.setForcedVariant(7);
        stage.run("Drag");

        EXPECT_EQ(stage.host.refreshes(), c.frames);
        EXPECT_EQ(stage.movie.hookCalls(), c.frames);
        EXPECT_EQ(stage.host.now(), c.ms);
        // Events run after the fixed pause and after the interval wait.
        EXPECT_EQ(stage.host.events(), 2 * c.frames);
        if (c.failure) {
            EXPECT_EQ(stage.host.failures(), QStringList{QString::fromLatin1(c.failure)});
            EXPECT_TRUE(stage.objDest.image() == stage.A);
        } else {
            EXPECT_TRUE(stage.host.failures().isEmpty());
            EXPECT_EQ(stage.objDest.image() == stage.B, c.frames > 0);
        }
    }
}

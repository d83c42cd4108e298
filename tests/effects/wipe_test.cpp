// Wipe: the rectangles of chosen frames worked out by hand (edge positions,
// boxes and bands, with halves rounding to even), the iris and sweep masks
// composed over both pictures, how each pattern ends, and the frame scheme:
// counts (half of them for the masked patterns), hooks, virtual durations
// and failures.

// ours
#include "effectfixture.h"
#include "framecheck.h"
#include "vbmath.h"

// Qt
#include <QRect>

#include <gtest/gtest.h>

// std
#include <cmath>
#include <optional>
#include <vector>

using namespace tarnwick;

namespace {

const QString kTimes = QStringLiteral("WipeTimes(How many loop times to finish?)");
const QString kInterval =
    QStringLiteral("WipeInterval(ms)(How many milliseconds would computer relax between two process)");

constexpr double kPi = 3.141592653589793;

test::EffectStage gradientStage(int w, int h)
{
    return test::EffectStage(w, h, test::gradientPicture(w, h, 3), test::gradientPicture(w, h, 140));
}

// Runs variant `variant` with `times` frames and keeps frame `frame`.
QImage frameOf(test::EffectStage& stage, int variant, int times, int frame)
{
    stage.set("Wipe", kTimes, QString::number(times));
    stage.movie.setForcedVariant(variant);
    stage.pick.insert(frame);
    stage.run("Wipe");
    return stage.picked[frame];
}

} // namespace

TEST(Wipe, EdgeBoxAndBandPatternsEndShowingTheIncomingPicture)
{
    struct Size {
        int w, h, times;
    };
    for (const Size size : {Size{40, 30, 8}, Size{40, 30, 7}, Size{40, 30, 1}, Size{33, 21, 7}}) {
        for (int variant = 0; variant < 18; ++variant) {
            // On an odd side the two closing bands of 15 and 17 leave a line
            // (checked with the hand-worked frames).
            if (size.w % 2 && (variant == 15 || variant == 17))
                continue;
            SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " in " << size.times
                                            << ", variant " << variant);
            test::EffectStage stage = gradientStage(size.w, size.h);
            stage.set("Wipe", kTimes, QString::number(size.times));
            stage.movie.setForcedVariant(variant);
            stage.run("Wipe");
            EXPECT_EQ(stage.host.refreshes(), size.times);
            EXPECT_TRUE(stage.destShowsB());
            EXPECT_FALSE(stage.objTmp.hasPicture());
            EXPECT_TRUE(stage.objTmp2.image() == stage.A);
        }
    }
}

TEST(Wipe, RectanglesOfAFrameWorkedOutByHand)
{
    // The frame is A with the rectangles `b` showing B at their own place,
    // then the rectangles `a` showing A again (the shrinking windows).
    struct Case {
        const char* what;
        int variant, w, h, times, frame;
        std::vector<QRect> b;
        std::vector<QRect> a;
    };
    const QRect all(0, 0, 40, 30);
    const Case cases[] = {
        // 33 in 8: moved 2 x 4.125 = 8.25 from the right edge: x0 = 25, 8 wide.
        {"left, quarter pixels", 4, 33, 21, 8, 2, {QRect(25, 0, 8, 21)}, {}},
        // 40 in 16: 2.5 -> 2 and 7.5 -> 8, and on the right 37.5 -> 38, 32.5 -> 32.
        {"right, half rounds down", 0, 40, 30, 16, 1, {QRect(0, 0, 2, 30)}, {}},
        {"right, half rounds up", 0, 40, 30, 16, 3, {QRect(0, 0, 8, 30)}, {}},
        {"left, half rounds up", 4, 40, 30, 16, 1, {QRect(38, 0, 2, 30)}, {}},
        {"left, half rounds down", 4, 40, 30, 16, 3, {QRect(32, 0, 8, 30)}, {}},
        // Steps 4 and 3 on 40 x 30 in 10 frames; frame 3 has grown 12 x 9.
        {"up and right from the bottom-left corner", 1, 40, 30, 10, 3, {QRect(0, 21, 12, 9)}, {}},
        {"down and left from the top-right corner", 5, 40, 30, 10, 3, {QRect(28, 0, 12, 9)}, {}},
        {"up from the bottom edge", 2, 40, 30, 10, 3, {QRect(0, 21, 40, 9)}, {}},
        // (30 - 9) / 2 = 10.5 -> 10.
        {"box grows from the centre", 9, 40, 30, 10, 3, {QRect(14, 10, 12, 9)}, {}},
        // 40 in 40 and 30 in 40: frame 9 has grown 9 x 6.75; (40 - 9) / 2 =
        // 15.5 -> 16, (30 - 6.75) / 2 = 11.625 -> 12, 6.75 -> 7 high.
        {"box grows, halves of odd widths", 9, 40, 30, 40, 9, {QRect(16, 12, 9, 7)}, {}},
        // 4.5 -> 4 from the top; the window is 28 x 21.
        {"shrinks to the centre", 8, 40, 30, 10, 3, {all}, {QRect(6, 4, 28, 21)}},
        {"shrinks to the top-left", 10, 40, 30, 10, 3, {all}, {QRect(0, 0, 28, 21)}},
        {"shrinks to the top-right", 11, 40, 30, 10, 3, {all}, {QRect(12, 0, 28, 21)}},
        {"shrinks to the bottom-left", 12, 40, 30, 10, 3, {all}, {QRect(0, 9, 28, 21)}},
        {"shrinks to the bottom-right", 13, 40, 30, 10, 3, {all}, {QRect(12, 9, 28, 21)}},
        {"vertical band opens", 14, 40, 30, 10, 3, {QRect(14, 0, 12, 30)}, {}},
        {"horizontal band opens", 16, 40, 30, 10, 3, {QRect(0, 10, 40, 9)}, {}},
        // 12 / 2 = 6 wide from each side.
        {"bands close from the sides", 15, 40, 30, 10, 3, {QRect(0, 0, 6, 30), QRect(34, 0, 6, 30)}, {}},
        // 9 / 2 = 4.5 -> 4 high; the lower one at 25.5 -> 26.
        {"bands close from top and bottom", 17, 40, 30, 10, 3, {QRect(0, 0, 40, 4), QRect(0, 26, 40, 4)}, {}},
        // Frame 7 at one pixel a frame: 3.5 -> 4 wide, the second band at
        // 36.5 -> 36 (26.5 -> 26).
        {"side bands, half of an odd width rounds up", 15, 40, 30, 40, 7,
         {QRect(0, 0, 4, 30), QRect(36, 0, 4, 30)}, {}},
        {"top and bottom bands, half of an odd height rounds up", 17, 40, 30, 30, 7,
         {QRect(0, 0, 40, 4), QRect(0, 26, 40, 4)}, {}},
        // One frame on 33 x 21: 16.5 rounds to 16 for both the width and the
        // second band's place, so the last column (row) keeps the outgoing
        // picture.
        {"odd width: side bands leave the last column", 15, 33, 21, 1, 1,
         {QRect(0, 0, 16, 21), QRect(16, 0, 16, 21)}, {}},
        {"odd height: top and bottom bands leave the last row", 17, 33, 21, 1, 1,
         {QRect(0, 0, 33, 10), QRect(0, 10, 33, 10)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage = gradientStage(c.w, c.h);
        const QImage frame = frameOf(stage, c.variant, c.times, c.frame);
        const auto in = [](const std::vector<QRect>& rects, int x, int y) {
            for (const QRect& r : rects)
                if (r.contains(x, y))
                    return true;
            return false;
        };
        EXPECT_TRUE(test::frameIs(frame, [&](int x, int y) {
            const bool showsB = in(c.b, x, y) && !in(c.a, x, y);
            return (showsB ? stage.B : stage.A).pixel(x, y);
        }));
    }
}

TEST(Wipe, IrisAndSweepComposeBothPicturesThroughTheirMasks)
{
    // 40 x 30: R = sqrt(900 + 1600) / 2 = 25, centre (20, 15); no pixel
    // centre lies on a ray at a multiple of pi / 2, nor on a circle below.
    // Each case says where the frame shows B, A | B (the seam) or A.
    enum Shown { kB, kSeam, kA };
    struct Case {
        const char* what;
        int variant, times, frame;
        Shown (*at)(double d2, double angle);
    };
    const Case cases[] = {
        // Mask A: white disc r = 4 x 25 / 10 = 10; mask B: black disc r = 5.
        {"iris opens", 18, 10, 1,
         [](double d2, double) { return d2 <= 25 ? kB : d2 <= 100 ? kSeam : kA; }},
        // Mask A: black disc r = 8 x 25 / 10 = 20 on white; mask B: white
        // disc r = 40 on black keeps all of A.
        {"iris closes", 19, 10, 1, [](double d2, double) { return d2 <= 400 ? kA : kSeam; }},
        // Mask A: white pie [0, pi]; mask B: black pie [0, pi / 2].
        {"counter-clockwise sweep", 20, 8, 1,
         [](double, double a) { return a <= kPi / 2 ? kB : a <= kPi ? kSeam : kA; }},
        // Mask A: white pie [pi, 2pi]; mask B: black pie [3pi / 2, 2pi].
        {"clockwise sweep", 21, 8, 1,
         [](double, double a) { return a >= 3 * kPi / 2 ? kB : a >= kPi ? kSeam : kA; }},
        // Frame 2 of 10: mask A r = 20, mask B r = 10.
        {"iris opens, frame 2", 18, 10, 2,
         [](double d2, double) { return d2 <= 100 ? kB : d2 <= 400 ? kSeam : kA; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage = gradientStage(40, 30);
        const QImage frame = frameOf(stage, c.variant, c.times, c.frame);
        EXPECT_TRUE(test::frameIs(frame, [&](int x, int y) {
            const double dx = x + 0.5 - 20, dy = y + 0.5 - 15;
            double angle = std::atan2(-dy, dx);
            if (angle < 0)
                angle += 2 * kPi;
            const QRgb a = stage.A.pixel(x, y), b = stage.B.pixel(x, y);
            switch (c.at(dx * dx + dy * dy, angle)) {
            case kB:
                return b;
            case kSeam:
                return a | b;
            default:
                return a;
            }
        }));
    }
}

TEST(Wipe, IrisAndSweepEndings)
{
    struct Case {
        const char* what;
        int variant, w, h, times;
        int frames;
        bool showsB; // else the display keeps A
    };
    const Case cases[] = {
        // 2 x 1 exceeds 1: no frame at all.
        {"iris opens, one frame asked", 18, 40, 30, 1, 0, false},
        {"iris closes, one frame asked", 19, 40, 30, 1, 0, false},
        {"sweep, one frame asked", 20, 40, 30, 1, 0, false},
        {"sweep back, one frame asked", 21, 33, 21, 1, 0, false},
        // Half the frames; the last one has the incoming picture everywhere.
        {"iris opens", 18, 40, 30, 8, 4, true},
        {"iris closes", 19, 40, 30, 8, 4, true},
        {"sweep", 20, 40, 30, 8, 4, true},
        {"sweep back", 21, 40, 30, 8, 4, true},
        {"iris opens, odd size", 18, 33, 21, 8, 4, true},
        {"sweep, odd size", 20, 33, 21, 8, 4, true},
        // 26 x 2pi / 26 lands a rounding step above 2pi: the sweeps still
        // cover the whole display.
        {"sweep ending past a whole turn", 20, 40, 30, 26, 13, true},
        {"sweep back ending past a whole turn", 21, 40, 30, 26, 13, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage = gradientStage(c.w, c.h);
        stage.set("Wipe", kTimes, QString::number(c.times));
        stage.movie.setForcedVariant(c.variant);
        stage.run("Wipe");
        EXPECT_EQ(stage.host.refreshes(), c.frames);
        EXPECT_TRUE(stage.objDest.image() == (c.showsB ? stage.B : stage.A));
        EXPECT_FALSE(stage.objTmp.hasPicture());
        if (c.frames > 0) {
            // The incoming picture through the last mask A (all white), and
            // the last mask B (all black) left on objTmp.
            EXPECT_TRUE(stage.objTmp2.image() == stage.B);
            EXPECT_TRUE(stage.objTmp.image() == test::solidPicture(c.w, c.h, 0xFF000000));
        }
    }

    // The closing iris on an odd size: the centre pixel's centre is the
    // disc's centre, so the radius-0 discs of the last frame still hold it
    // and it keeps the outgoing picture.
    test::EffectStage stage = gradientStage(33, 21);
    stage.set("Wipe", kTimes, "8");
    stage.movie.setForcedVariant(19);
    stage.run("Wipe");
    EXPECT_TRUE(test::frameIs(stage.objDest.image(), [&](int x, int y) {
        return (x == 16 && y == 10 ? stage.A : stage.B).pixel(x, y);
    }));
}

TEST(Wipe, FrameCountsHooksAndDurationsFollowTheSettings)
{
    struct Case {
        const char* what;
        int variant;
        std::optional<const char*> times;
        std::optional<const char*> interval;
        bool isVCD, isUserDefine;
        int frames;
        std::int64_t ms;
        const char* failure;
    };
    const Case cases[] = {
        {"defaults", 3, std::nullopt, std::nullopt, false, false, 200, 4000, nullptr},
        {"defaults, masked: half the frames", 18, std::nullopt, std::nullopt, false, false, 100, 2000, nullptr},
        {"masked, odd count", 21, "7", std::nullopt, false, false, 3, 60, nullptr},
        {"interval below the pause", 9, "12", "5", false, false, 12, 120, nullptr},
        {"interval above the pause", 16, "12", "35", false, false, 12, 420, nullptr},
        {"export runs 100 frames", 12, "12", std::nullopt, true, false, 100, 2000, nullptr},
        {"export, masked", 20, "12", "5", true, false, 50, 500, nullptr},
        {"user-defined export keeps the setting", 0, "12", std::nullopt, true, true, 12, 240, nullptr},
        {"negative count", 14, "-1", std::nullopt, false, false, 0, 0, nullptr},
        {"negative count, masked", 19, "-6", std::nullopt, false, false, 0, 0, nullptr},
        {"zero count", 5, "0", std::nullopt, false, false, 0, 0, kDivisionByZero},
        {"zero count, masked", 18, "0", std::nullopt, false, false, 0, 0, kDivisionByZero},
        {"empty count", 7, "", std::nullopt, false, false, 0, 0, kTypeMismatch},
        {"interval not a number", 20, "12", "often", true, false, 0, 0, kTypeMismatch},
        {"count beyond 32 bits", 2, "-3000000000", std::nullopt, false, false, 0, 0, kOverflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::EffectStage stage = gradientStage(9, 7);
        if (c.times)
            stage.set("Wipe", kTimes, QString::fromLatin1(*c.times));
        if (c.interval)
            stage.set("Wipe", kInterval, QString::fromLatin1(*c.interval));
        stage.movie.isVCD = c.isVCD;
        stage.movie.isUserDefine = c.isUserDefine;
        stage.movie.setForcedVariant(c.variant);
        stage.run("Wipe");

        EXPECT_EQ(stage.host.refreshes(), c.frames);
        EXPECT_EQ(stage.movie.hookCalls(), c.frames);
        EXPECT_EQ(stage.host.now(), c.ms);
        EXPECT_EQ(stage.host.events(), 2 * c.frames);
        if (c.failure) {
            EXPECT_EQ(stage.host.failures(), QStringList{QString::fromLatin1(c.failure)});
            EXPECT_TRUE(stage.objDest.image() == stage.A);
        } else {
            EXPECT_TRUE(stage.host.failures().isEmpty());
        }
    }
}

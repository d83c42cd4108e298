// Chosen frames of every effect worked out by hand: the rectangles each
// frame copies (edges, offsets and halves rounding to even), the iris and
// sweep masks of Wipe, and Blend's alpha per frame and band.

// ours
#include "effectfixture.h"

#include <gtest/gtest.h>

// std
#include <cmath>
#include <vector>

using namespace tarnwick;

constexpr double kPi = 3.141592653589793;

TEST(HandWorkedFrames, FramesAreTheRectanglesWorkedOutByHand)
{
    using test::own;
    // The frame is the outgoing picture A with the copies laid on it.
    struct Case {
        const char* effect;
        int variant, w, h;
        const char* settings;
        int frame; // 0: the display after the last frame
        std::vector<test::Copy> copies;
        int stagger = -1;
    };
    const Case cases[] = {
        // Drag, 40 x 30 in 10 frames: frame 4 has moved the outgoing picture
        // 16 across and 12 down (or up), the incoming one follows a picture
        // size behind, and the background G shows where neither lies.
        {"Drag", 1, 40, 30, "Times=10", 4,
         {own('G', 0, 0, 40, 30), {'A', 16, 0, 24, 18, 0, 12}, {'B', 0, 18, 16, 12, 24, 0}}},
        {"Drag", 3, 40, 30, "Times=10", 4,
         {own('G', 0, 0, 40, 30), {'A', 0, 0, 24, 18, 16, 12}, {'B', 24, 18, 16, 12, 0, 0}}},
        {"Drag", 5, 40, 30, "Times=10", 4,
         {own('G', 0, 0, 40, 30), {'A', 0, 12, 24, 18, 16, 0}, {'B', 24, 0, 16, 12, 0, 18}}},
        {"Drag", 7, 40, 30, "Times=10", 4,
         {own('G', 0, 0, 40, 30), {'A', 16, 12, 24, 18, 0, 0}, {'B', 0, 0, 16, 12, 24, 18}}},
        {"Drag", 6, 40, 30, "Times=10", 4, {{'A', 0, 12, 40, 18, 0, 0}, {'B', 0, 0, 40, 12, 0, 18}}},
        // 33 in 8: moved 8.25 -> 8, the incoming picture read from
        // whole(24.75) = 25. 40 in 16: moved 2.5 -> 2 and 7.5 -> 8.
        {"Drag", 0, 33, 3, "Times=8", 2, {{'B', 0, 0, 8, 3, 25, 0}, {'A', 8, 0, 25, 3, 0, 0}}},
        {"Drag", 0, 40, 3, "Times=16", 1, {{'B', 0, 0, 2, 3, 38, 0}, {'A', 2, 0, 38, 3, 0, 0}}},
        {"Drag", 0, 40, 3, "Times=16", 3, {{'B', 0, 0, 8, 3, 32, 0}, {'A', 8, 0, 32, 3, 0, 0}}},
        {"Drag", 4, 40, 3, "Times=16", 1, {{'A', 0, 0, 38, 3, 2, 0}, {'B', 38, 0, 2, 3, 0, 0}}},
        // Odd width, moved 2.5: 30 + 2 columns leave the last one as frame
        // 4 drew it (moved 2: the incoming picture at 31).
        {"Drag", 4, 33, 3, "Times=66", 5,
         {{'A', 0, 0, 30, 3, 2, 0}, {'B', 30, 0, 2, 3, 0, 0}, {'B', 32, 0, 1, 3, 1, 0}}},
        // Wipe edges: 33 in 8 moved 8.25 from the right; 40 in 16 rounds
        // 2.5 -> 2, 7.5 -> 8 and on the right 32.5 -> 32.
        {"Wipe", 4, 33, 21, "Times=8", 2, {own('B', 25, 0, 8, 21)}},
        {"Wipe", 0, 40, 30, "Times=16", 1, {own('B', 0, 0, 2, 30)}},
        {"Wipe", 0, 40, 30, "Times=16", 3, {own('B', 0, 0, 8, 30)}},
        {"Wipe", 4, 40, 30, "Times=16", 3, {own('B', 32, 0, 8, 30)}},
        // Steps 4 and 3 on 40 x 30 in 10 frames; frame 3 has grown 12 x 9.
        {"Wipe", 1, 40, 30, "Times=10", 3, {own('B', 0, 21, 12, 9)}},
        {"Wipe", 5, 40, 30, "Times=10", 3, {own('B', 28, 0, 12, 9)}},
        {"Wipe", 2, 40, 30, "Times=10", 3, {own('B', 0, 21, 40, 9)}},
        {"Wipe", 9, 40, 30, "Times=10", 3, {own('B', 14, 10, 12, 9)}}, // (30 - 9) / 2 = 10.5 -> 10
        // 9 x 6.75 at (15.5, 11.625): 16, 12, 9 x 7.
        {"Wipe", 9, 40, 30, "Times=40", 9, {own('B', 16, 12, 9, 7)}},
        // Shrinking windows of the outgoing picture, 28 x 21; 4.5 -> 4.
        {"Wipe", 8, 40, 30, "Times=10", 3, {own('B', 0, 0, 40, 30), own('A', 6, 4, 28, 21)}},
        {"Wipe", 10, 40, 30, "Times=10", 3, {own('B', 0, 0, 40, 30), own('A', 0, 0, 28, 21)}},
        {"Wipe", 11, 40, 30, "Times=10", 3, {own('B', 0, 0, 40, 30), own('A', 12, 0, 28, 21)}},
        {"Wipe", 12, 40, 30, "Times=10", 3, {own('B', 0, 0, 40, 30), own('A', 0, 9, 28, 21)}},
        {"Wipe", 13, 40, 30, "Times=10", 3, {own('B', 0, 0, 40, 30), own('A', 12, 9, 28, 21)}},
        {"Wipe", 14, 40, 30, "Times=10", 3, {own('B', 14, 0, 12, 30)}},
        {"Wipe", 16, 40, 30, "Times=10", 3, {own('B', 0, 10, 40, 9)}},
        {"Wipe", 15, 40, 30, "Times=10", 3, {own('B', 0, 0, 6, 30), own('B', 34, 0, 6, 30)}},
        {"Wipe", 17, 40, 30, "Times=10", 3, {own('B', 0, 0, 40, 4), own('B', 0, 26, 40, 4)}}, // 4.5 -> 4, 25.5 -> 26
        {"Wipe", 15, 40, 30, "Times=40", 7, {own('B', 0, 0, 4, 30), own('B', 36, 0, 4, 30)}}, // 3.5 -> 4, 36.5 -> 36
        // Odd sides: 16.5 -> 16 for both the band and the second band's
        // place, so the last column (row) keeps the outgoing picture.
        {"Wipe", 15, 33, 21, "Times=1", 0, {own('B', 0, 0, 32, 21)}},
        {"Wipe", 17, 33, 21, "Times=1", 0, {own('B', 0, 0, 33, 20)}},
        // The closing iris's last discs of radius 0 still hold the centre
        // pixel of an odd size, which keeps the outgoing picture.
        {"Wipe", 19, 33, 21, "Times=8", 0, {own('B', 0, 0, 33, 21), own('A', 16, 10, 1, 1)}},
        // Mask: stepX 2, frame 2 slides B's right 4 columns in on the left.
        {"Mask", 0, 10, 5, "Times=5", 2, {{'B', 0, 0, 4, 5, 6, 0}}},
        {"Mask", 4, 10, 5, "Times=5", 2, {{'B', 6, 0, 4, 5, 0, 0}}},
        // stepY 2.5 -> 2 for place and height: row 4 keeps A on frame 1.
        {"Mask", 3, 10, 5, "Times=2", 1, {{'B', 5, 2, 5, 2, 0, 0}}},
        {"Mask", 7, 10, 5, "Times=2", 1, {{'B', 0, 0, 5, 2, 5, 2}}},
        // Doors: p = 3, halves of A 4 wide read from 3 \ 2 = 1 and from 6,
        // placed at 15 \ 2 = 7.
        {"Mask", 8, 12, 4, "Times=4", 1, {own('B', 0, 0, 12, 4), {'A', 0, 0, 4, 4, 1, 0}, {'A', 7, 0, 4, 4, 6, 0}}},
        {"Mask", 9, 12, 4, "Times=4", 1, {{'B', 0, 0, 1, 4, 4, 0}, {'B', 11, 0, 1, 4, 6, 0}}},
        // Odd width: halves 13 \ 2 = 6 wide, the right one read from 6 and
        // placed at 7, so column 6 never changes.
        {"Mask", 9, 13, 3, "Times=1", 1, {{'B', 0, 0, 6, 3, 0, 0}, {'B', 7, 0, 6, 3, 6, 0}}},
        {"Mask", 10, 4, 12, "Times=4", 1, {own('B', 0, 0, 4, 12), {'A', 0, 0, 4, 4, 0, 1}, {'A', 0, 7, 4, 4, 0, 6}}},
        {"Mask", 11, 4, 12, "Times=4", 1, {{'B', 0, 0, 4, 1, 0, 4}, {'B', 0, 11, 4, 1, 0, 6}}},
        // Shutter, 3 slats in 4 frames: step 1, so frame 2 has slats 2 wide;
        // staggered (3 - j) x 1.8 x 2 / 3 + 2 = 4.4, 3.2, 2 wide.
        {"Shutter", 0, 12, 3, "Times=4 X=3", 2, {own('B', 0, 0, 2, 3), own('B', 4, 0, 2, 3), own('B', 8, 0, 2, 3)}, 0},
        {"Shutter", 0, 12, 3, "Times=4 X=3", 2, {own('B', 0, 0, 7, 3), own('B', 8, 0, 2, 3)}, 1},
        // Widths 2, 3.2, 4.4 ending at 4, 8, 12.
        {"Shutter", 2, 12, 3, "Times=4 X=3", 2, {own('B', 2, 0, 2, 3), own('B', 5, 0, 7, 3)}, 1},
        {"Shutter", 1, 3, 12, "Times=4 X=3", 2, {own('B', 0, 0, 3, 7), own('B', 0, 8, 3, 2)}, 1},
        {"Shutter", 3, 3, 12, "Times=4 X=3", 2, {own('B', 0, 2, 3, 2), own('B', 0, 5, 3, 7)}, 1},
        // 4 slats on 10: starts 0, 2.5, 5, 7.5 -> 0, 2, 5, 8, 2.5 -> 2 wide.
        {"Shutter", 0, 10, 2, "Times=1 X=4", 1, {own('B', 0, 0, 4, 2), own('B', 5, 0, 2, 2), own('B', 8, 0, 2, 2)}, 0},
        // Matrix, 2 x 2 cells of 6 x 4 in 2 frames: steps 3 and 2 from each
        // cell's corner.
        {"Matrix", 0, 12, 8, "Times=2 X=2 Y=2", 1,
         {own('B', 0, 0, 3, 2), own('B', 6, 0, 3, 2), own('B', 0, 4, 3, 2), own('B', 6, 4, 3, 2)}},
        {"Matrix", 1, 12, 8, "Times=2 X=2 Y=2", 1,
         {own('B', 3, 0, 3, 2), own('B', 9, 0, 3, 2), own('B', 3, 4, 3, 2), own('B', 9, 4, 3, 2)}},
        {"Matrix", 2, 12, 8, "Times=2 X=2 Y=2", 1,
         {own('B', 0, 2, 3, 2), own('B', 6, 2, 3, 2), own('B', 0, 6, 3, 2), own('B', 6, 6, 3, 2)}},
        {"Matrix", 3, 12, 8, "Times=2 X=2 Y=2", 1,
         {own('B', 3, 2, 3, 2), own('B', 9, 2, 3, 2), own('B', 3, 6, 3, 2), own('B', 9, 6, 3, 2)}},
        // 15 / (3 x 2) = 2.5 -> 2 wide.
        {"Matrix", 0, 15, 2, "Times=2 X=3 Y=1", 1, {own('B', 0, 0, 2, 1), own('B', 5, 0, 2, 1), own('B', 10, 0, 2, 1)}},
        // LineTransform, 8 lines of 2 pixels, steps counted by refresh
        // (phase 1 has steps 1 to 4). Phase 2 of variant 0 wipes from the
        // left to the end of line 2, of variant 1 from line 8's left
        // neighbour to the right edge.
        {"LineTransform", 0, 16, 4, "Times=8 X=8", 5,
         {own('B', 0, 0, 6, 4), own('B', 8, 0, 2, 4), own('B', 12, 0, 2, 4)}},
        {"LineTransform", 1, 16, 4, "Times=8 X=8", 5,
         {own('B', 0, 0, 2, 4), own('B', 4, 0, 2, 4), own('B', 8, 0, 2, 4), own('B', 12, 0, 4, 4)}},
        {"LineTransform", 2, 16, 4, "Times=8 X=8", 1, {own('B', 14, 0, 2, 4)}},
        {"LineTransform", 4, 4, 16, "Times=8 Y=8", 5,
         {own('B', 0, 0, 4, 6), own('B', 0, 8, 4, 2), own('B', 0, 12, 4, 2)}},
        // Both edges: lines 1 and 8, 3 and 6, then 5 and 4 with the band
        // between them once the fronts have crossed.
        {"LineTransform", 8, 16, 4, "Times=8 X=8", 2,
         {own('B', 0, 0, 2, 4), own('B', 4, 0, 2, 4), own('B', 10, 0, 2, 4), own('B', 14, 0, 2, 4)}},
        {"LineTransform", 8, 16, 4, "Times=8 X=8", 3,
         {own('B', 0, 0, 2, 4), own('B', 4, 0, 8, 4), own('B', 14, 0, 2, 4)}},
        // Five lines: line j mirrors to 5 - j, so 1 pairs with 4, 3 with 2.
        {"LineTransform", 8, 10, 4, "Times=8 X=5", 1, {own('B', 0, 0, 2, 4), own('B', 6, 0, 2, 4)}},
        {"LineTransform", 8, 10, 4, "Times=8 X=5", 2, {own('B', 0, 0, 8, 4)}},
        // Odd counts: variants 3 and 7 draw the odd lines in both phases.
        {"LineTransform", 3, 14, 10, "Times=4 X=7 Y=5", 0,
         {own('B', 0, 0, 2, 10), own('B', 4, 0, 2, 10), own('B', 8, 0, 2, 10), own('B', 12, 0, 2, 10)}},
        {"LineTransform", 7, 14, 10, "Times=4 X=7 Y=5", 0,
         {own('B', 0, 0, 14, 2), own('B', 0, 4, 14, 2), own('B', 0, 8, 14, 2)}},
        // Sliding 2 lines, 2 pixels more each of 4 frames; from the left the
        // row's right end enters first. Frame 5 is phase 2's first.
        {"LineTransform", 10, 8, 4, "Times=4 X=2 Y=2", 1, {{'B', 0, 0, 2, 2, 6, 0}}},
        {"LineTransform", 14, 8, 4, "Times=4 X=2 Y=2", 1, {{'B', 0, 0, 2, 2, 6, 0}, {'B', 6, 2, 2, 2, 0, 2}}},
        {"LineTransform", 11, 8, 4, "Times=4 X=2 Y=2", 5, {own('B', 0, 0, 8, 2), {'B', 6, 2, 2, 2, 0, 2}}},
        {"LineTransform", 15, 4, 8, "Times=4 X=2 Y=2", 1, {{'B', 0, 0, 2, 2, 0, 6}}},
        {"LineTransform", 17, 4, 8, "Times=4 X=2 Y=2", 1, {{'B', 0, 6, 2, 2, 0, 0}}},
        {"LineTransform", 19, 4, 8, "Times=4 X=2 Y=2", 2, {{'B', 0, 4, 2, 4, 0, 0}, {'B', 2, 0, 2, 4, 2, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.effect << " " << c.variant << ", " << c.w << "x" << c.h << ", "
                                        << c.settings << ", frame " << c.frame);
        test::EffectStage stage(c.w, c.h);
        stage.movie.BackgroundPicture = test::gradientPicture(c.w, c.h, 77);
        stage.configure(c.effect, c.settings);
        stage.movie.setForcedVariant(c.variant);
        stage.movie.setForcedStagger(c.stagger);
        stage.pick.insert(c.frame);
        stage.run(c.effect);
        ASSERT_TRUE(c.frame == 0 || stage.picked.count(c.frame));
        const QImage expected = stage.composed(c.copies);
        EXPECT_TRUE(test::frameIs(c.frame ? stage.picked[c.frame] : stage.objDest.image(),
                                  [&](int x, int y) { return expected.pixel(x, y); }));
    }
}

TEST(HandWorkedFrames, IrisAndSweepComposeBothPicturesThroughTheirMasks)
{
    // 40 x 30: R = 25 around (20, 15); no pixel centre lies on a circle or a
    // ray below. Each case says where frame 1 shows B, A | B (the seam
    // where both masks let through) or A.
    enum Shown { kB, kSeam, kA };
    struct Case {
        int variant, times;
        Shown (*at)(double d2, double angle);
    };
    const Case cases[] = {
        // Mask A: white disc r = 4 x 25 / 10 = 10; mask B: black disc r = 5.
        {18, 10, [](double d2, double) { return d2 <= 25 ? kB : d2 <= 100 ? kSeam : kA; }},
        // Mask A: black disc r = 8 x 25 / 10 = 20 on white; mask B: white
        // disc r = 40 keeps all of A.
        {19, 10, [](double d2, double) { return d2 <= 400 ? kA : kSeam; }},
        // Mask A: white pie [0, pi]; mask B: black pie [0, pi / 2].
        {20, 8, [](double, double a) { return a <= kPi / 2 ? kB : a <= kPi ? kSeam : kA; }},
        // Mask A: white pie [pi, 2pi]; mask B: black pie [3pi / 2, 2pi].
        {21, 8, [](double, double a) { return a >= 3 * kPi / 2 ? kB : a >= kPi ? kSeam : kA; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        test::EffectStage stage(40, 30);
        stage.configure("Wipe", QStringLiteral("Times=%1").arg(c.times));
        stage.movie.setForcedVariant(c.variant);
        stage.pick.insert(1);
        stage.run("Wipe");
        EXPECT_TRUE(test::frameIs(stage.picked[1], [&](int x, int y) {
            const double dx = x + 0.5 - 20, dy = y + 0.5 - 15;
            const double angle = std::atan2(-dy, dx) + (dy > 0 ? 2 * kPi : 0);
            const QRgb a = stage.A.pixel(x, y), b = stage.B.pixel(x, y);
            const Shown shown = c.at(dx * dx + dy * dy, angle);
            return shown == kB ? b : shown == kSeam ? a | b : a;
        }));
    }
}

TEST(HandWorkedFrames, BlendAlphaPerFrameAndBand)
{
    // Variant 0: alpha = floor(frame x 255 / Times); 400 x 0.6375 is just
    // below 255 in double precision, so the last frame is not quite opaque.
    // Bands on 203 pixels start at whole(203 (i - 1) / 80): band 41 at
    // whole(101.5) = 102, band 80 at 200, 3 wide. Times 255 gives base 40 on
    // frame 40; alpha = whole(k x base), at most 255.
    struct Case {
        int variant, length, times, frame;
        int pos;   // column (variants 0 to 2) or row (3, 4) checked
        int alpha;
    };
    const Case cases[] = {
        {0, 6, 400, 1, -1, 0}, {0, 6, 400, 2, -1, 1}, {0, 6, 400, 400, -1, 254},
        {1, 203, 255, 40, 2, 238},   // band 1, columns 0..2: 5.9375 x 40 = 237.5 -> 238 (even)
        {1, 203, 255, 40, 102, 138}, // band 41: 137.5 -> 138
        {1, 203, 255, 40, 202, 40},  // band 80 reaches the edge
        {2, 203, 255, 40, 0, 42}, {2, 203, 255, 40, 102, 142}, {2, 203, 255, 40, 202, 240},
        {3, 203, 255, 40, 102, 138}, {4, 203, 255, 40, 0, 42}, {4, 203, 255, 40, 202, 240},
        // Frame 100 of 400: base 63; 5.9375 x 63 = 374 is clamped to 255.
        {1, 160, 400, 100, 0, 255}, {1, 160, 400, 100, 159, 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "variant " << c.variant << " frame " << c.frame << " at " << c.pos);
        const bool rows = c.variant >= 3;
        test::EffectStage stage(rows ? 3 : c.length, rows ? c.length : 3);
        stage.configure("Blend", QStringLiteral("Times=%1").arg(c.times));
        stage.movie.setForcedVariant(c.variant);
        stage.pick.insert(c.frame);
        stage.run("Blend");
        const QImage& frame = stage.picked[c.frame];
        const auto mix = [&](int s, int d) { return (s * c.alpha + d * (255 - c.alpha) + 127) / 255; };
        EXPECT_TRUE(test::frameIs(frame, [&](int x, int y) {
            if (c.pos >= 0 && (rows ? y : x) != c.pos)
                return frame.pixel(x, y);
            const QRgb a = stage.A.pixel(x, y), b = stage.B.pixel(x, y);
            return qRgb(mix(qRed(b), qRed(a)), mix(qGreen(b), qGreen(a)), mix(qBlue(b), qBlue(a)));
        }));
    }
}

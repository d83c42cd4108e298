// PixelMask: the row spans hold exactly the pixels of the pixel rule, for
// discs and pies placed anywhere (off the surface, on pixel centres, with
// radius 0 or huge, pies that wrap past angle 0 or sweep a whole turn).

// ours
#include "pixelmask.h"

#include <gtest/gtest.h>

// std
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2 * kPi;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Shape {
    std::string what;
    double cx, cy, r;
    bool pie;
    double a1, a2;
};

PixelMask make(const Shape& s)
{
    return s.pie ? PixelMask::pie(s.cx, s.cy, s.r, s.a1, s.a2) : PixelMask::disc(s.cx, s.cy, s.r);
}

// The pixel rule written out on its own, for shapes whose angles already lie
// in [0, 2pi]; a1 above a2 wraps.
bool rule(const Shape& s, int px, int py)
{
    const double dx = px + 0.5 - s.cx;
    const double dy = py + 0.5 - s.cy;
    if (!(s.r >= 0) || !(dx * dx + dy * dy <= s.r * s.r))
        return false;
    if (!s.pie || s.a1 == s.a2)
        return true;
    double a = std::atan2(s.cy - (py + 0.5), (px + 0.5) - s.cx);
    if (a < 0)
        a += kTwoPi;
    return s.a1 <= s.a2 ? a >= s.a1 && a <= s.a2 : a >= s.a1 || a <= s.a2;
}

// Runs the spans of every row of a w x h surface against contains(): the
// same pixels, runs ordered and apart, nothing outside rowRange.
void expectSpansMatchContains(const PixelMask& m, int w, int h, const std::string& what)
{
    SCOPED_TRACE(what);
    const auto [first, last] = m.rowRange(h);
    for (int py = 0; py < h; ++py) {
        std::vector<bool> inRuns(static_cast<std::size_t>(w), false);
        PixelSpan spans[2];
        const int n = m.rowSpans(py, w, spans);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 2);
        for (int k = 0; k < n; ++k) {
            ASSERT_LE(0, spans[k].begin) << "row " << py;
            ASSERT_LT(spans[k].begin, spans[k].end) << "row " << py;
            ASSERT_LE(spans[k].end, w) << "row " << py;
            if (k == 1) {
                ASSERT_LT(spans[0].end, spans[1].begin) << "runs touch or overlap in row " << py;
            }
            for (int px = spans[k].begin; px < spans[k].end; ++px)
                inRuns[static_cast<std::size_t>(px)] = true;
        }
        for (int px = 0; px < w; ++px) {
            const bool in = m.contains(px, py);
            ASSERT_EQ(inRuns[static_cast<std::size_t>(px)], in) << "pixel (" << px << ", " << py << ")";
            if (in) {
                ASSERT_TRUE(py >= first && py <= last) << "row " << py << " outside the row range";
            }
        }
    }
}

} // namespace

TEST(PixelMask, SpansAndContainsFollowThePixelRule)
{
    const double q = kPi / 2;
    const std::vector<Shape> shapes = {
        {"disc in the middle", 20, 15, 9.3, false, 0, 0},
        {"disc centred on a pixel centre", 16.5, 10.5, 4, false, 0, 0},
        {"radius on pixel centres exactly", 10, 10, 2.5, false, 0, 0},
        {"radius 0 on a pixel centre", 3.5, 2.5, 0, false, 0, 0},
        {"radius 0 between pixels", 3, 2, 0, false, 0, 0},
        {"tiny radius", 7.5, 7.5, 1e-9, false, 0, 0},
        {"centre off the left edge", -12, 10, 18, false, 0, 0},
        {"centre below and right", 45, 40, 20, false, 0, 0},
        {"far off, reaching in", -1000, 15, 1010.2, false, 0, 0},
        {"far off, not reaching", 500, -500, 20, false, 0, 0},
        {"huge radius", 20, 15, 1e9, false, 0, 0},
        {"radius squared beyond double", 20, 15, 1e200, false, 0, 0},
        {"infinite radius", 20, 15, kInf, false, 0, 0},
        {"negative radius", 20, 15, -3, false, 0, 0},
        {"radius not a number", 20, 15, kNaN, false, 0, 0},
        {"upper right quadrant", 20, 15, 12, true, 0, q},
        {"upper half", 20, 15, 12, true, 0, kPi},
        {"lower half", 20, 15, 12, true, kPi, kTwoPi},
        {"left half", 20, 15, 12, true, q, 3 * q},
        {"thin wedge", 20.2, 15.7, 40, true, 1.0, 1.05},
        {"wedge below", 20, 15, 40, true, 4.0, 4.3},
        {"all but a wedge", 20, 15, 14, true, 0.3, kTwoPi - 0.2},
        {"wraps past 0: right half", 20, 15, 12, true, 3 * q, q},
        {"wraps past 0, narrow", 16.5, 10.5, 30, true, kTwoPi - 0.1, 0.1},
        {"wraps, centre on a pixel centre", 16.5, 10.5, 9, true, 5.0, 2.0},
        {"wedge cut from the top: two runs a row", 20, 15, 14, true, 2.0, 1.2},
        {"wedge cut from the bottom: two runs a row", 20.5, 15.5, 14, true, 5.0, 4.2},
        {"equal angles give the disc", 20, 15, 12, true, 1.3, 1.3},
        {"from 0 to a whole turn", 16.5, 10.5, 12, true, 0, kTwoPi},
        {"pie around an off-surface centre", -5, -5, 60, true, kPi + 0.7, kTwoPi - 0.3},
        {"pie, centre right of the surface", 70, 12, 60, true, 2.5, 3.9},
        {"pie of huge radius", 20, 15, 1e12, true, 0.5, 2.0},
        {"pie of radius 0", 3.5, 2.5, 0, true, 0, 1},
        {"pie row on the centre's row", 20.5, 15.5, 10, true, kPi, kTwoPi - 1e-3},
    };
    for (const Shape& s : shapes) {
        const PixelMask m = make(s);
        expectSpansMatchContains(m, 40, 30, s.what);
        for (int py = -2; py < 32; ++py)
            for (int px = -2; px < 42; ++px)
                ASSERT_EQ(m.contains(px, py), rule(s, px, py)) << s.what << " at (" << px << ", " << py << ")";
    }
}

TEST(PixelMask, RandomShapesGiveTheSamePixelsAsContains)
{
    // Fixed seed: the same few hundred shapes every run, with centres near
    // pixel centres and edges, so rounding at the run ends is exercised.
    std::mt19937 gen(20240607);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 400; ++n) {
        const int w = 1 + static_cast<int>(unit(gen) * 50);
        const int h = 1 + static_cast<int>(unit(gen) * 40);
        const double cx = std::round(unit(gen) * (w + 20) * 2) / 2 - 10 + (n % 3 == 0 ? 0.25 : 0);
        const double cy = std::round(unit(gen) * (h + 20) * 2) / 2 - 10;
        const double r = n % 5 == 0 ? std::round(unit(gen) * 40) / 2 : unit(gen) * 40;
        const double a1 = unit(gen) * kTwoPi;
        const double a2 = n % 7 == 0 ? a1 : unit(gen) * kTwoPi;
        const Shape s{"random " + std::to_string(n), cx, cy, r, n % 4 != 0, a1, a2};
        expectSpansMatchContains(make(s), w, h, s.what);
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px)
                ASSERT_EQ(make(s).contains(px, py), rule(s, px, py)) << s.what;
    }
}

TEST(PixelMask, AnglesOutsideOneTurnAndWholeSweeps)
{
    struct Case {
        const char* what;
        double a1, a2;
        double sameA1, sameA2; // the pie within [0, 2pi] it must equal
    };
    // 26 x 2pi / 26 lands one rounding step above 2pi: still the whole disc.
    const double past = 26 * kTwoPi / 26;
    ASSERT_GT(past, kTwoPi);
    const Case cases[] = {
        {"negative start wraps", -0.5, 0.5, kTwoPi - 0.5, 0.5},
        {"both a turn higher", kTwoPi + 1, kTwoPi + 2, 1, 2},
        {"both a turn lower", 1 - kTwoPi, 2 - kTwoPi, 1, 2},
        {"sweep a rounding step past a turn", 0, past, 0, 0},
        {"sweep from just below 0 to a turn", kTwoPi - past, kTwoPi, 0, 0},
        {"sweep of more than a turn", 1, 1 + 7, 0, 0},
    };
    for (const Case& c : cases) {
        const PixelMask got = PixelMask::pie(16.5, 10.5, 14, c.a1, c.a2);
        const PixelMask want = PixelMask::pie(16.5, 10.5, 14, c.sameA1, c.sameA2);
        expectSpansMatchContains(got, 33, 21, c.what);
        for (int py = 0; py < 21; ++py)
            for (int px = 0; px < 33; ++px)
                ASSERT_EQ(got.contains(px, py), want.contains(px, py))
                    << c.what << " at (" << px << ", " << py << ")";
    }
}

TEST(PixelMask, HandCountedShapes)
{
    struct Case {
        const char* what;
        PixelMask mask;
        int pixels; // inside a 10 x 10 surface
    };
    const Case cases[] = {
        // Radius 1 around a pixel centre: the pixel and its four neighbours.
        {"plus sign", PixelMask::disc(4.5, 4.5, 1), 5},
        // Radius 1 around a pixel corner: the four pixels at distance 0.707.
        {"square of four", PixelMask::disc(5, 5, 1), 4},
        {"single pixel", PixelMask::disc(4.5, 4.5, 0), 1},
        {"no pixel", PixelMask::disc(5, 5, 0), 0},
        // The upper right quarter of the plus sign: centre, right, up.
        {"quarter of the plus", PixelMask::pie(4.5, 4.5, 1, 0, kPi / 2), 3},
        // Angles [pi, 2pi]: the left neighbour (pi) and the one below
        // (3pi/2); the centre's own angle is atan2(0, 0) = 0.
        {"lower half of the plus", PixelMask::pie(4.5, 4.5, 1, kPi, kTwoPi), 2},
        {"everything", PixelMask::disc(5, 5, 1e6), 100},
    };
    for (const Case& c : cases) {
        int count = 0;
        PixelSpan spans[2];
        for (int py = 0; py < 10; ++py) {
            const int n = c.mask.rowSpans(py, 10, spans);
            for (int k = 0; k < n; ++k)
                count += spans[k].end - spans[k].begin;
        }
        EXPECT_EQ(count, c.pixels) << c.what;
    }
}

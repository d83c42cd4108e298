// PixelMask: the row spans hold exactly the pixels of the pixel rule, for
// discs and pies placed anywhere (off the surface, on pixel centres, with
// radius 0 or huge, pies that wrap past angle 0 or sweep a whole turn).

// ours
#include "pixelmask.h"

#include <gtest/gtest.h>

// std
#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2 * kPi;

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

// The pixel rule written out on its own: angles count a turn at a time, a1
// above a2 wraps past 0, and equal angles or a sweep of a whole turn give
// the disc.
bool rule(const Shape& s, int px, int py)
{
    const double dx = px + 0.5 - s.cx, dy = py + 0.5 - s.cy;
    if (!(s.r >= 0) || !(dx * dx + dy * dy <= s.r * s.r))
        return false;
    if (!s.pie || s.a1 == s.a2 || s.a2 - s.a1 >= kTwoPi)
        return true;
    const auto turn = [](double a) { return a - kTwoPi * std::floor(a / kTwoPi); };
    const double a = turn(std::atan2(-dy, dx)), a1 = turn(s.a1), a2 = turn(s.a2);
    return a1 <= a2 ? a >= a1 && a <= a2 : a >= a1 || a <= a2;
}

// The spans of every row of a w x h surface hold the pixels contains()
// accepts, ordered and apart, and no accepted pixel lies outside rowRange.
void expectSpansMatchContains(const PixelMask& m, int w, int h, const std::string& what)
{
    const auto [first, last] = m.rowRange(h);
    for (int py = 0; py < h; ++py) {
        std::vector<bool> inRuns(w, false);
        PixelSpan spans[2];
        const int n = m.rowSpans(py, w, spans);
        ASSERT_TRUE(n >= 0 && n <= 2) << what;
        for (int k = 0; k < n; ++k) {
            ASSERT_TRUE(0 <= spans[k].begin && spans[k].begin < spans[k].end && spans[k].end <= w)
                << what << ", row " << py;
            ASSERT_TRUE(k == 0 || spans[0].end < spans[1].begin) << what << ": runs touch in row " << py;
            for (int px = spans[k].begin; px < spans[k].end; ++px)
                inRuns[px] = true;
        }
        for (int px = 0; px < w; ++px) {
            ASSERT_EQ(inRuns[px], m.contains(px, py)) << what << " at (" << px << ", " << py << ")";
            ASSERT_TRUE(!inRuns[px] || (py >= first && py <= last)) << what << ": row " << py << " outside";
        }
    }
}

} // namespace

TEST(PixelMask, SpansAndContainsFollowThePixelRule)
{
    const double q = kPi / 2;
    std::vector<Shape> shapes = {
        {"disc in the middle", 20, 15, 9.3, false, 0, 0},
        {"centred on a pixel centre", 16.5, 10.5, 4, false, 0, 0},
        {"radius on pixel centres exactly", 10, 10, 2.5, false, 0, 0},
        {"radius 0 on a pixel centre", 3.5, 2.5, 0, false, 0, 0},
        {"centre off the left edge", -12, 10, 18, false, 0, 0},
        {"far off, reaching in", -1000, 15, 1010.2, false, 0, 0},
        {"radius squared beyond double", 20, 15, 1e200, false, 0, 0},
        {"negative radius", 20, 15, -3, false, 0, 0},
        {"radius not a number", 20, 15, std::nan(""), false, 0, 0},
        {"upper right quadrant", 20, 15, 12, true, 0, q},
        {"thin wedge", 20.2, 15.7, 40, true, 1.0, 1.05},
        {"wraps past 0: right half", 20, 15, 12, true, 3 * q, q},
        {"wraps, centre on a pixel centre", 16.5, 10.5, 9, true, 5.0, 2.0},
        {"two runs a row, cut from the top", 20, 15, 14, true, 2.0, 1.2},
        {"two runs a row, cut from the bottom", 20.5, 15.5, 14, true, 5.0, 4.2},
        {"equal angles give the disc", 20, 15, 12, true, 1.3, 1.3},
        {"pie around an off-surface centre", -5, -5, 60, true, kPi + 0.7, kTwoPi - 0.3},
        {"pie row on the centre's row", 20.5, 15.5, 10, true, kPi, kTwoPi - 1e-3},
        {"negative start wraps", 16.5, 10.5, 14, true, -0.5, 0.5},
        {"both a turn higher", 16.5, 10.5, 14, true, kTwoPi + 1, kTwoPi + 2},
        {"both a turn lower", 16.5, 10.5, 14, true, 1 - kTwoPi, 2 - kTwoPi},
        // 26 x 2pi / 26 lands one rounding step above 2pi.
        {"a rounding step past a turn", 16.5, 10.5, 14, true, 0, 26 * kTwoPi / 26},
        {"from just below 0 to a turn", 16.5, 10.5, 14, true, kTwoPi - 26 * kTwoPi / 26, kTwoPi},
        {"more than a turn", 16.5, 10.5, 14, true, 1, 8},
    };
    // A fixed seed: the same shapes every run, with centres near pixel
    // centres and edges, so rounding at the run ends is exercised.
    std::mt19937 gen(20240607);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 300; ++n) {
        const double cx = std::round(unit(gen) * 120) / 2 - 10 + (n % 3 == 0 ? 0.25 : 0);
        const double cy = std::round(unit(gen) * 100) / 2 - 10;
        const double r = n % 5 == 0 ? std::round(unit(gen) * 40) / 2 : unit(gen) * 40;
        const double a1 = unit(gen) * kTwoPi;
        shapes.push_back({"random " + std::to_string(n), cx, cy, r, n % 4 != 0, a1,
                          n % 7 == 0 ? a1 : unit(gen) * kTwoPi});
    }
    for (const Shape& s : shapes) {
        const PixelMask m = make(s);
        expectSpansMatchContains(m, 40, 30, s.what);
        for (int py = -2; py < 32; ++py)
            for (int px = -2; px < 42; ++px)
                ASSERT_EQ(m.contains(px, py), rule(s, px, py)) << s.what << " at (" << px << ", " << py << ")";
    }
}

// The pixel layer: row kernels on every vector unit, bitBlt, mask fill and PixelMask, each against its rule.

// ours
#include "pixelmask.h"
#include "pixelrow.h"
#include "surface.h"

#include <gtest/gtest.h>

// std
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace tarnwick;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2 * kPi;
constexpr std::uint32_t kGuard = 0x5EC0FFEEu;

// Runs `check` on each vector unit this machine has, then restores the chosen one.
template <class Check>
void onEveryUnit(Check check)
{
    const std::string chosen = pixelrow::vectorUnit();
    for (const char* unit : {"sse2", "avx2", "avx512bw"}) {
        if (!pixelrow::useVectorUnit(unit))
            continue;
        SCOPED_TRACE(unit);
        check();
    }
    pixelrow::useVectorUnit(chosen.c_str());
}

// `s` blended over `d` by the channel rule, made opaque.
std::uint32_t blendedPixel(std::uint32_t d, std::uint32_t s, std::uint32_t a)
{
    std::uint32_t p = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        p |= pixelrow::blendChannel((s >> shift) & 0xFF, (d >> shift) & 0xFF, a) << shift;
    return p;
}

std::uint8_t pixelAlpha(int i) { return static_cast<std::uint8_t>(i * 37 + 11); }
std::uint32_t underPixel(int i) { return 0x2468ACE0u ^ (0x01030507u * (i + 3)); }

// Busy, reproducible pixels, so AND and OR differ from a copy in every channel.
Surface noise(int w, int h, std::uint32_t seed)
{
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.row(y)[x] = 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8);
    return s;
}

std::vector<std::uint32_t> pixelsOf(const Surface& s)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < s.height(); ++y)
        out.insert(out.end(), s.row(y), s.row(y) + s.width());
    return out;
}

} // namespace

// Every source byte, destination byte and alpha, one alpha a row and one a pixel; each channel meets every (s, d).
TEST(PixelRow, BlendEqualsTheChannelRuleForEveryInput)
{
    constexpr int kPairs = 256 * 256;
    std::vector<std::uint32_t> src(kPairs), dst(kPairs), out(kPairs), pairs(kPairs);
    std::vector<std::uint8_t> alphas(kPairs);
    for (std::uint32_t i = 0; i < kPairs; ++i) {
        const std::uint32_t hi = i >> 8, lo = i & 0xFF;
        src[i] = (hi ^ lo) << 24 | (255 - hi) << 16 | lo << 8 | hi;
        dst[i] = (lo * 3 & 0xFF) << 24 | (lo ^ 0xA5) << 16 | hi << 8 | lo;
    }
    for (const bool perPixel : {false, true}) {
        SCOPED_TRACE(perPixel ? "alpha per pixel" : "one alpha");
        onEveryUnit([&] {
            for (int pass = 0; pass <= 255; ++pass) {
                for (int i = 0; i < kPairs; ++i) {
                    alphas[i] = static_cast<std::uint8_t>(perPixel ? pass + 7 * i : pass);
                    pairs[i] = pixelrow::alphaPair(alphas[i]);
                }
                out = dst;
                if (perPixel)
                    pixelrow::blendRowAlphas(out.data(), out.data(), src.data(), kPairs, pairs.data());
                else
                    pixelrow::blendRow(out.data(), src.data(), kPairs, static_cast<std::uint8_t>(pass));
                for (int i = 0, wrong = 0; i < kPairs && wrong < 5; ++i)
                    if (const std::uint32_t want = blendedPixel(dst[i], src[i], alphas[i]); out[i] != want && ++wrong)
                        ADD_FAILURE() << "pass " << pass << " pixel " << i << ": got " << std::hex << out[i]
                                      << " expected " << want;
            }
        });
    }
    // The rule itself: (s a + d (255 - a) + 127) / 255.
    struct Case { std::uint32_t s, d, a, expected; };
    for (const Case c : {Case{255, 0, 255, 255}, {255, 0, 0, 0}, {0, 200, 1, 199}, {200, 0, 1, 1}, {1, 0, 128, 1},
                         {1, 0, 127, 0}})
        EXPECT_EQ(pixelrow::blendChannel(c.s, c.d, c.a), c.expected) << c.s << " " << c.d << " " << c.a;
}

TEST(PixelRow, EveryKernelWritesExactlyItsRowAtAnyLengthAndAlignment)
{
    using U = std::uint32_t;
    constexpr std::uint8_t kAlpha = 77;
    constexpr U kFill = 0x12345678u;
    static std::vector<U> pairs(40), under(40);
    for (int i = 0; i < 40; ++i)
        pairs[i] = pixelrow::alphaPair(pixelAlpha(i)), under[i] = underPixel(i);
    // name, the kernel on (d, s, n), the pixel it writes from (d, s, i)
    const std::tuple<const char*, void (*)(U*, const U*, int), U (*)(U, U, int)> cases[] = {
        {"and", [](U* d, const U* s, int n) { pixelrow::andRow(d, s, n); }, [](U d, U s, int) { return (d & s) | 0xFF000000u; }},
        {"or", [](U* d, const U* s, int n) { pixelrow::orRow(d, s, n); }, [](U d, U s, int) { return d | s | 0xFF000000u; }},
        {"copy", [](U* d, const U* s, int n) { pixelrow::copyRow(d, s, n); }, [](U, U s, int) { return s | 0xFF000000u; }},
        {"fill", [](U* d, const U*, int n) { pixelrow::fillRow(d, n, kFill); }, [](U, U, int) { return kFill | 0xFF000000u; }},
        {"blend", [](U* d, const U* s, int n) { pixelrow::blendRow(d, s, n, kAlpha); },
         [](U d, U s, int) { return blendedPixel(d, s, kAlpha); }},
        {"blend alphas", [](U* d, const U* s, int n) { pixelrow::blendRowAlphas(d, d, s, n, pairs.data()); },
         [](U d, U s, int i) { return blendedPixel(d, s, pixelAlpha(i)); }},
        {"blend over another row", [](U* d, const U* s, int n) { pixelrow::blendRowOver(d, under.data(), s, n, kAlpha); },
         [](U, U s, int i) { return blendedPixel(underPixel(i), s, kAlpha); }},
        {"blend in place", [](U* d, const U*, int n) { pixelrow::blendRow(d, d, n, kAlpha); },
         [](U d, U, int) { return d | 0xFF000000u; }},
    };
    onEveryUnit([&] {
        for (const auto& [name, kernel, expect] : cases)
            for (int offset = 0; offset < 3; ++offset)
                for (int n = 0; n <= 37; ++n) {
                    SCOPED_TRACE(testing::Message() << name << " n " << n << " offset " << offset);
                    // One guard pixel on each side of the row.
                    std::vector<U> dst(n + offset + 2, kGuard), src(n + offset + 2, kGuard);
                    for (int i = 0; i < n; ++i) {
                        dst[offset + 1 + i] = 0x00C3A55Au * (i + 1) + 0x01020304u;
                        src[offset + 1 + i] = 0x7F3C9E11u ^ (0x01010101u * (i * 37 + 5));
                    }
                    std::vector<U> want = dst;
                    for (int i = 0; i < n; ++i)
                        want[offset + 1 + i] = expect(dst[offset + 1 + i], src[offset + 1 + i], i);
                    kernel(dst.data() + offset + 1, src.data() + offset + 1, n);
                    ASSERT_EQ(dst, want);
                }
    });
}

// bitBlt clips to both surfaces for every raster operation and reads an overlapping source as it was.
TEST(Surface, BitBltWritesOnlyPixelsInsideBothSurfaces)
{
    struct Case { std::string what; int x, y, w, h, sx, sy; bool within = false; }; // within: src is dst
    // dst is 61 x 9, src 45 x 12.
    const Case cases[] = {
        {"inside both", 3, 2, 37, 5, 4, 1},
        {"whole source at the origin", 0, 0, 45, 12, 0, 0},
        {"destination off the left and top", -7, -3, 30, 8, 2, 3},
        {"source off the left and top", 5, 1, 30, 8, -9, -2},
        {"past the destination's right and bottom", 40, 6, 30, 10, 0, 0},
        {"past the source's right and bottom", 2, 0, 50, 20, 20, 7},
        {"huge rectangle", -1000, -1000, 1 << 20, 1 << 20, -1000, -1000},
        {"one pixel in the last corner", 60, 8, 1, 1, 44, 11},
        {"zero width", 1, 1, 0, 5, 0, 0},
        {"negative height", 1, 1, 5, -2, 0, 0},
        {"wholly right of the destination", 61, 0, 10, 5, 0, 0},
        {"wholly below the source", 0, 0, 10, 5, 0, 12},
        {"within, down and right", 3, 2, 40, 6, 0, 0, true},
        {"within, up and left", 0, 0, 40, 6, 3, 2, true},
        {"within, along the row", 1, 0, 60, 9, 0, 0, true},
    };
    for (const Rop rop : {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcPaint}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what + ", rop " + std::to_string(static_cast<std::uint32_t>(rop)));
            Surface dst = noise(61, 9, 7);
            const Surface src = c.within ? dst : noise(45, 12, 99);
            std::vector<std::uint32_t> want = pixelsOf(dst);
            for (int dy = 0; dy < dst.height(); ++dy)
                for (int dx = 0; dx < dst.width(); ++dx) {
                    const long long i = dx - c.x, j = dy - c.y, fx = c.sx + i, fy = c.sy + j;
                    if (i < 0 || j < 0 || i >= c.w || j >= c.h || fx < 0 || fy < 0 || fx >= src.width() ||
                        fy >= src.height())
                        continue;
                    std::uint32_t& d = want[dy * dst.width() + dx];
                    const std::uint32_t s = src.row(int(fy))[fx];
                    d = 0xFF000000u | (rop == Rop::SrcAnd ? d & s : rop == Rop::SrcPaint ? d | s : s);
                }
            bitBlt(dst, c.x, c.y, c.w, c.h, c.within ? dst : src, c.sx, c.sy, rop);
            EXPECT_EQ(pixelsOf(dst), want);
        }
    }
}

namespace {

struct Shape { std::string what; double cx, cy, r; bool pie; double a1, a2; };

// The pixel rule: angles a turn at a time, a1 above a2 wraps past 0, equal angles or a whole turn give the disc.
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

} // namespace

// Spans, contains() and fillMask() all hold exactly the pixels of the rule.
TEST(PixelMask, SpansContainsAndFillFollowThePixelRule)
{
    std::vector<Shape> shapes = {
        {"centred on a pixel centre", 16.5, 10.5, 4, false, 0, 0},
        {"radius on pixel centres exactly", 10, 10, 2.5, false, 0, 0},
        {"radius 0 on a pixel centre", 3.5, 2.5, 0, false, 0, 0},
        {"centre off the left edge", -12, 10, 18, false, 0, 0},
        {"far off, reaching in", -1000, 15, 1010.2, false, 0, 0},
        {"radius squared beyond double", 20, 15, 1e200, false, 0, 0},
        {"negative radius", 20, 15, -3, false, 0, 0},
        {"radius not a number", 20, 15, std::nan(""), false, 0, 0},
        {"thin wedge", 20.2, 15.7, 40, true, 1.0, 1.05},
        {"wraps, centre on a pixel centre", 16.5, 10.5, 9, true, 5.0, 2.0},
        {"two runs a row, cut from the top", 20, 15, 14, true, 2.0, 1.2},
        {"two runs a row, cut from the bottom", 20.5, 15.5, 14, true, 5.0, 4.2},
        {"pie around an off-surface centre", -5, -5, 60, true, kPi + 0.7, kTwoPi - 0.3},
        {"pie row on the centre's row", 20.5, 15.5, 10, true, kPi, kTwoPi - 1e-3},
        {"negative start wraps", 16.5, 10.5, 14, true, -0.5, 0.5},
        {"both a turn higher", 16.5, 10.5, 14, true, kTwoPi + 1, kTwoPi + 2},
        {"both a turn lower", 16.5, 10.5, 14, true, 1 - kTwoPi, 2 - kTwoPi},
        {"a rounding step past a turn", 16.5, 10.5, 14, true, 0, 26 * kTwoPi / 26},
        {"from just below 0 to a turn", 16.5, 10.5, 14, true, kTwoPi - 26 * kTwoPi / 26, kTwoPi},
        {"more than a turn", 16.5, 10.5, 14, true, 1, 8},
    };
    // Fixed seed; centres near pixel centres and edges to exercise rounding.
    std::mt19937 gen(20240607);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 300; ++n) {
        const double cx = std::round(unit(gen) * 120) / 2 - 10 + (n % 3 == 0 ? 0.25 : 0);
        const double cy = std::round(unit(gen) * 100) / 2 - 10;
        const double r = n % 5 == 0 ? std::round(unit(gen) * 40) / 2 : unit(gen) * 40;
        const double a1 = unit(gen) * kTwoPi;
        shapes.push_back({"random " + std::to_string(n), cx, cy, r, n % 4 != 0, a1, n % 7 == 0 ? a1 : unit(gen) * kTwoPi});
    }
    constexpr int w = 40, h = 30;
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.what);
        const PixelMask m = s.pie ? PixelMask::pie(s.cx, s.cy, s.r, s.a1, s.a2) : PixelMask::disc(s.cx, s.cy, s.r);
        for (int py = -2; py < h + 2; ++py)
            for (int px = -2; px < w + 2; ++px)
                ASSERT_EQ(m.contains(px, py), rule(s, px, py)) << "(" << px << ", " << py << ")";
        // Spans: ordered, apart, inside the row, inside rowRange, equal to contains().
        const auto [first, last] = m.rowRange(h);
        Surface filled(w, h);
        filled.setBackColor(0x102030);
        fillMask(filled, m, 0xA0B0C0);
        for (int py = 0; py < h; ++py) {
            std::vector<bool> inRuns(w, false);
            PixelSpan spans[2];
            const int n = m.rowSpans(py, w, spans);
            ASSERT_TRUE(n >= 0 && n <= 2);
            for (int k = 0; k < n; ++k) {
                ASSERT_TRUE(0 <= spans[k].begin && spans[k].begin < spans[k].end && spans[k].end <= w) << "row " << py;
                ASSERT_TRUE(k == 0 || spans[0].end < spans[1].begin) << "runs touch in row " << py;
                for (int px = spans[k].begin; px < spans[k].end; ++px)
                    inRuns[px] = true;
            }
            for (int px = 0; px < w; ++px) {
                ASSERT_EQ(inRuns[px], m.contains(px, py)) << "(" << px << ", " << py << ")";
                ASSERT_TRUE(!inRuns[px] || (py >= first && py <= last)) << "row " << py << " outside";
                ASSERT_EQ(filled.row(py)[px], inRuns[px] ? 0xFFA0B0C0u : 0xFF102030u) << px << "," << py;
            }
        }
    }
}

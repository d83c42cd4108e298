// Surface's rectangle operations and mask fill against the pixel rules
// written out one pixel at a time: bitBlt clips to both surfaces for every
// raster operation (rows long enough to run the vector path and its tail),
// and fillMask paints exactly the pixels PixelMask::contains accepts.

// ours
#include "pixelmask.h"
#include "surface.h"

#include <gtest/gtest.h>

// std
#include <cstdint>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

constexpr double kPi = 3.141592653589793;

// A surface of busy, reproducible pixels, so AND and OR differ from a copy
// in every channel.
Surface noise(int w, int h, std::uint32_t seed)
{
    Surface s(w, h);
    std::uint32_t v = seed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            v = v * 1664525u + 1013904223u;
            s.row(y)[x] = 0xFF000000u | (v >> 8);
        }
    return s;
}

std::vector<std::uint32_t> pixelsOf(const Surface& s)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < s.height(); ++y)
        out.insert(out.end(), s.row(y), s.row(y) + s.width());
    return out;
}

std::uint32_t apply(Rop rop, std::uint32_t d, std::uint32_t s)
{
    switch (rop) {
    case Rop::SrcAnd:
        return d & s;
    case Rop::SrcPaint:
        return d | s;
    case Rop::SrcCopy:
        break;
    }
    return s;
}

// What bitBlt must leave in dst, from the pixels both surfaces had before.
std::vector<std::uint32_t> expectedBlt(const Surface& dst, int x, int y, int w, int h, const Surface& src,
                                       int sx, int sy, Rop rop)
{
    std::vector<std::uint32_t> out = pixelsOf(dst);
    for (int dy = 0; dy < dst.height(); ++dy)
        for (int dx = 0; dx < dst.width(); ++dx) {
            const long long i = 0LL + dx - x, j = 0LL + dy - y;
            const long long fx = sx + i, fy = sy + j;
            if (i < 0 || j < 0 || i >= w || j >= h || fx < 0 || fy < 0 || fx >= src.width() ||
                fy >= src.height())
                continue;
            std::uint32_t& d = out[static_cast<std::size_t>(dy) * dst.width() + dx];
            d = 0xFF000000u | apply(rop, d, src.row(static_cast<int>(fy))[fx]);
        }
    return out;
}

struct BltCase {
    std::string what;
    int x, y, w, h, sx, sy;
};

// dst is 61 x 9 and src 45 x 12: rows longer than a vector, with tails.
const std::vector<BltCase> kBltCases{
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
};

TEST(Surface, BitBltWritesOnlyPixelsInsideBothSurfaces)
{
    for (const Rop rop : {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcPaint}) {
        for (const BltCase& c : kBltCases) {
            SCOPED_TRACE(c.what + ", rop " + std::to_string(static_cast<std::uint32_t>(rop)));
            Surface dst = noise(61, 9, 7);
            const Surface src = noise(45, 12, 99);
            const auto want = expectedBlt(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, rop);
            bitBlt(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, rop);
            EXPECT_EQ(pixelsOf(dst), want);
        }
    }
}

// Within one surface the source is read as it was before the operation,
// whichever way the rectangles overlap.
TEST(Surface, BitBltWithinOneSurfaceReadsTheSourceAsItWas)
{
    const BltCase cases[] = {
        {"down and right", 3, 2, 40, 6, 0, 0},
        {"up and left", 0, 0, 40, 6, 3, 2},
        {"onto itself", 5, 1, 33, 7, 5, 1},
        {"along the row", 1, 0, 60, 9, 0, 0},
    };
    for (const Rop rop : {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcPaint}) {
        for (const BltCase& c : cases) {
            SCOPED_TRACE(c.what + ", rop " + std::to_string(static_cast<std::uint32_t>(rop)));
            Surface s = noise(61, 9, 3);
            const Surface before = s;
            const auto want = expectedBlt(before, c.x, c.y, c.w, c.h, before, c.sx, c.sy, rop);
            bitBlt(s, c.x, c.y, c.w, c.h, s, c.sx, c.sy, rop);
            EXPECT_EQ(pixelsOf(s), want);
        }
    }
}

TEST(Surface, FillMaskPaintsExactlyTheMaskPixels)
{
    struct MaskCase {
        std::string what;
        PixelMask mask;
    };
    const MaskCase cases[] = {
        {"disc in the middle", PixelMask::disc(20.5, 8.5, 6.2)},
        {"disc over the left and top edges", PixelMask::disc(1, -2, 7.5)},
        {"disc larger than the surface", PixelMask::disc(19, 8, 100)},
        {"radius 0 on a pixel centre", PixelMask::disc(4.5, 3.5, 0)},
        {"disc wholly off the surface", PixelMask::disc(-20, 5, 6)},
        {"quarter pie", PixelMask::pie(20, 8, 9, 0, kPi / 2)},
        {"pie wrapping past angle 0", PixelMask::pie(30.25, 9, 12, 1.5 * kPi, kPi / 3)},
        {"pie over the right edge", PixelMask::pie(38, 4, 10, 0.3, 4.0)},
        {"equal angles", PixelMask::pie(12, 6, 5, 1, 1)},
    };
    constexpr std::uint32_t kBack = 0x102030;
    constexpr std::uint32_t kFill = 0xA0B0C0;
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.what);
        Surface s(41, 17);
        s.setBackColor(kBack);
        fillMask(s, c.mask, kFill);
        int painted = 0;
        for (int y = 0; y < s.height(); ++y) {
            for (int x = 0; x < s.width(); ++x) {
                const bool in = c.mask.contains(x, y);
                painted += in;
                ASSERT_EQ(s.pixel(x, y), in ? kFill : kBack) << "at " << x << "," << y;
                ASSERT_EQ(s.row(y)[x] >> 24, 0xFFu) << "at " << x << "," << y;
            }
        }
        // The cases are meant to paint something except where they say not.
        if (c.what.find("off the surface") == std::string::npos) {
            EXPECT_GT(painted, 0);
        }
    }
}

} // namespace

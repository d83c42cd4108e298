// Surface's rectangle operations and mask fill against the pixel rules
// written out one pixel at a time: bitBlt clips to both surfaces for every
// raster operation (rows long enough to run the vector path and its tail)
// and reads an overlapping source as it was; fillMask paints exactly the
// pixels PixelMask::contains accepts, clipped to the surface.

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

// A surface of busy, reproducible pixels, so AND and OR differ from a copy
// in every channel.
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

TEST(Surface, BitBltWritesOnlyPixelsInsideBothSurfaces)
{
    struct Case {
        std::string what;
        int x, y, w, h, sx, sy;
        bool within = false; // source and destination are one surface
    };
    // dst is 61 x 9 and src 45 x 12: rows longer than a vector, with tails.
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
            // What bitBlt must leave, from the pixels both had before.
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

TEST(Surface, FillMaskPaintsExactlyTheMaskPixels)
{
    const PixelMask masks[] = {
        PixelMask::disc(20.5, 8.5, 6.2),          PixelMask::disc(1, -2, 7.5),
        PixelMask::disc(19, 8, 100),              PixelMask::disc(-20, 5, 6),
        PixelMask::pie(30.25, 9, 12, 4.7, 1.05), PixelMask::pie(38, 4, 10, 0.3, 4.0),
    };
    for (const PixelMask& mask : masks) {
        SCOPED_TRACE(&mask - masks);
        Surface s(41, 17);
        s.setBackColor(0x102030);
        fillMask(s, mask, 0xA0B0C0);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                ASSERT_EQ(s.row(y)[x], mask.contains(x, y) ? 0xFFA0B0C0u : 0xFF102030u) << x << "," << y;
    }
}

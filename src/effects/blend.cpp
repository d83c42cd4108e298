// Effect_Blend: the incoming picture fades in over the outgoing one with a
// constant alpha that grows each frame, either over the whole picture at
// once or in 80 bands (columns or rows) that fade at different speeds.

// ours
#include "clsmovie.h"
#include "effectrun.h"
#include "pixelrow.h"
#include "surface.h"
#include "vbmath.h"

// std
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace tarnwick {

namespace {

constexpr int kBands = 80;

// Band starts across or down, indexed 1..80 as the settings' tables are.
using BandTable = std::array<std::int32_t, kBands + 1>;

// Which way the bands run and which end fades first.
struct BandLayout {
    bool rows;         // bands are rows (variants 3, 4), else columns
    bool leadingFirst; // the first band (left or top) is the strongest
};

// Weight of band i: from 5.9375 down to 1 when the first band leads, from
// 6 down to 1.0625 towards the first band otherwise.
double bandWeight(int i, bool leadingFirst)
{
    const double share = leadingFirst ? (kBands - i) / double(kBands) : i / double(kBands);
    return share * 5 + 1;
}

// The alpha of band i this frame: its weight times the frame's base alpha,
// held at 255.
std::uint8_t bandAlpha(int i, bool leadingFirst, std::int32_t base)
{
    const double weighted = bandWeight(i, leadingFirst) * base;
    return static_cast<std::uint8_t>(std::min<std::int32_t>(255, whole(weighted)));
}

// Start and extent of band i along a side of `size` pixels; the last band
// takes what the rounding of the table leaves.
void bandSpan(const BandTable& starts, int i, float size, std::int32_t& start, std::int32_t& extent)
{
    start = starts[i];
    extent = i < kBands ? sub(starts[i + 1], starts[i]) : whole(double(size) - starts[kBands]);
}

// Column bands tile the width without overlapping, so they are drawn as one
// alpha per column over whole rows: band by band would walk the picture in
// tall narrow strips. Columns outside every band keep alpha 0, which leaves
// them as they are.
void drawColumnBands(Surface& objDest, const Surface& objScr, const BandTable& colX, bool leadingFirst,
                     std::int32_t base)
{
    std::vector<std::uint8_t> columnAlpha(static_cast<std::size_t>(objDest.width()), 0);
    for (int i = 1; i <= kBands; ++i) {
        const std::uint8_t alpha = bandAlpha(i, leadingFirst, base);
        std::int32_t start = 0;
        std::int32_t extent = 0;
        bandSpan(colX, i, objDest.ScaleWidth(), start, extent);
        const int end = std::min<std::int64_t>(std::int64_t(start) + extent, objDest.width());
        for (int x = std::max(start, 0); x < end; ++x)
            columnAlpha[x] = alpha;
    }
    const int h = std::min({whole(objDest.ScaleHeight()), objDest.height(), objScr.height()});
    const int w = std::min(objDest.width(), objScr.width());
    for (int y = 0; y < h; ++y)
        pixelrow::blendRowAlphas(objDest.row(y), objScr.row(y), w, columnAlpha.data());
}

void drawBands(Surface& objDest, const Surface& objScr, const BandTable& colX,
               const BandTable& rowY, BandLayout layout, std::int32_t base)
{
    if (!layout.rows) {
        drawColumnBands(objDest, objScr, colX, layout.leadingFirst, base);
        return;
    }
    for (int i = 1; i <= kBands; ++i) {
        const std::uint8_t alpha = bandAlpha(i, layout.leadingFirst, base);
        std::int32_t start = 0;
        std::int32_t extent = 0;
        bandSpan(rowY, i, objDest.ScaleHeight(), start, extent);
        const std::int32_t w = whole(objDest.ScaleWidth());
        alphaBlend(objDest, 0, start, w, extent, objScr, 0, start, w, extent, alpha);
    }
}

} // namespace

void clsMovie::Effect_Blend(Surface& objScr, Surface&, Surface&, Surface& objDest)
{
    runGuarded([&] {
        EffectRun run(*this, "Blend");
        const std::int32_t times = run.exportTimes(run.readInt("BlendTimes(How many loop times to finish?)", "400"));
        const int variant = run.drawVariant(5);
        const double step = divide(255, times);

        BandTable colX{};
        BandTable rowY{};
        for (int i = 1; i <= kBands; ++i) {
            colX[i] = whole(double(objDest.ScaleWidth()) * (i - 1) / kBands);
            rowY[i] = whole(double(objDest.ScaleHeight()) * (i - 1) / kBands);
            run.doEvents();
        }
        // A clear now brings back exactly the outgoing picture on screen.
        objDest.setPictureFromImage();

        for (std::int32_t frame = 1; frame <= times; ++frame) {
            objDest.clear();
            const std::int32_t base = floorLong(frame * step);
            if (variant == 0) {
                if (base > 255)
                    throw EffectFailure(kOverflow); // the alpha is a byte
                alphaBlend(objDest, 0, 0, whole(objDest.ScaleWidth()), whole(objDest.ScaleHeight()),
                           objScr, 0, 0, whole(objScr.ScaleWidth()), whole(objScr.ScaleHeight()),
                           static_cast<std::uint8_t>(base));
            } else {
                const BandLayout layout{variant >= 3, variant == 1 || variant == 3};
                drawBands(objDest, objScr, colX, rowY, layout, base);
            }
            run.showFrame(objDest);
            run.doEvents();
            run.pause(50);
            run.doEvents();
        }
    });
}

} // namespace tarnwick

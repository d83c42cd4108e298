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

// Whether a frame can be blended straight over the outgoing picture kept
// in objDest: the picture, the display and the incoming picture all of one
// size, so that each display row is the blend of the same rows of the other
// two. Then one pass per row reads two pictures and writes the display,
// where restoring the display from its picture and blending over it took
// two passes and five streams of memory. Other sizes take that old way.
bool blendsOverPicture(const Surface& objDest, const Surface& objScr)
{
    return objDest.hasPicture() && objDest.picture().size() == objDest.image().size()
        && objDest.picture().format() == objDest.image().format() && objScr.image().size() == objDest.image().size()
        && objScr.image().format() == objDest.image().format();
}

const std::uint32_t* pictureRow(const Surface& s, int y)
{
    return reinterpret_cast<const std::uint32_t*>(s.picture().constScanLine(y));
}

// The alpha of each of the `count` columns or rows of a side `size` long
// this frame; -1 for one outside every band. The bands tile the side
// without overlapping, so each position takes its band's alpha once.
std::vector<int> bandAlphas(const BandTable& starts, float size, int count, bool leadingFirst, std::int32_t base)
{
    std::vector<int> alphas(static_cast<std::size_t>(count), -1);
    for (int i = 1; i <= kBands; ++i) {
        const int alpha = bandAlpha(i, leadingFirst, base);
        std::int32_t start = 0;
        std::int32_t extent = 0;
        bandSpan(starts, i, size, start, extent);
        const int end = std::min<std::int64_t>(std::int64_t(start) + extent, count);
        for (int k = std::max(start, 0); k < end; ++k)
            alphas[k] = alpha;
    }
    return alphas;
}

// The alpha of each column this frame, in the form the row kernel reads.
// Column bands are drawn as one alpha per column over whole rows: band by
// band would walk the picture in tall narrow strips. Columns outside every
// band take alpha 0, which leaves them as they are.
std::vector<std::uint32_t> columnAlphas(const Surface& objDest, const BandTable& colX, bool leadingFirst,
                                        std::int32_t base)
{
    const std::vector<int> alphas = bandAlphas(colX, objDest.ScaleWidth(), objDest.width(), leadingFirst, base);
    std::vector<std::uint32_t> pairs(alphas.size());
    std::transform(alphas.begin(), alphas.end(), pairs.begin(),
                   [](int a) { return pixelrow::alphaPair(static_cast<std::uint8_t>(std::max(a, 0))); });
    return pairs;
}

// One frame over the outgoing picture (see blendsOverPicture): variant 0
// with the base alpha everywhere, else the bands.
void drawOverPicture(Surface& objDest, const Surface& objScr, const BandTable& colX, const BandTable& rowY,
                     int variant, std::int32_t base)
{
    const int w = objDest.width();
    const bool leadingFirst = variant == 1 || variant == 3;
    if (variant == 0) {
        for (int y = 0; y < objDest.height(); ++y)
            pixelrow::blendRowOver(objDest.row(y), pictureRow(objDest, y), objScr.row(y), w,
                                   static_cast<std::uint8_t>(base));
    } else if (variant < 3) {
        const std::vector<std::uint32_t> alphas = columnAlphas(objDest, colX, leadingFirst, base);
        for (int y = 0; y < objDest.height(); ++y)
            pixelrow::blendRowAlphas(objDest.row(y), pictureRow(objDest, y), objScr.row(y), w, alphas.data());
    } else {
        const std::vector<int> alphas = bandAlphas(rowY, objDest.ScaleHeight(), objDest.height(), leadingFirst, base);
        for (int y = 0; y < objDest.height(); ++y) {
            if (alphas[y] < 0)
                std::copy_n(pictureRow(objDest, y), w, objDest.row(y));
            else
                pixelrow::blendRowOver(objDest.row(y), pictureRow(objDest, y), objScr.row(y), w,
                                       static_cast<std::uint8_t>(alphas[y]));
        }
    }
}

// One frame the old way, for surfaces of different sizes: the display
// restored from its picture, then the bands blended over it.
void drawBands(Surface& objDest, const Surface& objScr, const BandTable& colX,
               const BandTable& rowY, BandLayout layout, std::int32_t base)
{
    if (!layout.rows) {
        const std::vector<std::uint32_t> alphas = columnAlphas(objDest, colX, layout.leadingFirst, base);
        const int h = std::min({whole(objDest.ScaleHeight()), objDest.height(), objScr.height()});
        const int w = std::min(objDest.width(), objScr.width());
        for (int y = 0; y < h; ++y)
            pixelrow::blendRowAlphas(objDest.row(y), objDest.row(y), objScr.row(y), w, alphas.data());
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
            const std::int32_t base = floorLong(frame * step);
            if (variant == 0 && base > 255)
                throw EffectFailure(kOverflow); // the alpha is a byte
            if (blendsOverPicture(objDest, objScr)) {
                drawOverPicture(objDest, objScr, colX, rowY, variant, base);
            } else if (variant == 0) {
                objDest.clear();
                alphaBlend(objDest, 0, 0, whole(objDest.ScaleWidth()), whole(objDest.ScaleHeight()),
                           objScr, 0, 0, whole(objScr.ScaleWidth()), whole(objScr.ScaleHeight()),
                           static_cast<std::uint8_t>(base));
            } else {
                objDest.clear();
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

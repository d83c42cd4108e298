// Effect_Wipe: the incoming picture is uncovered over the outgoing one in
// one of 22 patterns: edge and corner wipes (0 to 7), boxes that shrink or
// grow and bands that open or close (8 to 17), and an iris and a clock sweep
// composed through black-and-white masks (18 to 21).

// ours
#include "clsmovie.h"
#include "direction.h"
#include "effectrun.h"
#include "pixelmask.h"
#include "pixelrow.h"
#include "surface.h"
#include "vbmath.h"

// std
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace tarnwick {

namespace {

constexpr const char* kWipeTimesKey = "WipeTimes(How many loop times to finish?)";
constexpr const char* kWipeIntervalKey =
    "WipeInterval(ms)(How many milliseconds would computer relax between two process)";
constexpr std::int32_t kWipePause = 10;
constexpr int kVariants = 22;
constexpr int kFirstMasked = 18;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr double kTwoPi = 6.283185307179586;

// What one frame needs to know: its number, the per-frame steps, and the
// display's scale size.
struct FrameGeometry {
    std::int32_t i;
    double stepX, stepY;
    double W, H;
};

// Variants 0 to 7: the incoming picture grows from the edge or corner
// opposite the direction, at its own place.
void edgeWipe(const Direction& dir, const FrameGeometry& g, const Surface& objScr, Surface& objDest)
{
    const auto axis = [&](int d, double step, double size, int& at, int& len) {
        const double moved = std::abs(mul(d, g.i) * step);
        at = d < 0 ? whole(size - moved) : 0;
        len = d == 0 ? whole(size) : whole(moved);
    };
    int x0 = 0, w = 0, y0 = 0, h = 0;
    axis(dir.dx, g.stepX, g.W, x0, w);
    axis(dir.dy, g.stepY, g.H, y0, h);
    bitBlt(objDest, x0, y0, w, h, objScr, x0, y0);
}

// The whole incoming picture, then the shrinking window of the outgoing
// picture at (x, y), at its own place.
void shrinkingWindow(std::int32_t x, std::int32_t y, const FrameGeometry& g, const Surface& objScr,
                     const Surface& objTmp2, Surface& objDest)
{
    bitBlt(objDest, 0, 0, whole(g.W), whole(g.H), objScr, 0, 0);
    const std::int32_t w = whole(g.W - g.i * g.stepX);
    const std::int32_t h = whole(g.H - g.i * g.stepY);
    bitBlt(objDest, x, y, w, h, objTmp2, x, y);
}

// Variants 8 to 17.
void boxOrBand(int variant, const FrameGeometry& g, const Surface& objScr, const Surface& objTmp2,
               Surface& objDest)
{
    const double grownX = g.i * g.stepX;
    const double grownY = g.i * g.stepY;
    const std::int32_t fullW = whole(g.W);
    const std::int32_t fullH = whole(g.H);
    const auto fromScr = [&](int x, int y, int w, int h) { bitBlt(objDest, x, y, w, h, objScr, x, y); };
    switch (variant) {
    case 8:
        shrinkingWindow(whole(grownX / 2), whole(grownY / 2), g, objScr, objTmp2, objDest);
        break;
    case 9:
        fromScr(whole((g.W - grownX) / 2), whole((g.H - grownY) / 2), whole(grownX), whole(grownY));
        break;
    case 10:
        shrinkingWindow(0, 0, g, objScr, objTmp2, objDest);
        break;
    case 11:
        shrinkingWindow(whole(grownX), 0, g, objScr, objTmp2, objDest);
        break;
    case 12:
        shrinkingWindow(0, whole(grownY), g, objScr, objTmp2, objDest);
        break;
    case 13:
        shrinkingWindow(whole(grownX), whole(grownY), g, objScr, objTmp2, objDest);
        break;
    case 14:
        bitBlt(objDest, 0, 0, fullW, fullH, objTmp2, 0, 0);
        fromScr(whole((g.W - grownX) / 2), 0, whole(grownX), fullH);
        break;
    case 15: {
        const std::int32_t w = whole(grownX / 2);
        fromScr(0, 0, w, fullH);
        fromScr(whole(g.W - grownX / 2), 0, w, fullH);
        break;
    }
    case 16:
        bitBlt(objDest, 0, 0, fullW, fullH, objTmp2, 0, 0);
        fromScr(0, whole((g.H - grownY) / 2), fullW, whole(grownY));
        break;
    case 17: {
        const std::int32_t h = whole(grownY / 2);
        fromScr(0, 0, fullW, h);
        fromScr(0, whole(g.H - grownY / 2), fullW, h);
        break;
    }
    default:
        break;
    }
}

// One black-and-white mask: `shape` in `fill` on `back`.
struct Mask {
    PixelMask shape;
    std::uint32_t fill;
    std::uint32_t back;
};

// The two masks of frame i of variants 18 to 21 around (cx, cy). Mask A lets
// the incoming picture through where it is white, mask B keeps the outgoing
// picture where it is white.
struct MaskPair {
    Mask a;
    Mask b;
};

MaskPair masksOf(int variant, std::int32_t i, std::int32_t times, double R, double cx, double cy)
{
    const auto disc = [&](double r) { return PixelMask::disc(cx, cy, r); };
    const auto pie = [&](double a1, double a2) { return PixelMask::pie(cx, cy, R, a1, a2); };
    const std::int32_t i4 = mul(4, i);
    const std::int32_t i2 = mul(2, i);
    switch (variant) {
    case 18: // iris opens
        return {{disc(i4 * R / times), kWhite, kBlack}, {disc(i2 * R / times), kBlack, kWhite}};
    case 19: { // iris closes
        const std::int32_t left = sub(times, i2);
        return {{disc(left * R / times), kBlack, kWhite},
                {disc(mul(2, left) * R / times), kWhite, kBlack}};
    }
    case 20: // counter-clockwise from angle 0
        return {{i4 > times ? disc(R) : pie(0, i4 * kTwoPi / times), kWhite, kBlack},
                {pie(0, i2 * kTwoPi / times), kBlack, kWhite}};
    default: // 21, clockwise back from a whole turn
        return {{i4 >= times ? disc(R) : pie(kTwoPi - i4 * kTwoPi / times, kTwoPi), kWhite, kBlack},
                {pie(kTwoPi - i2 * kTwoPi / times, kTwoPi), kBlack, kWhite}};
    }
}

// Drops the picture of `s`, clears it to the mask's back colour and fills
// its shape.
void drawMask(Surface& s, const Mask& m)
{
    s.clearTo(m.back);
    fillMask(s, m.shape, m.fill);
}

void wholeBlt(Surface& dst, const Surface& src, Rop rop)
{
    bitBlt(dst, 0, 0, whole(dst.ScaleWidth()), whole(dst.ScaleHeight()), src, 0, 0, rop);
}

// Variants 18 to 21: the incoming picture masked by A is ORed onto the
// display masked by B. Where both let a picture through the two are ORed,
// which draws the light seam along the moving edge.
void maskedFrame(const MaskPair& masks, Surface& objScr, Surface& objTmp, Surface& objTmp2,
                 Surface& objDest)
{
    drawMask(objTmp, masks.a);
    wholeBlt(objTmp2, objScr, Rop::SrcCopy);
    wholeBlt(objTmp2, objTmp, Rop::SrcAnd);
    drawMask(objTmp, masks.b);
    wholeBlt(objDest, objTmp, Rop::SrcAnd);
    wholeBlt(objDest, objTmp2, Rop::SrcPaint);
}

// Whether every frame but the last can be composed in one pass: all four
// surfaces of one size, so that each display pixel comes from the same
// pixel of the others.
bool composesInOnePass(const Surface& objScr, const Surface& objTmp, const Surface& objTmp2,
                       const Surface& objDest)
{
    const QSize size = objDest.image().size();
    return objScr.image().size() == size && objTmp.image().size() == size && objTmp2.image().size() == size;
}

// The runs of row py where mask `m`, drawn on a surface w x h, is white:
// its shape's runs when the shape is white, the gaps around them otherwise.
int whiteRuns(const Mask& m, int py, int w, int h, PixelSpan out[3])
{
    PixelSpan shape[2];
    const auto [first, last] = m.shape.rowRange(h);
    const int n = py >= first && py <= last ? m.shape.rowSpans(py, w, shape) : 0;
    if (m.fill == kWhite) {
        std::copy_n(shape, n, out);
        return n;
    }
    int k = 0;
    int x = 0;
    for (int j = 0; j < n; ++j) {
        if (shape[j].begin > x)
            out[k++] = {x, shape[j].begin};
        x = shape[j].end;
    }
    if (x < w)
        out[k++] = {x, w};
    return k;
}

bool inRuns(const PixelSpan* runs, int n, int x)
{
    return std::any_of(runs, runs + n, [x](const PixelSpan& r) { return x >= r.begin && x < r.end; });
}

// What maskedFrame leaves on the display, written once per pixel from the
// rows' runs: the incoming picture where A is white, ORed with the display
// where B is white, black where neither is. The six whole-frame passes of
// maskedFrame write the work surfaces as well, which only the last frame
// needs (the effect leaves them so).
void composedFrame(const MaskPair& masks, const Surface& objScr, Surface& objDest)
{
    const int w = objDest.width();
    const int h = objDest.height();
    for (int y = 0; y < h; ++y) {
        PixelSpan a[3], b[3];
        const int na = whiteRuns(masks.a, y, w, h, a);
        const int nb = whiteRuns(masks.b, y, w, h, b);
        std::array<int, 14> cuts{};
        int nc = 0;
        cuts[nc++] = 0;
        cuts[nc++] = w;
        for (int j = 0; j < na; ++j)
            cuts[nc++] = a[j].begin, cuts[nc++] = a[j].end;
        for (int j = 0; j < nb; ++j)
            cuts[nc++] = b[j].begin, cuts[nc++] = b[j].end;
        std::sort(cuts.begin(), cuts.begin() + nc);
        std::uint32_t* d = objDest.row(y);
        const std::uint32_t* sr = objScr.row(y);
        for (int k = 0; k + 1 < nc; ++k) {
            const int x0 = cuts[k], n = cuts[k + 1] - x0;
            if (n <= 0)
                continue;
            const bool inA = inRuns(a, na, x0), inB = inRuns(b, nb, x0);
            if (inA && inB)
                pixelrow::orRow(d + x0, sr + x0, n);
            else if (inA)
                pixelrow::copyRow(d + x0, sr + x0, n);
            else if (inB)
                pixelrow::orRow(d + x0, d + x0, n); // kept, made opaque
            else
                pixelrow::fillRow(d + x0, n, kBlack);
        }
    }
}

} // namespace

void clsMovie::Effect_Wipe(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest)
{
    runGuarded([&] {
        EffectRun run(*this, "Wipe");
        std::int32_t times = run.readInt(kWipeTimesKey, "200");
        const std::int32_t interval = run.readInt(kWipeIntervalKey, "20");
        times = run.exportTimes(times);
        const int variant = run.drawVariant(kVariants);
        const double stepX = divide(objScr.ScaleWidth(), times);
        const double stepY = divide(objScr.ScaleHeight(), times);
        const double destW = objDest.ScaleWidth();
        const double destH = objDest.ScaleHeight();
        const double R = std::sqrt(destH * destH + destW * destW) / 2;

        const bool masked = variant >= kFirstMasked;
        for (std::int32_t i = 1; i <= times; ++i) {
            // The masks have done their work once the iris or sweep has grown
            // (or shrunk) all the way, after half the frames. Stopping before
            // the frame begins leaves the last mask on objTmp.
            if (masked && mul(2, i) > times)
                return;
            const std::int32_t t0 = run.tick();
            // The masks drop objTmp's picture themselves and paint all of
            // it, so only the other patterns clear it, and once is enough:
            // nothing else touches it.
            if (!masked && i == 1)
                objTmp.setPictureToNothing();
            const FrameGeometry g{i, stepX, stepY, objDest.ScaleWidth(), objDest.ScaleHeight()};
            if (variant < static_cast<int>(kDirections.size())) {
                edgeWipe(kDirections[variant], g, objScr, objDest);
            } else if (variant < kFirstMasked) {
                boxOrBand(variant, g, objScr, objTmp2, objDest);
            } else {
                const double cx = objTmp.ScaleWidth() / 2.0;
                const double cy = objTmp.ScaleHeight() / 2.0;
                const MaskPair masks = masksOf(variant, i, times, R, cx, cy);
                const bool lastFrame = 2 * (std::int64_t(i) + 1) > times;
                if (!lastFrame && composesInOnePass(objScr, objTmp, objTmp2, objDest))
                    composedFrame(masks, objScr, objDest);
                else
                    maskedFrame(masks, objScr, objTmp, objTmp2, objDest);
            }
            run.frameTail(objDest, t0, kWipePause, interval);
        }
    });
}

} // namespace tarnwick

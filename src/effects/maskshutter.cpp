// Mask and Shutter: the rectangle-copy transitions. Mask slides the incoming
// picture in from an edge or corner, or opens and closes the picture like a
// pair of doors; Shutter uncovers the incoming picture through parallel
// slats that widen together, optionally staggered so one side runs ahead.

// ours
#include "clsmovie.h"
#include "direction.h"
#include "effectrun.h"
#include "surface.h"
#include "vbmath.h"

// std
#include <cmath>
#include <cstdint>
#include <vector>

namespace tarnwick {

namespace {

constexpr const char* kMaskTimesKey = "MaskTimes(How many loop times to finish?)";
constexpr const char* kMaskIntervalKey =
    "MaskInterval(ms)(How many milliseconds would computer relax between two process)";
constexpr const char* kShutterTimesKey = "ShutterTimes(How many loop times to finish?)";
constexpr const char* kShutterIntervalKey =
    "ShutterInterval(ms)(How many milliseconds would computer relax between two process)";
constexpr const char* kShutterBlockKey = "ShutterBlock(how many shutters)";

constexpr std::int32_t kMaskPause = 20;
constexpr std::int32_t kShutterPause = 10;

// Where a slide's copy lands on one axis, where it is read from and how long
// it is, for direction d, the per-frame step and the surface's extent.
struct Span {
    int dest, src, len;
};

Span slideSpan(int d, double step, std::int32_t i, double extent)
{
    if (d == 0)
        return {0, 0, whole(extent)};
    const double off = std::abs(d * step * i);
    const int inner = whole(extent - off);
    const int len = whole(std::abs(d * i * step));
    return d < 0 ? Span{inner, 0, len} : Span{0, inner, len};
}

void drawSlide(const Direction& dir, std::int32_t i, double stepX, double stepY,
               const Surface& objScr, const Surface& objTmp, Surface& objDest)
{
    const Span x = slideSpan(dir.dx, stepX, i, objTmp.ScaleWidth());
    const Span y = slideSpan(dir.dy, stepY, i, objTmp.ScaleHeight());
    bitBlt(objDest, x.dest, y.dest, x.len, y.len, objScr, x.src, y.src);
}

// Copies a band that spans the whole other axis: columns [at, at + len) from
// column `from` when horizontal, rows when not.
void blitBand(Surface& dst, bool vertical, int at, int len, int across, const Surface& src, int from)
{
    if (vertical)
        bitBlt(dst, 0, at, across, len, src, 0, from);
    else
        bitBlt(dst, at, 0, len, across, src, from, 0);
}

// Variants 8 to 11. 8 and 10 open the outgoing picture over the incoming
// one, 9 and 11 close the incoming picture over the outgoing one; 8 and 9
// move sideways, 10 and 11 up and down.
void drawDoors(int variant, std::int32_t i, double stepX, double stepY, const Surface& objScr,
               const Surface& objTmp2, Surface& objDest)
{
    const bool vertical = variant >= 10;
    const double w = objDest.ScaleWidth();
    const double h = objDest.ScaleHeight();
    const double along = vertical ? h : w;
    const int across = whole(vertical ? w : h);
    const double step = vertical ? stepY : stepX;
    const int p = whole(i * step);
    if (variant == 8 || variant == 10) {
        bitBlt(objDest, 0, 0, whole(w), whole(h), objScr, 0, 0);
        const int len = idiv(whole(along - i * step), 2);
        blitBand(objDest, vertical, 0, len, across, objTmp2, idiv(p, 2));
        blitBand(objDest, vertical, idiv(whole(i * step + along), 2), len, across, objTmp2,
                 idiv(whole(along), 2));
    } else {
        const int len = idiv(p, 2);
        blitBand(objDest, vertical, 0, len, across, objScr, idiv(whole(along - i * step), 2));
        blitBand(objDest, vertical, whole(along - len), len, across, objScr, idiv(whole(along), 2));
    }
}

} // namespace

void clsMovie::Effect_Mask(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest)
{
    runGuarded([&] {
        EffectRun run(*this, "Mask");
        std::int32_t times = run.readInt(kMaskTimesKey, "400");
        const std::int32_t interval = run.readInt(kMaskIntervalKey, "10");
        times = run.exportTimes(times);
        const int variant = run.drawVariant(12);
        const double stepX = divide(objScr.ScaleWidth(), times);
        const double stepY = divide(objScr.ScaleHeight(), times);

        for (std::int32_t i = 1; i <= times; ++i) {
            const std::int32_t t0 = run.tick();
            // The work surface ends cleared; nothing draws on it, so once does.
            if (i == 1)
                objTmp.setPictureToNothing();
            if (variant < static_cast<int>(kDirections.size()))
                drawSlide(kDirections[variant], i, stepX, stepY, objScr, objTmp, objDest);
            else
                drawDoors(variant, i, stepX, stepY, objScr, objTmp2, objDest);
            run.frameTail(objDest, t0, kMaskPause, interval);
        }
    });
}

void clsMovie::Effect_Shutter(Surface& objScr, Surface& objTmp, Surface&, Surface& objDest)
{
    runGuarded([&] {
        EffectRun run(*this, "Shutter");
        std::int32_t times = run.readInt(kShutterTimesKey, "80");
        const std::int32_t interval = run.readInt(kShutterIntervalKey, "20");
        const std::int32_t n = run.readInt(kShutterBlockKey, "30");
        times = run.exportTimes(times);
        const int kind = run.drawVariant(4);
        const int stagger = run.drawStagger();

        // The slat tables run from 1 to N, so fewer than one slat cannot be
        // sized.
        if (n < 1)
            throw EffectFailure(kSubscriptOutOfRange);
        std::vector<double> slatX(static_cast<std::size_t>(n) + 1);
        std::vector<double> slatY(static_cast<std::size_t>(n) + 1);

        // Vertical slats (kinds 0 and 2) widen; horizontal ones grow down.
        const bool vertical = kind == 0 || kind == 2;
        const bool fromEnd = kind >= 2;
        const double step = divide(vertical ? objScr.ScaleWidth() : objScr.ScaleHeight(), mul(n, times));

        for (std::int32_t j = 1; j <= n; ++j) {
            const double edge = fromEnd ? j : j - 1;
            if (vertical)
                slatX[j] = objDest.ScaleWidth() * edge / n;
            else
                slatY[j] = objDest.ScaleHeight() * edge / n;
            run.doEvents();
        }

        for (std::int32_t i = 1; i <= times; ++i) {
            const std::int32_t t0 = run.tick();
            // The work surface ends cleared; nothing draws on it, so once does.
            if (i == 1)
                objTmp.setPictureToNothing();
            const double sw = vertical ? i * step : objDest.ScaleWidth();
            const double sh = vertical ? objDest.ScaleHeight() : i * step;
            for (std::int32_t j = 1; j <= n; ++j) {
                double x = slatX[j];
                double y = slatY[j];
                double w = sw;
                double h = sh;
                // The slats on the side where the blind starts run ahead.
                const std::int32_t lead = fromEnd ? j - 1 : n - j;
                if (vertical) {
                    w = lead * 1.8 * sw * stagger / n + sw;
                    if (fromEnd)
                        x = slatX[j] - w;
                } else {
                    h = lead * 1.8 * sh * stagger / n + sh;
                    if (fromEnd)
                        y = slatY[j] - h;
                }
                bitBlt(objDest, whole(x), whole(y), whole(w), whole(h), objScr, whole(x), whole(y));
                run.doEvents();
            }
            run.frameTail(objDest, t0, kShutterPause, interval);
        }
    });
}

} // namespace tarnwick

// Effect_Drag: the outgoing picture is pushed off the display in one of
// eight directions while the incoming picture follows it in from the
// opposite side. In the diagonal directions the L-shaped gap that neither
// picture covers shows the album's background picture.

// ours
#include "clsmovie.h"
#include "direction.h"
#include "effectrun.h"
#include "surface.h"
#include "vbmath.h"

// std
#include <cmath>
#include <cstdint>

namespace tarnwick {

namespace {

constexpr const char* kDragTimesKey = "DragTimes(How many loop times to finish?)";
constexpr const char* kDragIntervalKey =
    "DragInterval(ms)(How many milliseconds would computer relax between two process)";
constexpr std::int32_t kDragPause = 10;

// Where both pictures lie on one axis in frame i: `off` is how far the
// outgoing picture has moved, `kept` the extent of it still on screen and
// `full` the extent of the display.
struct Axis {
    double off;
    std::int32_t kept;
    std::int32_t full;
};

Axis axisAt(int d, std::int32_t i, double step, float size)
{
    const double off = std::abs(mul(d, i) * step);
    return {off, whole(size - off), whole(size)};
}

// The outgoing picture, moved by (off) in the direction: it lands past the
// offset when it moves forward, and is read from past the offset when it
// moves back.
void drawOutgoing(const Direction& dir, const Axis& x, const Axis& y, const Surface& objTmp2,
                  Surface& objDest)
{
    const std::int32_t ox = whole(x.off);
    const std::int32_t oy = whole(y.off);
    bitBlt(objDest, dir.dx > 0 ? ox : 0, dir.dy > 0 ? oy : 0, x.kept, y.kept, objTmp2,
           dir.dx > 0 ? 0 : ox, dir.dy > 0 ? 0 : oy);
}

// The two strips of the L-shaped gap of a diagonal move, copied from the
// same place of the background in objTmp.
void drawGap(const Direction& dir, const Axis& x, const Axis& y, const Surface& objTmp,
             Surface& objDest)
{
    const std::int32_t w = x.kept;
    const std::int32_t h = y.kept;
    const std::int32_t gapW = sub(x.full, w);
    const std::int32_t gapH = sub(y.full, h);
    const std::int32_t ox = whole(x.off);
    const std::int32_t oy = whole(y.off);
    const auto strip = [&](int sx, int sy, int sw, int sh) {
        bitBlt(objDest, sx, sy, sw, sh, objTmp, sx, sy);
    };
    // The strip along the top or bottom edge spans the outgoing picture's
    // columns; the one along the side spans its rows.
    const int across = dir.dx > 0 ? ox : 0;
    const int down = dir.dy > 0 ? oy : 0;
    const int edgeRow = dir.dy > 0 ? 0 : h;
    const int edgeCol = dir.dx > 0 ? 0 : w;
    strip(across, edgeRow, w, gapH);
    strip(edgeCol, down, gapW, h);
}

// The incoming picture, entering from the side opposite the move.
void drawIncoming(const Direction& dir, const Axis& x, const Axis& y, const Surface& objScr,
                  Surface& objDest)
{
    // It lands (or is read) where the outgoing picture's kept part ends.
    const auto place = [](int d, const Axis& a, int& dest, int& src, int& len) {
        dest = d < 0 ? a.kept : 0;
        src = d > 0 ? a.kept : 0;
        len = d == 0 ? a.full : whole(a.off);
    };
    int x0 = 0, sx = 0, w = 0;
    int y0 = 0, sy = 0, h = 0;
    place(dir.dx, x, x0, sx, w);
    place(dir.dy, y, y0, sy, h);
    bitBlt(objDest, x0, y0, w, h, objScr, sx, sy);
}

} // namespace

void clsMovie::Effect_Drag(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest)
{
    runGuarded([&] {
        EffectRun run(*this, "Drag");
        std::int32_t times = run.readInt(kDragTimesKey, "800");
        const std::int32_t interval = run.readInt(kDragIntervalKey, "5");
        times = run.exportTimes(times);
        const Direction dir = kDirections[run.drawVariant(8)];
        const double stepX = divide(objScr.ScaleWidth(), times);
        const double stepY = divide(objScr.ScaleHeight(), times);
        objTmp.setPicture(BackgroundPicture);

        for (std::int32_t i = 1; i <= times; ++i) {
            const std::int32_t t0 = run.tick();
            const Axis x = axisAt(dir.dx, i, stepX, objTmp.ScaleWidth());
            const Axis y = axisAt(dir.dy, i, stepY, objTmp.ScaleHeight());
            drawOutgoing(dir, x, y, objTmp2, objDest);
            if (dir.diagonal())
                drawGap(dir, x, y, objTmp, objDest);
            drawIncoming(dir, x, y, objScr, objDest);
            run.frameTail(objDest, t0, kDragPause, interval);
        }
    });
}

} // namespace tarnwick

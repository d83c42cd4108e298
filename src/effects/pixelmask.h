#pragma once
// The pixels of a filled disc or pie, row by row. A pixel (px, py) belongs to
// the disc of radius r centred at (cx, cy) when
// (px+0.5-cx)^2 + (py+0.5-cy)^2 <= r^2, in double precision as written; to
// the pie from a1 counter-clockwise to a2 when it is in the disc and the
// angle of its centre, atan2(cy-(py+0.5), (px+0.5)-cx) taken in [0, 2pi),
// lies in [a1, a2]. Each row is handed out as at most two runs of pixels, so
// drawing costs a few exact tests per row and a fill, never a test per pixel;
// the runs hold exactly the pixels that contains() accepts.
//
// Plain values, no shared state: any thread may use its own masks.

// std
#include <utility>

namespace tarnwick {

// The pixels begin, ..., end - 1 of one row.
struct PixelSpan {
    int begin = 0;
    int end = 0;
};

class PixelMask {
public:
    // A disc. A radius below 0 (or not a number), or a centre that is not a
    // finite point, holds no pixel; radius 0 holds the pixel whose centre is
    // exactly (cx, cy), if there is one.
    static PixelMask disc(double cx, double cy, double r);

    // A pie of the disc. Equal angles, or a sweep from a1 to a2 of a whole
    // turn or more, give the full disc (so a sweep that lands a rounding
    // error past 2pi stays whole). Otherwise angles outside [0, 2pi] are
    // first brought into it by whole turns, and a1 above a2 wraps past angle
    // 0: the pie holds the angles from a1 up to 2pi and from 0 up to a2. An
    // angle that is not a number holds no pixel.
    static PixelMask pie(double cx, double cy, double r, double a1, double a2);

    // The exact rule for one pixel.
    bool contains(int px, int py) const;

    // The rows [first, last] of a surface `height` rows high outside of which
    // no pixel belongs; first > last when none does.
    std::pair<int, int> rowRange(int height) const;

    // The runs of row py that belong, inside [0, width), left to right and
    // not touching; returns how many were written to `out` (0 to 2).
    int rowSpans(int py, int width, PixelSpan out[2]) const;

    bool isPie() const { return m_pie; }

private:
    PixelMask(double cx, double cy, double r);

    // The centre's offsets of pixel column px and of row py, as the rule
    // forms them.
    double dxOf(int px) const { return (px + 0.5) - m_cx; }
    double dyOf(int py) const { return (py + 0.5) - m_cy; }
    bool inDisc(int px, double dy2) const;
    // The angle of the centre of pixel px in the row whose centre lies `y`
    // above the disc's centre, in [0, 2pi].
    double angleOf(int px, double y) const;
    bool inAngles(double angle) const;
    PixelSpan discSpan(double dy, int width) const;
    // The part of `disc` whose angles lie in [lo, hi].
    PixelSpan angleRun(PixelSpan disc, double y, double lo, double hi) const;
    int angleSpans(PixelSpan disc, double y, PixelSpan out[2]) const;

    double m_cx = 0;
    double m_cy = 0;
    double m_r = 0;
    double m_r2 = 0;
    bool m_empty = true;
    bool m_pie = false;
    bool m_wraps = false;
    double m_a1 = 0;
    double m_a2 = 0;
};

} // namespace tarnwick

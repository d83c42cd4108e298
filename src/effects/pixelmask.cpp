#include "pixelmask.h"

// std
#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kPi = kTwoPi / 2;

// v as an int within [lo, hi]; not a number gives lo. Clamping before the
// conversion keeps huge and infinite values defined.
int clampToInt(double v, int lo, int hi)
{
    if (!(v > lo))
        return lo;
    if (v >= hi)
        return hi;
    return static_cast<int>(v);
}

// The first k in [lo, hi) where pred(k) holds, or hi, for a pred that is
// false up to some k and true from there on. It starts at `guess` and
// gallops away from it, so a guess on the edge costs two tests and a poor
// one a few more; the result never depends on the guess.
template <class Pred>
int firstWhere(int lo, int hi, int guess, Pred pred)
{
    // pred taken as false before lo and true from hi on.
    const auto holds = [&](int k) { return k >= hi || (k >= lo && pred(k)); };
    int f = 0; // holds(f) is false
    int t = 0; // holds(t) is true
    const int g = std::clamp(guess, lo, hi);
    if (holds(g)) {
        t = g;
        for (int step = 1;; step *= 2) {
            f = t - step;
            if (f < lo) {
                f = lo - 1;
                break;
            }
            if (!holds(f))
                break;
            t = f;
        }
    } else {
        f = g;
        for (int step = 1;; step *= 2) {
            t = f + step;
            if (t >= hi) {
                t = hi;
                break;
            }
            if (holds(t))
                break;
            f = t;
        }
    }
    while (t - f > 1) {
        const int m = f + (t - f) / 2;
        (holds(m) ? t : f) = m;
    }
    return t;
}

// The first k in [lo, hi) where pred holds, guessing at column `guess`;
// without a guess (not a number) the pred is taken to be the same over the
// whole run, which two tests confirm.
template <class Pred>
int edgeOfRun(int lo, int hi, double guess, Pred pred)
{
    if (std::isnan(guess))
        return firstWhere(lo, hi, pred(lo) ? lo : hi, pred);
    return firstWhere(lo, hi, clampToInt(guess, lo, hi), pred);
}

// The angle brought into [0, 2pi] by whole turns.
double intoTurn(double a)
{
    if (a >= 0 && a <= kTwoPi)
        return a;
    const double r = std::fmod(a, kTwoPi);
    return r < 0 ? r + kTwoPi : r;
}

} // namespace

PixelMask::PixelMask(double cx, double cy, double r)
    : m_cx(cx), m_cy(cy), m_r(r), m_r2(r * r),
      m_empty(!(r >= 0) || !std::isfinite(cx) || !std::isfinite(cy))
{
}

PixelMask PixelMask::disc(double cx, double cy, double r) { return PixelMask(cx, cy, r); }

PixelMask PixelMask::pie(double cx, double cy, double r, double a1, double a2)
{
    PixelMask m(cx, cy, r);
    if (a1 == a2 || a2 - a1 >= kTwoPi)
        return m;
    a1 = intoTurn(a1);
    a2 = intoTurn(a2);
    if (a1 == a2)
        return m;
    m.m_pie = true;
    m.m_wraps = a1 > a2;
    m.m_a1 = a1;
    m.m_a2 = a2;
    return m;
}

bool PixelMask::inDisc(int px, double dy2) const
{
    const double dx = dxOf(px);
    return dx * dx + dy2 <= m_r2;
}

double PixelMask::angleOf(int px, double y) const
{
    const double a = std::atan2(y, dxOf(px));
    return a < 0 ? a + kTwoPi : a;
}

bool PixelMask::inAngles(double angle) const
{
    return m_wraps ? angle >= m_a1 || angle <= m_a2 : angle >= m_a1 && angle <= m_a2;
}

bool PixelMask::contains(int px, int py) const
{
    if (m_empty)
        return false;
    const double dy = dyOf(py);
    if (!inDisc(px, dy * dy))
        return false;
    return !m_pie || inAngles(angleOf(px, m_cy - (py + 0.5)));
}

std::pair<int, int> PixelMask::rowRange(int height) const
{
    if (m_empty || height <= 0)
        return {0, -1};
    // A margin for the rounding of far-off centres and huge radii; the row
    // spans are exact, this only bounds where to look.
    const double margin = 2 + (std::abs(m_cy) + m_r) * 1e-12;
    const double top = std::floor(m_cy - m_r - margin);
    const double bottom = std::ceil(m_cy + m_r + margin);
    if (bottom < 0 || top > height - 1)
        return {0, -1};
    return {clampToInt(top, 0, height - 1), clampToInt(bottom, 0, height - 1)};
}

PixelSpan PixelMask::discSpan(double dy, int width) const
{
    const double dy2 = dy * dy;
    if (!(dy2 <= m_r2) || width <= 0)
        return {};
    // Along the row the distance falls up to the column whose centre is
    // nearest cx (m or m + 1) and rises after it, so the disc's pixels are
    // one run around that column.
    int c = clampToInt(std::floor(m_cx - 0.5), 0, width - 1);
    if (!inDisc(c, dy2)) {
        if (c + 1 < width && inDisc(c + 1, dy2))
            ++c;
        else
            return {};
    }
    const double half = std::sqrt(m_r2 - dy2);
    const int begin = edgeOfRun(0, c + 1, std::ceil(m_cx - 0.5 - half),
                                [&](int k) { return inDisc(k, dy2); });
    const int end = edgeOfRun(c, width, std::floor(m_cx - 0.5 + half) + 1,
                              [&](int k) { return !inDisc(k, dy2); });
    return {begin, end};
}

namespace {

// The column where the ray from the centre at `angle` meets a row whose
// centre lies `y` above the centre; not a number when the ray runs on the
// other side of the centre's row.
double crossing(double cx, double angle, double y)
{
    if (y == 0)
        return std::ceil(cx - 0.5);
    const bool upper = angle > 0 && angle < kPi;
    const bool lower = angle > kPi && angle < kTwoPi;
    if ((y > 0 && !upper) || (y < 0 && !lower))
        return std::nan("");
    return std::ceil(cx + y / std::tan(angle) - 0.5);
}

} // namespace

PixelSpan PixelMask::angleRun(PixelSpan disc, double y, double lo, double hi) const
{
    const auto theta = [&](int k) { return angleOf(k, y); };
    // Every angle lies in [0, 2pi], so an open end needs no search.
    const bool anyLow = lo <= 0;
    const bool anyHigh = hi >= kTwoPi;
    int begin = disc.begin;
    int end = disc.end;
    if (y >= 0) {
        // Above the centre (and on its row) the angle falls from left to right.
        if (!anyHigh)
            begin = edgeOfRun(begin, end, crossing(m_cx, hi, y), [&](int k) { return theta(k) <= hi; });
        if (!anyLow)
            end = edgeOfRun(begin, end, crossing(m_cx, lo, y), [&](int k) { return theta(k) < lo; });
    } else {
        // Below the centre it rises from pi towards 2pi.
        if (!anyLow)
            begin = edgeOfRun(begin, end, crossing(m_cx, lo, y), [&](int k) { return theta(k) >= lo; });
        if (!anyHigh)
            end = edgeOfRun(begin, end, crossing(m_cx, hi, y), [&](int k) { return theta(k) > hi; });
    }
    return {begin, end};
}

int PixelMask::angleSpans(PixelSpan disc, double y, PixelSpan out[2]) const
{
    PixelSpan runs[2];
    int n = 0;
    const auto keep = [&](PixelSpan s) {
        if (s.begin < s.end)
            runs[n++] = s;
    };
    if (m_wraps) {
        keep(angleRun(disc, y, m_a1, kTwoPi));
        keep(angleRun(disc, y, 0, m_a2));
    } else {
        keep(angleRun(disc, y, m_a1, m_a2));
    }
    if (n == 2 && runs[1].begin < runs[0].begin)
        std::swap(runs[0], runs[1]);
    if (n == 2 && runs[0].end >= runs[1].begin) {
        runs[0].end = std::max(runs[0].end, runs[1].end);
        n = 1;
    }
    std::copy(runs, runs + n, out);
    return n;
}

int PixelMask::rowSpans(int py, int width, PixelSpan out[2]) const
{
    if (m_empty)
        return 0;
    const PixelSpan disc = discSpan(dyOf(py), width);
    if (disc.begin >= disc.end)
        return 0;
    if (!m_pie) {
        out[0] = disc;
        return 1;
    }
    return angleSpans(disc, m_cy - (py + 0.5), out);
}

} // namespace tarnwick

// LineTransform: the incoming picture arrives in thin full-length lines,
// one after another (mostly every other line first, then the lines in
// between), or in lines that slide in along their length. Twenty variants;
// every copy is a SRCCOPY from objScr into objDest.

// ours
#include "clsmovie.h"
#include "effectrun.h"
#include "surface.h"
#include "vbmath.h"

// std
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarnwick {

namespace {

constexpr const char* kSection = "LineTransform";
constexpr const char* kTimesKey = "LineTransformTimes(How many loop times to finish?)";
constexpr const char* kIntervalKey =
    "LineTransformInterval(ms)(How many milliseconds would computer relax between two process)";
constexpr const char* kLinesXKey = "LineNumber_X(How many lines at horizontal)";
constexpr const char* kLinesYKey = "LineNumber_Y(How many lines at vertical)";

constexpr int kVariants = 20;
constexpr std::int32_t kStepPause = 10;
constexpr std::int32_t kPhasePause = 500;

// Which way the lines lie: vertical lines are columns across x, horizontal
// lines rows across y. "Across" is the axis the lines are spread over,
// "along" the one they run in.
enum class Axis { Columns, Rows };

// The lines of one axis. edge[j] is the near edge of line j for j = 1 to
// count; edge[0] stays 0, because the mirror line of variants 8 and 9 with
// an odd count reaches index 0 on its last step.
struct LineSet {
    Axis axis = Axis::Columns;
    std::int32_t count = 0;
    std::vector<double> edge;
    double lineSize = 0; // objScr's extent across / count
    double across = 0;   // objDest's extent across the lines
    double along = 0;    // objDest's extent along a line
    double step = 0;     // slide advance per frame: along / Times

    // Thickness of line j when sliding: up to the next line's edge, and
    // lineSize for the last line.
    double thickness(std::int32_t j) const { return j < count ? edge[j + 1] - edge[j] : lineSize; }
};

// Where a slide enters from: the left or top edge (the line's far end comes
// in first) or the right or bottom edge (its near end first).
enum class From { Start, End };

// One group of sliding lines: every other line from `first` (1 or 2).
struct SlideGroup {
    std::int32_t first;
    From from;
};

// The order of a line phase: from `first` in steps of `stride` while the
// line exists (j <= count going up, j >= 1 going down).
struct LineOrder {
    enum Start { One, Two, Last } start;
    std::int32_t stride;
};

// What each step of a line phase copies.
enum class LineDraw {
    Strip,     // line j alone, full length
    WipeStart, // from the start edge up to the far edge of line j
    WipeEnd,   // from one line before line j to the end edge
};

struct LinePhase {
    LineOrder order;
    LineDraw draw;
};

// Variants 0 to 3 (and 4 to 7 on rows): phase 1, phase 2.
const LinePhase kLineVariants[4][2] = {
    {{{LineOrder::One, 2}, LineDraw::Strip}, {{LineOrder::Two, 2}, LineDraw::WipeStart}},
    {{{LineOrder::One, 2}, LineDraw::Strip}, {{LineOrder::Last, -2}, LineDraw::WipeEnd}},
    {{{LineOrder::Last, -2}, LineDraw::Strip}, {{LineOrder::Last, -2}, LineDraw::WipeEnd}},
    {{{LineOrder::Last, -2}, LineDraw::Strip}, {{LineOrder::One, 2}, LineDraw::Strip}},
};

// Variants 10 to 14 (rows) and 15 to 19 (columns): the groups of phase 1
// and of phase 2; an empty phase 2 means one phase with no pause.
struct SlideVariant {
    std::vector<SlideGroup> phase1;
    std::vector<SlideGroup> phase2;
};

const SlideVariant kRowSlides[5] = {
    {{{1, From::Start}}, {{2, From::Start}}},
    {{{1, From::Start}}, {{2, From::End}}},
    {{{2, From::End}}, {{1, From::End}}},
    {{{2, From::End}}, {{1, From::Start}}},
    {{{1, From::Start}, {2, From::End}}, {}},
};

const SlideVariant kColumnSlides[5] = {
    {{{1, From::Start}}, {{2, From::Start}}},
    {{{1, From::Start}}, {{2, From::End}}},
    {{{1, From::End}}, {{2, From::End}}},
    {{{1, From::End}}, {{2, From::Start}}},
    {{{1, From::End}, {2, From::Start}}, {}},
};

// a Mod b with the sign of a; "Division by zero" when b is 0.
std::int32_t vbMod(std::int32_t a, std::int32_t b)
{
    return sub(a, mul(idiv(a, b), b));
}

class LineTransform {
public:
    LineTransform(clsMovie& movie, Surface& objScr, Surface& objDest)
        : m_movie(movie), m_run(movie, kSection), m_scr(objScr), m_dest(objDest)
    {
    }

    void play()
    {
        m_times = m_run.readInt(kTimesKey, "100");
        m_interval = m_run.readInt(kIntervalKey, "20");
        const std::int32_t lx = m_run.readInt(kLinesXKey, "100");
        const std::int32_t ly = m_run.readInt(kLinesYKey, "80");
        m_times = m_run.exportTimes(m_times);
        const int variant = m_run.drawVariant(kVariants);

        m_columns = makeLines(Axis::Columns, lx, m_dest.ScaleWidth(), m_dest.ScaleHeight());
        m_rows = makeLines(Axis::Rows, ly, m_dest.ScaleHeight(), m_dest.ScaleWidth());
        m_columns.lineSize = divide(m_scr.ScaleWidth(), lx);
        m_rows.lineSize = divide(m_scr.ScaleHeight(), ly);
        // Rows slide along x and columns along y.
        m_rows.step = divide(m_dest.ScaleWidth(), m_times);
        m_columns.step = divide(m_dest.ScaleHeight(), m_times);

        if (variant < 8) {
            const LinePhase* phases = kLineVariants[variant % 4];
            const LineSet& lines = variant < 4 ? m_columns : m_rows;
            linePhase(lines, phases[0]);
            m_run.pause(kPhasePause);
            linePhase(lines, phases[1]);
        } else if (variant < 10) {
            fromBothEdges(variant == 8 ? m_columns : m_rows);
        } else if (variant < 15) {
            slide(m_rows, kRowSlides[variant - 10]);
        } else {
            slide(m_columns, kColumnSlides[variant - 15]);
        }
    }

private:
    LineSet makeLines(Axis axis, std::int32_t count, double across, double along)
    {
        LineSet lines;
        lines.axis = axis;
        lines.count = count;
        lines.across = across;
        lines.along = along;
        lines.edge.assign(static_cast<std::size_t>(std::max<std::int32_t>(count, 0)) + 1, 0.0);
        for (std::int32_t j = 1; j <= count; ++j) {
            lines.edge[static_cast<std::size_t>(j)] = across * (j - 1) / count;
            m_run.doEvents();
        }
        return lines;
    }

    // Copies the rectangle that starts at `alongDst` along and `acrossPos`
    // across, `alongLen` by `acrossLen`, from `alongSrc` along in objScr.
    // Every value is converted on its own, as the drawing call takes it.
    void copy(const LineSet& lines, double alongDst, double acrossPos, double alongLen,
              double acrossLen, double alongSrc)
    {
        const std::int32_t a = whole(acrossPos);
        if (lines.axis == Axis::Columns)
            bitBlt(m_dest, a, whole(alongDst), whole(acrossLen), whole(alongLen), m_scr, a,
                   whole(alongSrc));
        else
            bitBlt(m_dest, whole(alongDst), a, whole(alongLen), whole(acrossLen), m_scr,
                   whole(alongSrc), a);
    }

    // A full-length band across [pos, pos + size).
    void band(const LineSet& lines, double pos, double size)
    {
        copy(lines, 0, pos, lines.along, size, 0);
    }

    void strip(const LineSet& lines, std::int32_t j)
    {
        band(lines, lines.edge[static_cast<std::size_t>(j)], lines.lineSize);
    }

    void linePhase(const LineSet& lines, const LinePhase& phase)
    {
        const std::int32_t first = phase.order.start == LineOrder::One   ? 1
                                   : phase.order.start == LineOrder::Two ? 2
                                                                         : lines.count;
        const std::int32_t stride = phase.order.stride;
        for (std::int32_t j = first; stride > 0 ? j <= lines.count : j >= 1; j = add(j, stride)) {
            const std::int32_t t0 = m_run.tick();
            const double edge = lines.edge[static_cast<std::size_t>(j)];
            switch (phase.draw) {
            case LineDraw::Strip:
                strip(lines, j);
                break;
            case LineDraw::WipeStart:
                band(lines, 0, edge + lines.lineSize);
                break;
            case LineDraw::WipeEnd: {
                const double from = edge - lines.lineSize;
                band(lines, from, lines.across - from);
                break;
            }
            }
            stepTail(t0, [&] { return lineSampled(lines.count, j); });
        }
    }

    // Variants 8 and 9: line j and its mirror line come in from both edges;
    // once the fronts have crossed, the band between them as well.
    void fromBothEdges(const LineSet& lines)
    {
        const std::int32_t n = lines.count;
        const bool even = vbMod(n, 2) == 0;
        for (std::int32_t j = 1; j <= n; j = add(j, 2)) {
            const std::int32_t t0 = m_run.tick();
            const std::int32_t k = even ? add(sub(n, j), 1) : sub(n, j);
            strip(lines, j);
            strip(lines, k);
            if (k < j) {
                const double ek = lines.edge[static_cast<std::size_t>(k)];
                band(lines, ek, lines.edge[static_cast<std::size_t>(j)] - ek);
            }
            stepTail(t0, [&] { return lineSampled(n, j); });
        }
    }

    void slide(const LineSet& lines, const SlideVariant& variant)
    {
        slidePhase(lines, variant.phase1);
        if (variant.phase2.empty())
            return;
        m_run.pause(kPhasePause);
        slidePhase(lines, variant.phase2);
    }

    void slidePhase(const LineSet& lines, const std::vector<SlideGroup>& groups)
    {
        for (std::int32_t f = 1; f <= m_times; ++f) {
            const std::int32_t t0 = m_run.tick();
            const double len = f * lines.step;
            for (const SlideGroup& g : groups) {
                for (std::int32_t j = g.first; j <= lines.count; j = add(j, 2)) {
                    const double pos = lines.edge[static_cast<std::size_t>(j)];
                    if (g.from == From::Start)
                        copy(lines, 0, pos, len, lines.thickness(j), lines.along - len);
                    else
                        copy(lines, lines.along - len, pos, len, lines.thickness(j), 0);
                    m_run.doEvents();
                }
            }
            stepTail(t0, [f] { return f % 2 == 0; });
        }
    }

    // Whether the export samples step j of a line phase over `count` lines:
    // every step when there are no more lines than frames, otherwise about
    // Times steps in all through the period q.
    bool lineSampled(std::int32_t count, std::int32_t j) const
    {
        if (count <= m_times)
            return true;
        const std::int32_t q = idiv(count, idiv(m_times, 2));
        return vbMod(j, q) == 0 || vbMod(add(j, 1), q) == 0;
    }

    // The tail of every drawing step begun at t0. The step is shown before
    // `sampled` decides on the frame hook, so a sampling period that cannot
    // be formed fails with the step already on screen. Unlike the other
    // effects, the Interval wait comes before the fixed pause, so a step
    // lasts Interval plus 10 ms.
    void stepTail(std::int32_t t0, const std::function<bool()>& sampled)
    {
        m_run.host().refresh(m_dest);
        if (sampled())
            m_movie.VCDCaiYang(0);
        m_run.doEvents();
        // The clock wraps; the difference of two readings is still the
        // elapsed time.
        const std::int32_t elapsed = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(m_run.tick()) - static_cast<std::uint32_t>(t0));
        if (elapsed < m_interval)
            m_run.pause(m_interval - elapsed);
        m_run.pause(kStepPause);
        m_run.doEvents();
    }

    clsMovie& m_movie;
    EffectRun m_run;
    Surface& m_scr;
    Surface& m_dest;
    std::int32_t m_times = 0;
    std::int32_t m_interval = 0;
    LineSet m_columns;
    LineSet m_rows;
};

} // namespace

void clsMovie::Effect_LineTransform(Surface& objScr, Surface&, Surface&, Surface& objDest)
{
    runGuarded([&] { LineTransform(*this, objScr, objDest).play(); });
}

} // namespace tarnwick

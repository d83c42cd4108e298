// ours
#include "transitionbench.h"

#include "benchalbum.h"
#include "benchsession.h"
#include "framemeter.h"
#include "frmmain.h"
#include "playersettings.h"
#include "session.h"

// Qt
#include <QCoreApplication>
#include <QWindow>

// std
#include <algorithm>
#include <vector>

namespace tarnwick::bench {

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
// A frame counts as late when it comes this much after its nominal period.
constexpr double kLateMs = 5;

// An effect as the engine paces it: Times frames, each at least its fixed
// pause long and, when it has an Interval, padded up to the Interval.
struct EffectCase {
    const char* name;
    int variants;
    const char* timesKey;
    const char* timesDefault;
    const char* intervalKey; // null: no Interval
    const char* intervalDefault;
    int fixedPause;
};

const EffectCase kCases[] = {
    {"Blend", 5, "BlendTimes(How many loop times to finish?)", "400", nullptr, nullptr, 50},
    {"Drag", 8, "DragTimes(How many loop times to finish?)", "800",
     "DragInterval(ms)(How many milliseconds would computer relax between two process)", "5", 10},
};

int settingInt(const char* section, const char* key, const char* def)
{
    return ReadPlayerSetting(QLatin1String(section), QLatin1String(key), QLatin1String(def)).toInt();
}

struct Nominal {
    int times = 0;
    int period = 0; // ms per frame
    int total() const { return times * period; }
};

Nominal nominalOf(const EffectCase& c)
{
    Nominal n;
    n.times = settingInt(c.name, c.timesKey, c.timesDefault);
    const int interval = c.intervalKey ? settingInt(c.name, c.intervalKey, c.intervalDefault) : 0;
    n.period = std::max(c.fixedPause, interval);
    return n;
}

// One transition's figures.
struct RunFigures {
    double totalMs = 0;
    int frames = 0;
    std::vector<double> refreshMs;   // whole repaint of a frame, flush included
    std::vector<double> displayMs;   // PM_0's paint in it
    std::vector<double> otherMs;     // other widgets' paint in it
    std::vector<double> intervalsMs; // from one frame's repaint to the next
};

RunFigures measure(FrameMeter& meter, TransitionRun& run)
{
    meter.start();
    const std::int64_t t0 = meter.now();
    run.run(ModeAlbumFolder);
    RunFigures f;
    f.totalMs = (meter.now() - t0) / 1000.0;
    meter.stop();
    std::int64_t previous = -1;
    for (const FrameMeter::Repaint& r : meter.repaints()) {
        if (!r.display)
            continue;
        ++f.frames;
        f.refreshMs.push_back((r.end - r.start) / 1000.0);
        f.displayMs.push_back(r.displayPaint / 1000.0);
        f.otherMs.push_back(r.otherPaint / 1000.0);
        if (previous >= 0)
            f.intervalsMs.push_back((r.start - previous) / 1000.0);
        previous = r.start;
    }
    return f;
}

void append(std::vector<double>& to, const std::vector<double>& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

QString runText(const RunFigures& f, const Nominal& n)
{
    const long late = std::count_if(f.intervalsMs.begin(), f.intervalsMs.end(),
                                    [&](double ms) { return ms > n.period + kLateMs; });
    const double excess = f.totalMs - n.total();
    const Spread refresh = SpreadOf(f.refreshMs);
    return QStringLiteral("%1 ms vs nominal %2 ms (%3 x %4 ms): %5%6 ms (%7%), %8 frames, "
                          "%9 ms a frame over nominal of which refresh %10 ms; frame interval %11; "
                          "refresh %12 (PM_0 paint median %13 ms, other widgets %14 ms); late frames %15")
        .arg(f.totalMs, 0, 'f', 1).arg(n.total()).arg(n.times).arg(n.period)
        .arg(excess >= 0 ? QStringLiteral("+") : QString()).arg(excess, 0, 'f', 1)
        .arg(100.0 * excess / std::max(1, n.total()), 0, 'f', 1).arg(f.frames)
        .arg(excess / std::max(1, f.frames), 0, 'f', 2).arg(refresh.mean, 0, 'f', 2)
        .arg(SpreadText(SpreadOf(f.intervalsMs), "ms")).arg(SpreadText(refresh, "ms"))
        .arg(SpreadOf(f.displayMs).median, 0, 'f', 2).arg(SpreadOf(f.otherMs).median, 0, 'f', 2)
        .arg(late);
}

} // namespace

int RunTransitionBench(FrameMeter& meter, int repeats, PanelStates panelStates)
{
    std::vector<bool> panelOrder;
    switch (panelStates) {
    case PanelStates::ShownThenHidden: panelOrder = {true, false}; break;
    case PanelStates::HiddenThenShown: panelOrder = {false, true}; break;
    case PanelStates::Shown: panelOrder = {true}; break;
    case PanelStates::Hidden: panelOrder = {false}; break;
    }
    LoadEmptyAlbum(kWidth, kHeight);
    frmMain window;
    window.resize(kWidth, kHeight);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    RunEventsFor(300);

    TransitionRun& run = window.core().run();
    const QWidget* display = window.findChild<QWidget*>(QStringLiteral("PM_0"));
    QWidget* panel = window.findChild<QWidget*>(QStringLiteral("fra_0"));
    Report(QStringLiteral("transition.display"),
           QStringLiteral("window %1x%2, PM_0 %3x%4, surface %5x%6")
               .arg(window.width()).arg(window.height()).arg(display ? display->width() : 0)
               .arg(display ? display->height() : 0).arg(run.PM(0).width()).arg(run.PM(0).height()));
    bool ok = run.PM(0).width() == kWidth && run.PM(0).height() == kHeight && panel;

    const QSize size(kWidth, kHeight);
    const QImage pictures[2] = {DetailedPicture(size, 11, PhotoCodeColour(1)),
                                DetailedPicture(size, 12, PhotoCodeColour(2))};
    run.BackgroundPicture = DetailedPicture(size, 13, CodeColour(ShownPicture::Background));
    run.M().BackgroundPicture = run.BackgroundPicture;
    run.NowPicture = pictures[0];
    int shown = 0;

    for (const bool panelShown : panelOrder) {
        if (panel)
            panel->setVisible(panelShown);
        RunEventsFor(100);
        const QString panelName = panelShown ? QStringLiteral("panel_shown") : QStringLiteral("panel_hidden");
        for (const EffectCase& c : kCases) {
            WritePlayerSetting(QStringLiteral("Effect"), QStringLiteral("Effect_1"), QLatin1String(c.name));
            const Nominal nominal = nominalOf(c);
            RunFigures all;
            for (int variant = 0; variant < c.variants; ++variant) {
                run.M().setForcedVariant(variant);
                for (int r = 0; r < repeats; ++r) {
                    shown = 1 - shown;
                    run.NewPicture = pictures[shown];
                    const RunFigures f = measure(meter, run);
                    ok = ok && f.frames == nominal.times && run.lastEffectName() == QLatin1String(c.name);
                    Report(QStringLiteral("transition.%1.%2.variant%3").arg(QLatin1String(c.name), panelName).arg(variant),
                           runText(f, nominal));
                    all.totalMs += f.totalMs / (c.variants * repeats);
                    all.frames += f.frames;
                    append(all.refreshMs, f.refreshMs);
                    append(all.displayMs, f.displayMs);
                    append(all.otherMs, f.otherMs);
                    append(all.intervalsMs, f.intervalsMs);
                    RunEventsFor(50);
                }
            }
            all.frames /= c.variants * repeats;
            Report(QStringLiteral("transition.%1.%2.all").arg(QLatin1String(c.name), panelName),
                   QStringLiteral("mean ") + runText(all, nominal));
        }
    }
    run.M().setForcedVariant(-1);
    return ok ? 0 : 1;
}

} // namespace tarnwick::bench

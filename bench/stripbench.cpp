// ours
#include "stripbench.h"

#include "benchsession.h"
#include "framemeter.h"
#include "frmmain.h"
#include "musicsupervisor.h"
#include "nullstateview.h"
#include "playercore.h"
#include "playersettings.h"
#include "session.h"
#include "virtualhost.h"

// Qt
#include <QCoreApplication>
#include <QWindow>

// std
#include <functional>
#include <vector>

namespace tarnwick::bench {

namespace {

// A player view that shows nothing: what remains is the core's own work
// (reading and scaling the thumbnails, the strip model).
using SilentView = tarnwick::testing::NullPlayerView;

// Loaded, with everything that would run by itself stopped and Auto Play
// off, so only the switches we make do anything.
void quieten(PlayerCore& core)
{
    core.tmrAlbumCover.stop();
    core.tmrPhotoIndexChange.stop();
    core.music().tmrSound().stop();
    core.setAutoPlay(false);
}

int expectedEntries(int listIndex)
{
    return gAlbum->Categories().Item(listIndex + 1).PhotoCount();
}

// Times `switches` category switches; the first is reported apart (it
// makes the entries, later builds reuse them). `after` runs after each
// switch and its time counts in.
bool timeSwitches(FrameMeter& meter, PlayerCore& core, int switches, const QString& name,
                  const std::function<void()>& after)
{
    std::vector<double> later;
    bool full = true;
    for (int i = 0; i < switches; ++i) {
        const int list = i % 2;
        const std::int64_t t0 = meter.now();
        core.cboCategoryClick(list);
        after();
        const double ms = (meter.now() - t0) / 1000.0;
        full = full && core.strip().lastVisible() + 1 == expectedEntries(list);
        if (i == 0)
            Report(name + QStringLiteral(".first_build"),
                   QStringLiteral("%1 ms for %2 thumbnails").arg(ms, 0, 'f', 1).arg(expectedEntries(list)));
        else
            later.push_back(ms);
    }
    Report(name + QStringLiteral(".later_builds"), SpreadText(SpreadOf(later), "ms"));
    return full;
}

} // namespace

int RunStripBench(FrameMeter& meter, int switches)
{
    if (!gAlbum || gAlbum->CategoryCount() < 2)
        return 1;
    SilentView view;
    VirtualHost host;
    host.setSettingReader(ReadPlayerSetting);
    PlayerCore core(view, host, ReadPlayerSetting);
    core.Load();
    quieten(core);
    bool full = timeSwitches(meter, core, switches, QStringLiteral("strip.core"), [] {});

    frmMain window;
    window.Load();
    quieten(window.core());
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    RunEventsFor(200);
    meter.start();
    // The switch and the paints it leaves pending: the strip is on screen.
    full = timeSwitches(meter, window.core(), switches, QStringLiteral("strip.window"),
                        [] { QCoreApplication::processEvents(); })
        && full;
    meter.stop();
    std::vector<double> repaints;
    for (const FrameMeter::Repaint& r : meter.repaints())
        repaints.push_back((r.end - r.start) / 1000.0);
    Report(QStringLiteral("strip.window.repaints"),
           QStringLiteral("%1 window repaints over %2 switches, each %3")
               .arg(repaints.size()).arg(switches).arg(SpreadText(SpreadOf(repaints), "ms")));
    return full ? 0 : 1;
}

} // namespace tarnwick::bench

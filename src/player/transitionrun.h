#pragma once
// The one road of every picture change of the player window: the four
// picture surfaces, the picture on show (NowPicture), the one to bring on
// (NewPicture) and the album background, and the run that animates the
// change through the effects engine with an effect drawn by weighted
// chance from the player settings.
//
// Window thread only. The engine lets window events run between frames, so
// anything may be called while a run is drawing: a second run returns at
// once, and a close asked for meanwhile is only recorded (mClosePending)
// and carried out by the caller when the run is over.

// ours
#include "clsmovie.h"
#include "effectchoice.h"
#include "surface.h"

// Qt
#include <QImage>
#include <QString>

// std
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace tarnwick {

class Host;

class TransitionRun {
public:
    // `host` must outlive the run; the engine is made on first use.
    TransitionRun(Host& host, SettingReader readSetting);
    ~TransitionRun();

    // PM(0) is the display, PM(1)..PM(3) the engine's work surfaces.
    Surface& PM(int index) { return m_surfaces.at(static_cast<std::size_t>(index)); }
    const Surface& PM(int index) const { return m_surfaces.at(static_cast<std::size_t>(index)); }
    clsMovie& M();

    QImage NowPicture;
    QImage NewPicture;
    QImage BackgroundPicture;
    bool mEffectRunning = false;
    bool mClosePending = false;
    // The export's "Static Picture": while exporting (`startMode` 2), every
    // run changes the picture without animation and only the still follows.
    bool needNotMovie = false;

    // The display changed size: the work surfaces follow it, the display
    // shows NowPicture at the new size, and the background is scaled again from its
    // previous scaling.
    void resizeDisplay(int width, int height);

    // Makes `picture` the display's picture, fitted to the display's size.
    void showPicture(const QImage& picture);

    // Brings NewPicture onto the display with an effect and makes it
    // NowPicture. The slideshow timers `pauseTimers` names are switched
    // off for the run and back on by `restoreTimers`. In the export
    // (`startMode` 2) the still frames follow the change. Returns true when a close was asked for during the run
    // and the caller must carry it out now (modes 1, 3 and 4).
    bool run(int startMode);

    // Timer hooks of the window (the slideshow and export timers).
    std::function<void()> pauseTimers;
    std::function<void()> restoreTimers;

    // The export's still time in seconds: "StopTime" as a 16-bit whole
    // number, nothing when it is not one (the still is then skipped).
    static std::optional<std::int16_t> StillSeconds(const SettingReader& readSetting, const QString& def);

    // Runs carried through since the run object was made (the export
    // counts its pictures by them).
    int completedRuns() const { return m_completedRuns; }

    // The name of the effect the last run drew (tests, tools).
    const QString& lastEffectName() const { return m_lastEffect; }

private:
    QString prepare();

    Host& m_host;
    SettingReader m_readSetting;
    std::unique_ptr<clsMovie> m_movie;
    std::array<Surface, 4> m_surfaces;
    QString m_lastEffect;
    bool m_preparing = false;
    bool m_running = false;
    int m_completedRuns = 0;
};

} // namespace tarnwick

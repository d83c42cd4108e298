#pragma once
// Running the player window as a screen saver: StartScreenSaver covers the
// whole desktop with it (or puts it into the preview window of a saver's
// settings), hides the pointer and keeps the desktop's own saver from
// starting; StopScreenSaver, asked by the window as it closes in a
// full-screen run, checks the saver password and puts everything back.
// What this needs of the desktop goes through SaverPlatform, so that the
// sequences can be driven without one. Window thread only.

// Qt
#include <QRect>

// std
#include <cstdint>
#include <optional>

namespace tarnwick {

class SaverPlatform {
public:
    virtual ~SaverPlatform() = default;
    // The whole virtual desktop: every monitor as one rectangle.
    virtual QRect desktopRect() = 0;
    // The client rectangle of the preview window `host`; empty when there
    // is no such window.
    virtual QRect hostRect(std::int32_t host) = 0;
    // Shows the player window over `rect`, above every other window, with
    // the keyboard.
    virtual void coverDesktop(const QRect& rect) = 0;
    // Makes the player window a borderless child of `host` at `rect`.
    virtual void embedInto(std::int32_t host, const QRect& rect) = 0;
    // One more show (true) or hide (false) of the pointer over the player;
    // it is hidden while the hides outnumber the shows.
    virtual void showCursor(bool show) = 0;
    // Keeps the desktop's own saver and blanking off (true) or lets them be
    // again (false).
    virtual void inhibitDesktopSaver(bool inhibit) = 0;
    // The saver password check: true accepted (or none set), false refused,
    // nothing when there is no such check (as on Linux).
    virtual std::optional<bool> verifyPassword() = 0;
};

class ScreenSaverControl {
public:
    // `platform` is not owned and must outlive the control.
    explicit ScreenSaverControl(SaverPlatform& platform) : m_platform(platform) {}

    // Full screen without `previewWindow`, else inside that window.
    void StartScreenSaver(std::optional<std::int32_t> previewWindow);
    // True when the run has ended (pointer and desktop saver given back);
    // false when the player must keep running: a refused password (the
    // pointer hidden again), or a desktop whose size changed since the
    // start, which the saver then covers anew so that the next try ends it.
    bool StopScreenSaver();

    // The desktop's (or preview window's) rectangle saved at the start.
    QRect gSaverRect;

private:
    SaverPlatform& m_platform;
};

} // namespace tarnwick

#pragma once
// The screen saver on an X11 desktop: the player window covers the virtual
// desktop as an override-redirect window that holds the keyboard, the
// pointer is blanked over it, the desktop's own saver is held off through
// org.freedesktop.ScreenSaver on the session bus (or `xdg-screensaver
// suspend` where that is missing), and in a preview the window is embedded
// into the given X window and follows its size. There is no saver password
// of ours: the check reports that it cannot be made. Window thread only.

// ours
#include "screensaver.h"

// Qt
#include <QTimer>

// std
#include <functional>

struct xcb_connection_t;

namespace tarnwick {

class frmMain;

class DesktopSaverPlatform : public SaverPlatform {
public:
    // `window` is not owned and must outlive the platform.
    explicit DesktopSaverPlatform(frmMain& window);
    ~DesktopSaverPlatform() override;

    QRect desktopRect() override;
    QRect hostRect(std::int32_t host) override;
    void coverDesktop(const QRect& rect) override;
    void embedInto(std::int32_t host, const QRect& rect) override;
    void showCursor(bool show) override;
    void inhibitDesktopSaver(bool inhibit) override;
    std::optional<bool> verifyPassword() override { return std::nullopt; }

    // Called once when the window it is embedded into goes away.
    std::function<void()> hostGone;

private:
    void followHost();

    frmMain& m_window;
    xcb_connection_t* m_connection = nullptr;
    std::int32_t m_host = 0;
    QTimer m_hostPoll;
    int m_cursorShown = 0; // shows minus hides
    unsigned m_cookie = 0;
    bool m_inhibited = false;
    bool m_suspendedByTool = false;
};

} // namespace tarnwick

#pragma once
// Helpers for tests that run the real player on the X server named by
// DISPLAY: give a test an X server of its own, start the player, find its
// windows with xdotool, click into them, and read their pixels (a whole
// screenshot with ImageMagick, or a few pixels straight from the server,
// fast enough to see every frame of a transition).

// Qt
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

// std
#include <optional>

struct xcb_connection_t;

namespace tarnwick::test {

// Why the real-window tests cannot run here, or empty when they can.
QString x11Unavailable();

// The player started with `commandLine` as its single argument, on the X
// display, with `programFolder` as its program folder.
struct PlayerProcess {
    PlayerProcess(const QString& commandLine, const QString& programFolder);
    ~PlayerProcess();
    QProcess process;
};

// Output lines of a command; empty when it fails.
QStringList run(const QString& program, const QStringList& args, int timeoutMs = 10000);

// Ids of the mapped windows whose title matches the regular expression,
// polled until some appear or `timeoutMs` passes.
QStringList waitForWindows(const QString& titleRegex, int timeoutMs);

// An X server of the test's own (Xvfb), named by DISPLAY while the object
// lives, so that the windows of tests running side by side neither cover
// each other nor share the pointer. Where Xvfb is missing or does not come
// up, the test stays on the DISPLAY it was given. One at a time per test
// process, on the test's thread.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

private:
    QProcess m_server;
    QByteArray m_given;
    bool m_own = false;
};

// Reads pixels of one window straight from the X server on DISPLAY, in
// window coordinates. Each read is one round trip, so a test can sample a
// point every few milliseconds.
class WindowPixels {
public:
    explicit WindowPixels(const QString& windowId);
    ~WindowPixels();
    WindowPixels(const WindowPixels&) = delete;
    WindowPixels& operator=(const WindowPixels&) = delete;

    // The pixels of `area`; a null image once the window is unmapped or
    // gone (or when `area` leaves it).
    QImage grab(const QRect& area) const;
    // One pixel as 0xRRGGBB, or nothing once the window is unmapped or gone.
    std::optional<unsigned> pixel(QPoint at) const;

private:
    xcb_connection_t* m_connection = nullptr;
    unsigned m_window = 0;
};

// Moves the pointer to `at` inside the window; with `button` (1 left,
// 3 right) it then clicks there. Returns when xdotool has sent the events.
void pointAt(const QString& windowId, QPoint at, int button = 0);

// Asks the window to close as a window manager's close box does
// (WM_DELETE_WINDOW).
void askToClose(const QString& windowId);

} // namespace tarnwick::test

// ours
#include "desktopsaver.h"

#include "frmmain.h"

// Qt
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QWindow>

// xcb
#include <xcb/xcb.h>

// std
#include <cstdlib>

namespace tarnwick {

namespace {

// How often a host window is asked for its size: it does not tell.
constexpr int kHostPollMs = 250;

QString windowIdText(const QWidget& w) { return QString::number(static_cast<qulonglong>(w.winId())); }

} // namespace

DesktopSaverPlatform::DesktopSaverPlatform(frmMain& window)
    : m_window(window), m_connection(xcb_connect(nullptr, nullptr))
{
    m_hostPoll.setInterval(kHostPollMs);
    QObject::connect(&m_hostPoll, &QTimer::timeout, [this] { followHost(); });
}

DesktopSaverPlatform::~DesktopSaverPlatform()
{
    // A run that ended without its stop (a signal) still gives the desktop
    // its saver back.
    if (m_inhibited)
        inhibitDesktopSaver(false);
    xcb_disconnect(m_connection);
}

QRect DesktopSaverPlatform::desktopRect()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->virtualGeometry() : QRect();
}

QRect DesktopSaverPlatform::hostRect(std::int32_t host)
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return QRect();
    // Qt sees a foreign window as 0 x 0; the X server knows its size.
    xcb_get_geometry_reply_t* g =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, static_cast<xcb_drawable_t>(host)), nullptr);
    if (!g)
        return QRect();
    const QRect r(0, 0, g->width, g->height);
    std::free(g);
    return r;
}

void DesktopSaverPlatform::coverDesktop(const QRect& rect)
{
    m_window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                            | Qt::X11BypassWindowManagerHint);
    m_window.setGeometry(rect);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
    // Above every window and without a window manager's focus: the keys
    // come by the grab.
    m_window.grabKeyboard();
}

void DesktopSaverPlatform::embedInto(std::int32_t host, const QRect& rect)
{
    m_host = host;
    m_window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    m_window.winId();
    if (QWindow* foreign = QWindow::fromWinId(static_cast<WId>(static_cast<std::uint32_t>(host))))
        m_window.windowHandle()->setParent(foreign);
    m_window.setGeometry(rect);
    m_hostPoll.start();
}

void DesktopSaverPlatform::followHost()
{
    const QRect r = hostRect(m_host);
    if (r.isEmpty()) {
        m_hostPoll.stop();
        if (hostGone)
            hostGone();
        return;
    }
    if (r.size() != m_window.size())
        m_window.setGeometry(QRect(QPoint(0, 0), r.size()));
}

void DesktopSaverPlatform::showCursor(bool show)
{
    m_cursorShown += show ? 1 : -1;
    if (m_cursorShown < 0)
        m_window.setCursor(Qt::BlankCursor);
    else
        m_window.unsetCursor();
}

void DesktopSaverPlatform::inhibitDesktopSaver(bool inhibit)
{
    if (inhibit == m_inhibited)
        return;
    m_inhibited = inhibit;
    QDBusInterface saver(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
                         QStringLiteral("org.freedesktop.ScreenSaver"), QDBusConnection::sessionBus());
    if (inhibit) {
        if (saver.isValid()) {
            const QDBusReply<unsigned> cookie = saver.call(QStringLiteral("Inhibit"), QStringLiteral("tarnwick-player"),
                                                           QStringLiteral("Showing a photo album as the screen saver"));
            if (cookie.isValid()) {
                m_cookie = cookie.value();
                return;
            }
        }
        m_suspendedByTool =
            QProcess::startDetached(QStringLiteral("xdg-screensaver"), {QStringLiteral("suspend"), windowIdText(m_window)});
        return;
    }
    if (m_suspendedByTool)
        QProcess::startDetached(QStringLiteral("xdg-screensaver"), {QStringLiteral("resume"), windowIdText(m_window)});
    else if (saver.isValid())
        saver.call(QStringLiteral("UnInhibit"), m_cookie);
    m_suspendedByTool = false;
}

} // namespace tarnwick

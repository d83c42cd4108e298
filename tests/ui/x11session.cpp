#include "x11session.h"

// Qt
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

// xcb
#include <xcb/xcb.h>

// std
#include <cstdlib>
#include <cstring>

namespace tarnwick::test {

QString x11Unavailable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("no X server: DISPLAY is not set (scripts/test starts Xvfb)");
    for (const char* tool : {"xdotool", "import"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    return {};
}

PlayerProcess::PlayerProcess(const QString& commandLine, const QString& programFolder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("TARNWICK_PROGRAM_FOLDER"), programFolder);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARNWICK_BIN_DIR "/tarnwick-player"), {commandLine});
    process.waitForStarted();
}

PlayerProcess::~PlayerProcess()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
}

QStringList run(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList waitForWindows(const QString& titleRegex, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    do {
        const QStringList ids =
            run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                            QStringLiteral("--name"), titleRegex});
        if (!ids.isEmpty())
            return ids;
        QThread::msleep(100);
    } while (clock.elapsed() < timeoutMs);
    return {};
}

PrivateDisplay::PrivateDisplay() : m_given(qgetenv("DISPLAY"))
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        return;
    // -displayfd: the server picks a free display itself and writes its
    // number once it accepts clients, so there is no race for a number.
    // Its messages go nowhere: an unread pipe could fill and stall it.
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                            QStringLiteral("-screen"), QStringLiteral("0"),
                                            QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                            QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && m_server.waitForReadyRead(15000))
        number += m_server.readAllStandardOutput();
    bool ok = false;
    const int display = number.trimmed().toInt(&ok);
    if (!ok) {
        m_server.kill();
        m_server.waitForFinished(5000);
        return;
    }
    qputenv("DISPLAY", ":" + QByteArray::number(display));
    m_own = true;
}

PrivateDisplay::~PrivateDisplay()
{
    if (!m_own)
        return;
    qputenv("DISPLAY", m_given);
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
    m_server.waitForFinished(2000);
}

WindowPixels::WindowPixels(const QString& windowId)
    : m_connection(xcb_connect(nullptr, nullptr)), m_window(windowId.toUInt())
{
}

WindowPixels::~WindowPixels()
{
    xcb_disconnect(m_connection);
}

QImage WindowPixels::grab(const QRect& area) const
{
    if (xcb_connection_has_error(m_connection) || area.isEmpty())
        return {};
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, static_cast<int16_t>(area.x()),
                      static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), ~0u),
        nullptr);
    if (!reply)
        return {};
    QImage image;
    // A 24-bit window comes as 32 bits a pixel, blue first, rows unpadded.
    const qsizetype bytes = qsizetype(area.width()) * area.height() * 4;
    if (xcb_get_image_data_length(reply) == bytes) {
        image = QImage(area.size(), QImage::Format_RGB32);
        std::memcpy(image.bits(), xcb_get_image_data(reply), static_cast<std::size_t>(bytes));
    }
    std::free(reply);
    return image;
}

std::optional<unsigned> WindowPixels::pixel(QPoint at) const
{
    const QImage one = grab(QRect(at, QSize(1, 1)));
    if (one.isNull())
        return std::nullopt;
    return one.pixel(0, 0) & 0xFFFFFFu;
}

void pointAt(const QString& windowId, QPoint at, int button)
{
    QStringList args = {QStringLiteral("mousemove"), QStringLiteral("--window"), windowId, QString::number(at.x()),
                        QString::number(at.y())};
    if (button > 0)
        args << QStringLiteral("click") << QString::number(button);
    QProcess::execute(QStringLiteral("xdotool"), args);
}

void askToClose(const QString& windowId)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : XCB_ATOM_NONE;
        std::free(reply);
        return a;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = windowId.toUInt();
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    xcb_disconnect(c);
}

} // namespace tarnwick::test

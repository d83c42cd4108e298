#pragma once
// What the real-window tests share: a private X server, the player on it, xdotool, pixels through xcb.

#include <QtGui>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "testfiles.h"

namespace tarnwick::test {

using tarnwick::testing::probedFrames;
using tarnwick::testing::writeBytes;

// Output lines of a command; empty when it fails.
inline QStringList run(const QString& program, const QStringList& args, int timeoutMs = 10000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// Polls `done` every `stepMs` until it holds or `timeoutMs` passes (a guard against a hung player).
inline bool eventually(const std::function<bool()>& done, int timeoutMs = 15000, int stepMs = 20)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(stepMs);
    }
    return true;
}

// Ids of the mapped windows whose title matches `titleRegex`, once some appear.
inline QStringList waitForWindows(const QString& titleRegex, int timeoutMs)
{
    QStringList ids;
    eventually([&] { return !(ids = run("xdotool", {"search", "--onlyvisible", "--name", titleRegex})).isEmpty(); },
               timeoutMs, 100);
    return ids;
}

// Moves the pointer into the window at `at` and, with `button` (1 left, 3 right), clicks there.
inline void pointAt(const QString& window, QPoint at, int button = 0)
{
    QStringList args{"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y())};
    run("xdotool", button ? args << "click" << QString::number(button) : args);
}

// Asks the window to close as a window manager's close box does (WM_DELETE_WINDOW).
inline void askToClose(const QString& window)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const auto atom = [c](const char* name) {
        auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window.toUInt();
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    xcb_send_event(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    xcb_disconnect(c);
}

// A window's place in its parent and its size, as xwininfo gives them.
inline QRect geometryOf(const QString& window)
{
    QMap<QString, int> v;
    for (const QString& line : run("xwininfo", {"-id", window}))
        v[line.section(':', 0, 0).trimmed()] = line.section(':', 1).trimmed().toInt();
    return {v["Relative upper-left X"], v["Relative upper-left Y"], v["Width"], v["Height"]};
}

// Ends a process started by the test: asked first, killed after five seconds.
inline void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(2000);
}

// The player started with `commandLine` on DISPLAY, with `programFolder` as its program folder.
struct PlayerProcess {
    PlayerProcess(const QString& commandLine, const QString& programFolder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("TARNWICK_PROGRAM_FOLDER", programFolder);
        process.setProcessEnvironment(env);
        process.start(TARNWICK_BIN_DIR "/tarnwick-player", {commandLine});
        process.waitForStarted();
    }
    ~PlayerProcess() { stop(process); }
    bool endsWith(int code, int ms = 20000)
    {
        return process.waitForFinished(ms) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == code;
    }
    QProcess process;
};

// A window's pixels straight from the X server, fast enough to sample a point every few milliseconds.
class WindowPixels {
public:
    explicit WindowPixels(const QString& window) : m_c(xcb_connect(nullptr, nullptr)), m_window(window.toUInt()) {}
    ~WindowPixels() { xcb_disconnect(m_c); }
    WindowPixels(const WindowPixels&) = delete;
    QImage grab(const QRect& area) const
    {
        if (xcb_connection_has_error(m_c) || area.isEmpty())
            return {};
        auto* reply = xcb_get_image_reply(
            m_c, xcb_get_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, int16_t(area.x()), int16_t(area.y()),
                               uint16_t(area.width()), uint16_t(area.height()), ~0u), nullptr);
        QImage image;
        const qsizetype bytes = qsizetype(area.width()) * area.height() * 4; // blue first, rows unpadded
        if (reply && xcb_get_image_data_length(reply) == bytes) {
            image = QImage(area.size(), QImage::Format_RGB32);
            std::memcpy(image.bits(), xcb_get_image_data(reply), size_t(bytes));
        }
        std::free(reply);
        return image;
    }
    // The area once it has looked the same for `stillMs`: a window just mapped may not have painted yet.
    QImage settled(const QRect& area, int stillMs = 500) const
    {
        QImage last = grab(area);
        QElapsedTimer still;
        still.start();
        eventually([&] {
            QImage now = grab(area);
            if (now != last || now.isNull())
                still.restart();
            last = std::move(now);
            return still.elapsed() >= stillMs;
        }, 10000, 50);
        return last;
    }
    std::optional<unsigned> pixel(QPoint at) const
    {
        const QImage one = grab(QRect(at, QSize(1, 1)));
        return one.isNull() ? std::nullopt : std::optional<unsigned>(one.pixel(0, 0) & 0xFFFFFFu);
    }

private:
    xcb_connection_t* m_c;
    unsigned m_window;
};

// Picture colours whose blends stay at least 85 from each third one: a tolerance of 40 sees no blend as a picture.
struct Picture { const char* name; QRgb colour; const char* file; };
inline constexpr Picture kPictures[] = {
    {"background", 0x00FF00, "BackgroundPicture"}, {"front cover", 0x00FFFF, "front"},
    {"back cover", 0x008000, "back"},              {"Beach front cover", 0xFFFF00, "beach_front"},
    {"Beach 1", 0x0080FF, "beach1"},               {"Beach 2", 0x8000FF, "beach2"},
    {"Harbour 1", 0xFF0000, "harbour1"},           {"Harbour back cover", 0xFF80FF, "harbour_back"},
};
inline const QString kInBetween = "~";

// "Harbour Lights" (Beach: front cover, 2 photos; Harbour: 1 photo, back cover) and quick settings, music off.
struct ColourAlbum {
    ColourAlbum(const QString& root, const char* stopTime, int blendTimes) : root(root)
    {
        QStringList files;
        ok = QDir().mkpath(root + "/Album/ResultPicture") && QDir().mkpath(root + "/Album/MainAlbum");
        for (const Picture& p : kPictures) {
            QImage image(80, 60, QImage::Format_RGB32);
            image.fill(p.colour);
            files << QString("%1.png|%1_t.png").arg(p.file);
            ok = (files.size() == 1 ? image.save(root + "/Album/ResultPicture/BackgroundPicture.jpg", nullptr, 100)
                                    : image.save(root + "/Album/ResultPicture/" + p.file + ".png") &&
                                          image.save(root + "/Album/MainAlbum/" + p.file + "_t.png")) && ok;
        }
        const QString info = QString("[Album]\nTitle=Harbour Lights\nPictureWidth=800\nPictureHeight=600\n"
                                     "FrontCover=%1\nBackCover=%2\nCategories=2\n[Category1]\nName=Beach\n"
                                     "FrontCover=%3\nPhotos=2\nPhoto1=%4\nPhoto2=%5\n[Category2]\nName=Harbour\n"
                                     "BackCover=%7\nPhotos=1\nPhoto1=%6")
                                 .arg(files[1], files[2], files[3], files[4], files[5], files[6], files[7]);
        ok = writeBytes(root + "/Album/Album.ini", QString(info).replace("\n", "\r\n").toUtf8()) &&
             writeBytes(programFolder() + "/playerprofile.ini",
                       QString("[Effect]\r\nEffectNumber=1\r\nEffect_1=Blend\r\nPercent_1=100\r\nStopTime=%1\r\n"
                               "[Blend]\r\nBlendTimes(How many loop times to finish?)=%2\r\n")
                           .arg(stopTime).arg(blendTimes).toUtf8()) &&
             writeBytes(programFolder() + "/profile.ini", "[Current]\r\nMusicOpen=0\r\n") && ok;
    }
    QString commandLine() const { return "/1*" + root + "/Album/Album.ini"; }
    QString programFolder() const { return root + "/program"; }

    // The picture whose colour `rgb` is, or kInBetween.
    static QString nameOf(QRgb rgb)
    {
        for (const Picture& p : kPictures)
            if (std::max({std::abs(qRed(rgb) - qRed(p.colour)), std::abs(qGreen(rgb) - qGreen(p.colour)),
                          std::abs(qBlue(rgb) - qBlue(p.colour))}) <= 40)
                return p.name;
        return kInBetween;
    }
    // The share of the pixels of `area` that show picture `name`.
    static double shareOf(const QImage& area, const QString& name)
    {
        qsizetype same = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                same += nameOf(area.pixel(x, y)) == name;
        return area.isNull() ? 0 : double(same) / (qsizetype(area.width()) * area.height());
    }
    QString root;
    bool ok = true;
};

// The pictures one point shows over time, kInBetween for other colours; sampled often enough to see a 50 ms frame.
class DisplayTrace {
public:
    DisplayTrace(const WindowPixels& window, QPoint at) : m_window(window), m_at(at) { sample(); }
    // Samples until `done` holds, the window goes or `timeoutMs` passes; whether `done` held.
    bool until(const std::function<bool(const DisplayTrace&)>& done, int timeoutMs = 30000)
    {
        return eventually([&] { return done(*this) || (sample(), m_gone); }, timeoutMs, 3) && done(*this);
    }
    // Samples until a picture that `wanted` takes has shown `forMs` on end; that picture, or empty.
    QString steady(const std::function<bool(const QString&)>& wanted, int forMs, int timeoutMs = 20000)
    {
        const auto stood = [&](const DisplayTrace& t) {
            return !t.m_names.isEmpty() && wanted(t.m_names.last()) && t.m_since.elapsed() >= forMs;
        };
        return until(stood, timeoutMs) ? m_names.last() : QString();
    }
    const QStringList& names() const { return m_names; }
    bool saw(const QString& name) const { return m_names.contains(name); }
    bool windowGone() const { return m_gone; }

private:
    void sample()
    {
        const std::optional<unsigned> rgb = m_window.pixel(m_at);
        const QString name = rgb ? ColourAlbum::nameOf(*rgb) : QString();
        m_gone = !rgb;
        if (rgb && (m_names.isEmpty() || m_names.last() != name)) {
            m_names << name;
            m_since.start();
        }
    }
    const WindowPixels& m_window;
    QPoint m_at;
    QStringList m_names;
    QElapsedTimer m_since; // since the last name came
    bool m_gone = false;
};

inline std::string joined(const QStringList& names) { return names.join(" > ").toStdString(); }

// Every real-window test: on an Xvfb of its own (tests side by side share no windows or pointer), skipped without X.
class X11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "no X server: DISPLAY is not set (scripts/test starts Xvfb)";
        for (const char* tool : {"xdotool", "xwininfo", "Xvfb"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        server.setStandardErrorFile(QProcess::nullDevice());
        server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        QByteArray number;
        while (!number.contains('\n') && server.waitForReadyRead(15000))
            number += server.readAllStandardOutput();
        bool ok = false;
        number.trimmed().toInt(&ok);
        ASSERT_TRUE(ok) << "Xvfb did not come up";
        qputenv("DISPLAY", ":" + number.trimmed());
    }
    ~X11Test() override
    {
        player.reset();
        qputenv("DISPLAY", given);
        stop(server);
    }
    // The player on the colour album, "/1" or, with `video`, "/2"; the ids of its windows titled `title`.
    QStringList play(const char* stopTime, int blendTimes, const QString& title, const QString& video = {})
    {
        album.emplace(root.path(), stopTime, blendTimes);
        const QString line = album->commandLine();
        player.emplace(video.isEmpty() ? line : "/2" + line.mid(2) + '*' + root.filePath(video), album->programFolder());
        return album->ok ? waitForWindows(title, 20000) : QStringList();
    }
    const QByteArray given = qgetenv("DISPLAY");
    QProcess server;
    QTemporaryDir root;
    std::optional<ColourAlbum> album;
    std::optional<PlayerProcess> player;
};

} // namespace tarnwick::test

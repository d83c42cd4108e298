#pragma once
// Helpers for tests that run the real player on the X server named by
// DISPLAY: start it, find its windows with xdotool, read pixels of a
// window's screenshot with ImageMagick.

// Qt
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

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

// A screenshot of a window.
QImage screenshot(const QString& windowId);

} // namespace tarnwick::test

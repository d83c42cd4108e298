#pragma once
// What the about box asks of the desktop: open a link with the default
// handler, start a program, show a message, find a program on PATH. The
// program-wide set starts with the real actions; tests replace members to
// watch the calls instead of starting browsers and tools. Window thread only.

// Qt
#include <QString>
#include <QUrl>

// std
#include <functional>

class QWidget;

namespace tarnwick {

struct DesktopActions {
    // Opens `url` with the desktop's default handler (browser, mail
    // program); the result is not used.
    std::function<bool(const QUrl& url)> openUrl;
    // Starts `program` (a full path) on its own, without arguments; false
    // when it could not be started.
    std::function<bool(const QString& program)> startProgram;
    // Shows `text` with an OK button only, over `parent` (may be null), and
    // returns when the user has closed it.
    std::function<void(QWidget* parent, const QString& text)> showMessage;
    // The full path of the program `name` found on PATH, or "".
    std::function<QString(const QString& name)> findExecutable;
};

// The real actions: QDesktopServices::openUrl, QProcess::startDetached, a
// QMessageBox titled with the application's name, QStandardPaths.
DesktopActions RealDesktopActions();

// The set every caller goes through; tests may assign to it and put the
// old set back afterwards.
DesktopActions& Desktop();

} // namespace tarnwick

#pragma once
// Ends the program the way its windows' close buttons do when the session
// asks it to (SIGTERM at logout, SIGHUP, Ctrl+C's SIGINT): the player's
// close sequence then runs, so a packed album's unpacked files are removed
// and the settings are left whole. The signal only writes a byte to a pipe;
// the window thread does the closing. One per process, made after the
// application object, on the window thread.

// Qt
#include <QObject>

// std
#include <functional>

class QSocketNotifier;

namespace tarnwick {

class SignalCloser : public QObject {
    Q_OBJECT
public:
    explicit SignalCloser(QObject* parent = nullptr);
    ~SignalCloser() override;

    // What a signal does instead of closing the windows (a run without
    // windows ends its own way); unset, the windows close.
    std::function<void()> onSignal;

private:
    void closeWindows();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tarnwick

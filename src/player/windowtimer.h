#pragma once
// A timer of the player window as the window's timers behave: it is enabled
// or not, and it fires every `interval` milliseconds only while it is
// enabled with an interval above 0. An interval of 0 (a "StopTime" that is
// not a number) leaves an enabled timer silent, so the show stands still
// instead of firing without pause, and a later interval brings it back.
// Window thread only.

// Qt
#include <QObject>
#include <QTimer>

namespace tarnwick {

class WindowTimer : public QObject {
    Q_OBJECT
public:
    explicit WindowTimer(QObject* parent = nullptr);

    // Enables the timer; it counts its interval afresh.
    void start();
    void stop();
    // Enabled, whether or not its interval lets it fire.
    bool isActive() const { return m_enabled; }
    // A negative interval counts as 0. An enabled timer counts the new
    // interval from now.
    void setInterval(int ms);
    int interval() const { return m_timer.interval(); }

signals:
    void timeout();

private:
    void apply();

    QTimer m_timer;
    bool m_enabled = false;
};

} // namespace tarnwick

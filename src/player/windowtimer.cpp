// ours
#include "windowtimer.h"

namespace tarnwick {

WindowTimer::WindowTimer(QObject* parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &WindowTimer::timeout);
}

void WindowTimer::start()
{
    m_enabled = true;
    apply();
}

void WindowTimer::stop()
{
    m_enabled = false;
    m_timer.stop();
}

void WindowTimer::setInterval(int ms)
{
    m_timer.setInterval(ms > 0 ? ms : 0);
    if (m_enabled)
        apply();
}

void WindowTimer::apply()
{
    if (m_timer.interval() > 0)
        m_timer.start();
    else
        m_timer.stop();
}

} // namespace tarnwick

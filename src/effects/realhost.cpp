#include "realhost.h"

// Qt
#include <QCoreApplication>
#include <QtGlobal>

// std
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <utility>

// POSIX, Linux
#include <sys/prctl.h>

namespace tarnwick {

RealHost::RealHost()
{
    m_clock.start();
    // The kernel may end a sleep up to the thread's timer slack late (50 us
    // by default); a microsecond keeps every frame's pause on time without
    // spinning through its last millisecond, which cost a saver that pauses
    // a hundred times a second a tenth of a core.
    ::prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
    m_heldTimer.setSingleShot(true);
    QObject::connect(&m_heldTimer, &QTimer::timeout, [this] { showHeldFrame(); });
}

void RealHost::setFrameInterval(std::int32_t ms)
{
    m_frameIntervalMs = std::max<std::int32_t>(0, ms);
    if (m_frameIntervalMs == 0)
        showHeldFrame();
}

void RealHost::showHeldFrame()
{
    m_heldTimer.stop();
    if (const Surface* held = std::exchange(m_held, nullptr)) {
        m_lastShownMs = m_clock.elapsed();
        m_onRefresh(*held);
    }
}

QString RealHost::readSetting(const QString& section, const QString& key, const QString& def)
{
    return m_reader ? m_reader(section, key, def) : def;
}

void RealHost::setPaced(bool paced)
{
    if (!paced && m_paced)
        m_countedMs = m_clock.elapsed();
    m_paced = paced;
}

std::int32_t RealHost::tickCount()
{
    if (!m_paced)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(m_countedMs));
    // Wraps like a classic tick count; the effects subtract two readings
    // in 32 bits, which stays right across the wrap.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(m_clock.elapsed()));
}

void RealHost::pause(std::int32_t ms)
{
    if (ms <= 0)
        return;
    if (!m_paced) {
        m_countedMs += ms;
        return;
    }
    // An absolute deadline on the monotonic clock (QElapsedTimer's own), so
    // a sleep woken early by a signal goes back to sleep for what is left.
    timespec deadline{};
    ::clock_gettime(CLOCK_MONOTONIC, &deadline);
    const std::int64_t end = std::int64_t(deadline.tv_nsec) + std::int64_t(ms) * 1'000'000;
    deadline.tv_sec += static_cast<time_t>(end / 1'000'000'000);
    deadline.tv_nsec = static_cast<long>(end % 1'000'000'000);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

void RealHost::doEvents()
{
    if (m_frameIntervalMs > 0) {
        const std::int64_t now = m_clock.elapsed();
        if (m_lastEventsMs >= 0 && now - m_lastEventsMs < m_frameIntervalMs)
            return;
        m_lastEventsMs = now;
    }
    QCoreApplication::processEvents();
}

void RealHost::refresh(const Surface& surface)
{
    if (!m_onRefresh)
        return;
    if (m_frameIntervalMs > 0) {
        const std::int64_t now = m_clock.elapsed();
        const std::int64_t due = m_lastShownMs + m_frameIntervalMs;
        if (m_lastShownMs >= 0 && now < due) {
            m_held = &surface;
            if (!m_heldTimer.isActive())
                m_heldTimer.start(static_cast<int>(due - now));
            return;
        }
        m_held = nullptr;
        m_heldTimer.stop();
        m_lastShownMs = now;
    }
    m_onRefresh(surface);
}

void RealHost::showFailure(const QString& description)
{
    if (m_onFailure)
        m_onFailure(description);
    else
        qWarning("Transition failed: %s", qPrintable(description));
}

} // namespace tarnwick

#include "realhost.h"

// Qt
#include <QCoreApplication>
#include <QtGlobal>

// std
#include <chrono>
#include <thread>

namespace tarnwick {

namespace {
// The part of a pause that is spun rather than slept: the kernel's sleep
// can overshoot by about this much.
constexpr std::int64_t kSpinNs = 1'000'000;
} // namespace

RealHost::RealHost() { m_clock.start(); }

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
    const std::int64_t end = m_clock.nsecsElapsed() + std::int64_t(ms) * 1'000'000;
    const std::int64_t sleepNs = end - m_clock.nsecsElapsed() - kSpinNs;
    if (sleepNs > 0)
        std::this_thread::sleep_for(std::chrono::nanoseconds(sleepNs));
    while (m_clock.nsecsElapsed() < end) {
        // Spin: the last millisecond is too short to trust to the scheduler.
    }
}

void RealHost::doEvents() { QCoreApplication::processEvents(); }

void RealHost::refresh(const Surface& surface)
{
    if (m_onRefresh)
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

#include "effectrun.h"

// ours
#include "clsmovie.h"
#include "vbmath.h"
#include "vbrandom.h"

namespace tarnwick {

EffectRun::EffectRun(clsMovie& movie, const char* section)
    : m_movie(movie), m_section(QString::fromLatin1(section))
{
}

Host& EffectRun::host() { return m_movie.host(); }

std::int32_t EffectRun::readInt(const char* key, const char* def)
{
    return toLong(host().readSetting(m_section, QString::fromLatin1(key), QString::fromLatin1(def)));
}

bool EffectRun::exporting() const { return m_movie.isVCD && !m_movie.isUserDefine; }

std::int32_t EffectRun::exportTimes(std::int32_t times) const { return exporting() ? 100 : times; }

int EffectRun::drawVariant(int n)
{
    const int drawn = static_cast<int>(std::floor(Rnd() * n));
    const int forced = m_movie.forcedVariant();
    return forced >= 0 && forced < n ? forced : drawn;
}

int EffectRun::drawStagger()
{
    const int drawn = static_cast<int>(std::floor(2 * Rnd())) == 0 ? 1 : 0;
    const int forced = m_movie.forcedStagger();
    return forced == 0 || forced == 1 ? forced : drawn;
}

std::int32_t EffectRun::tick() { return host().tickCount(); }
void EffectRun::pause(std::int32_t ms) { host().pause(ms); }
void EffectRun::doEvents()
{
    host().doEvents();
    if (m_movie.stopDrawing())
        throw EffectStopped{};
}

void EffectRun::showFrame(Surface& dest)
{
    host().refresh(dest);
    m_movie.VCDCaiYang(0);
}

void EffectRun::frameTail(Surface& dest, std::int32_t t0, std::int32_t fixedPause,
                          std::int32_t interval)
{
    showFrame(dest);
    pause(fixedPause);
    doEvents();
    intervalWait(t0, interval);
}

void EffectRun::intervalWait(std::int32_t t0, std::int32_t interval)
{
    // The clock is a wrapping 32-bit count; the difference of two readings
    // is the elapsed time as long as a frame lasts under 24 days.
    const std::int32_t elapsed =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(tick()) - static_cast<std::uint32_t>(t0));
    if (elapsed < interval)
        pause(interval - elapsed);
    doEvents();
}

} // namespace tarnwick

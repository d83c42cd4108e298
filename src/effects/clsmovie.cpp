#include "clsmovie.h"

// ours
#include "vbmath.h"

// std
#include <array>
#include <new>

namespace tarnwick {

namespace {

struct EffectEntry {
    const char* name; // as the settings spell it
    clsMovie::EffectMember member;
};

// The one registry of effects, in the order of the settings' catalogue.
const std::array<EffectEntry, 8> kEffects{{
    {"Blend", &clsMovie::Effect_Blend},
    {"Drag", &clsMovie::Effect_Drag},
    {"Wipe", &clsMovie::Effect_Wipe},
    {"Mask", &clsMovie::Effect_Mask},
    {"Shutter", &clsMovie::Effect_Shutter},
    {"Matrix", &clsMovie::Effect_Matrix},
    {"RndSquare", &clsMovie::Effect_RndSquare},
    {"LineTransform", &clsMovie::Effect_LineTransform},
}};

} // namespace

clsMovie::clsMovie(Host& host) : m_host(host) {}

clsMovie::~clsMovie() = default;

clsMovie::EffectMember clsMovie::findEffect(const QString& memberName)
{
    static const QString prefix = QStringLiteral("Effect_");
    if (!memberName.startsWith(prefix, Qt::CaseInsensitive))
        return nullptr;
    const QString name = memberName.mid(prefix.size());
    for (const EffectEntry& e : kEffects) {
        if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
            return e.member;
    }
    return nullptr;
}

bool clsMovie::callByName(const QString& memberName, Surface& objScr, Surface& objTmp,
                          Surface& objTmp2, Surface& objDest)
{
    const EffectMember member = findEffect(memberName);
    if (!member)
        return false;
    (this->*member)(objScr, objTmp, objTmp2, objDest);
    return true;
}

QStringList clsMovie::effectNames()
{
    QStringList names;
    for (const EffectEntry& e : kEffects)
        names << QLatin1String(e.name);
    return names;
}

void clsMovie::VCDCaiYang(std::int16_t bteStillSecond)
{
    if (bteStillSecond == 0)
        ++m_hookCalls;
    if (!isVCD || !m_sink)
        return;
    m_sink->writeFrames(bteStillSecond);
}

void clsMovie::runGuarded(const std::function<void()>& body)
{
    m_lastFailure.clear();
    try {
        body();
        return;
    } catch (const EffectStopped&) {
        return;
    } catch (const EffectFailure& e) {
        m_lastFailure = QString::fromLatin1(e.what());
    } catch (const std::bad_alloc&) {
        m_lastFailure = QStringLiteral("Out of memory");
    }
    m_host.showFailure(m_lastFailure);
}

} // namespace tarnwick

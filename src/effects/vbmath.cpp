#include "vbmath.h"

namespace tarnwick {

std::int32_t toLong(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        throw EffectFailure(kTypeMismatch);
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const qlonglong v = t.mid(2).toLongLong(&ok, 16);
        if (!ok)
            throw EffectFailure(kTypeMismatch);
        if (v > 0xFFFFFFFFLL)
            throw EffectFailure(kOverflow);
        // &H values wrap to the signed 32-bit range, as classic hex literals do.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    }
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw EffectFailure(ok ? kOverflow : kTypeMismatch);
    return whole(v);
}

} // namespace tarnwick

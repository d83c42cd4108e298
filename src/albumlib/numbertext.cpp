#include "numbertext.h"

// std
#include <cmath>
#include <limits>

namespace tarnwick {

double LeadingNumber(const QString& text)
{
    QString digits;
    bool seenPoint = false;
    bool seenExponent = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            continue;
        const bool first = digits.isEmpty();
        const QChar last = first ? QChar() : digits.back();
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-'))
                   && (first || last == QLatin1Char('e'))) {
            digits += c;
        } else if (c == QLatin1Char('.') && !seenPoint && !seenExponent) {
            seenPoint = true;
            digits += c;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d')
                    || c == QLatin1Char('D'))
                   && !seenExponent && !first && last.isDigit()) {
            seenExponent = true;
            digits += QLatin1Char('e');
        } else {
            break;
        }
    }
    // Trailing pieces such as "12e" or "-" are cut back to the number before them.
    while (!digits.isEmpty()) {
        bool ok = false;
        const double value = digits.toDouble(&ok);
        if (ok)
            return value;
        digits.chop(1);
    }
    return 0.0;
}

std::optional<std::int32_t> ToInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value);
    if (r < double(std::numeric_limits<std::int32_t>::min())
        || r > double(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

std::optional<std::int32_t> TextToInt32(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return ToInt32(value);
}

} // namespace tarnwick

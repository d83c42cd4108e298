#include "albumutility.h"

// std
#include <algorithm>
#include <chrono>
#include <thread>

namespace tarnwick {

namespace {

template <typename Range>
auto extremeOf(const Range& values, bool largest)
{
    using Value = std::decay_t<decltype(*values.begin())>;
    if (values.size() == 0)
        return Value{};
    const auto found = largest ? std::max_element(values.begin(), values.end())
                               : std::min_element(values.begin(), values.end());
    return *found;
}

// The pieces between the markers; with `keepStart` each piece begins with
// its start marker.
QStringList piecesBetween(const QString& text, const QString& startMarker,
                          const QString& endMarker, int limit, int mode, bool keepStart)
{
    QStringList pieces;
    if (startMarker.isEmpty() || endMarker.isEmpty())
        return pieces;
    const Qt::CaseSensitivity cs = mode == 0 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    qsizetype from = 0;
    while (limit < 0 || pieces.size() < limit) {
        const qsizetype start = text.indexOf(startMarker, from, cs);
        if (start < 0)
            break;
        const qsizetype inside = start + startMarker.size();
        const qsizetype end = text.indexOf(endMarker, inside, cs);
        if (end < 0)
            break;
        const qsizetype first = keepStart ? start : inside;
        pieces << text.mid(first, end - first);
        from = end + endMarker.size();
    }
    return pieces;
}

} // namespace

std::int32_t AlbumUtility::TickCount() const
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    // Keep the low 32 bits, as a 32-bit tick count wraps.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

void AlbumUtility::Wait(std::int32_t ms) const
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double AlbumUtility::MaxOf(const QList<double>& values) const
{
    return extremeOf(values, true);
}

double AlbumUtility::MinOf(const QList<double>& values) const
{
    return extremeOf(values, false);
}

int AlbumUtility::MaxOf(std::initializer_list<int> values) const
{
    return extremeOf(values, true);
}

int AlbumUtility::MinOf(std::initializer_list<int> values) const
{
    return extremeOf(values, false);
}

double AlbumUtility::MaxOf(std::initializer_list<double> values) const
{
    return extremeOf(values, true);
}

double AlbumUtility::MinOf(std::initializer_list<double> values) const
{
    return extremeOf(values, false);
}

QStringList AlbumUtility::FindBetween(const QString& text, const QString& startMarker,
                                      const QString& endMarker, int limit, int mode) const
{
    return piecesBetween(text, startMarker, endMarker, limit, mode, false);
}

QStringList AlbumUtility::SplitBetween(const QString& text, const QString& startMarker,
                                       const QString& endMarker, int limit, int mode) const
{
    return piecesBetween(text, startMarker, endMarker, limit, mode, true);
}

} // namespace tarnwick

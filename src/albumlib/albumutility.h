#pragma once
// Timing and text helpers of the album library. Callers make an object per
// call; it holds no state and any thread may use its own.

// Qt
#include <QList>
#include <QString>
#include <QStringList>

// std
#include <cstdint>
#include <initializer_list>

namespace tarnwick {

class AlbumUtility {
public:
    // Milliseconds of a steady clock as a 32-bit count (it wraps).
    std::int32_t TickCount() const;

    // Suspends the calling thread for `ms` milliseconds; ms <= 0 returns at
    // once. Nothing else runs on that thread meanwhile.
    void Wait(std::int32_t ms) const;

    // The largest / smallest of `values`; 0 for an empty list.
    double MaxOf(const QList<double>& values) const;
    double MinOf(const QList<double>& values) const;
    int MaxOf(std::initializer_list<int> values) const;
    int MinOf(std::initializer_list<int> values) const;
    double MaxOf(std::initializer_list<double> values) const;
    double MinOf(std::initializer_list<double> values) const;

    // The texts that lie strictly between `startMarker` and a following
    // `endMarker`, element 0 first. Searching goes on after each end marker;
    // a start marker with no end marker after it gives nothing. `limit` is
    // the most elements returned (-1: all). `mode` 0 compares the markers
    // ignoring letter case, any other value exactly. Empty markers give an
    // empty list.
    QStringList FindBetween(const QString& text, const QString& startMarker,
                            const QString& endMarker, int limit = -1, int mode = 0) const;

    // As FindBetween, but each element begins with the start marker as it
    // stands in the text. Taken from a packed album's information text with
    // "[PicResultFile]" and "[Splitter]", element 0 is a whole INI text that
    // holds the picture index sections.
    QStringList SplitBetween(const QString& text, const QString& startMarker,
                             const QString& endMarker, int limit = -1, int mode = 0) const;
};

} // namespace tarnwick

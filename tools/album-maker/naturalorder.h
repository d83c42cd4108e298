#pragma once
// Natural order of file and folder names: "img2" before "img10", letters
// compared without regard to case, so that photos come in the order a
// person numbered them. Independent of the locale, so every machine sorts
// an album the same way.

// Qt
#include <QString>
#include <QStringList>

namespace tarnwick {

// True when a comes before b. Runs of digits compare by value (leading zeros
// only break ties), other text case-insensitively; names equal in that sense
// fall back to a plain comparison so the order is total.
bool naturalLess(const QString& a, const QString& b);

void sortNaturally(QStringList& names);

} // namespace tarnwick

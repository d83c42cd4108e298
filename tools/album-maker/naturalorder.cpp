#include "naturalorder.h"

// std
#include <algorithm>

namespace tarnwick {

namespace {

// Compares the digit runs a[ai..aEnd) and b[bi..bEnd) by value without
// converting them, so runs longer than any integer still sort.
int compareNumbers(const QString& a, qsizetype ai, qsizetype aEnd, const QString& b, qsizetype bi,
                   qsizetype bEnd)
{
    while (ai < aEnd - 1 && a[ai] == u'0')
        ++ai;
    while (bi < bEnd - 1 && b[bi] == u'0')
        ++bi;
    if (aEnd - ai != bEnd - bi)
        return aEnd - ai < bEnd - bi ? -1 : 1;
    for (; ai < aEnd; ++ai, ++bi) {
        if (a[ai] != b[bi])
            return a[ai] < b[bi] ? -1 : 1;
    }
    return 0;
}

qsizetype digitRunEnd(const QString& s, qsizetype i)
{
    while (i < s.size() && s[i].isDigit())
        ++i;
    return i;
}

} // namespace

bool naturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype iEnd = digitRunEnd(a, i);
            const qsizetype jEnd = digitRunEnd(b, j);
            if (const int c = compareNumbers(a, i, iEnd, b, j, jEnd); c != 0)
                return c < 0;
            i = iEnd;
            j = jEnd;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

void sortNaturally(QStringList& names)
{
    std::sort(names.begin(), names.end(), naturalLess);
}

} // namespace tarnwick

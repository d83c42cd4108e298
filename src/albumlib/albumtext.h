#pragma once
// Reading the album information text (the INI text Album::LoadText takes)
// value by value, with the conventions of that format:
// - free texts (titles, names, field values): "\n" is a line break and "\\"
//   a backslash;
// - structural values (numbers, lists, file names): a ";" at the start or
//   after a blank starts a comment that runs to the end of the line;
// - a missing key reads as "" or 0.

// ours
#include "initext.h"

// Qt
#include <QString>
#include <QStringList>

// std
#include <algorithm>
#include <climits>

namespace tarnwick {

class AlbumText {
public:
    explicit AlbumText(const QString& text) : m_ini(text), m_lines(int(std::min<qsizetype>(text.count(u'\n') + 1, INT_MAX))) {}

    // The lines of the text: every category, photo or music item that is
    // more than a number needs at least one, so no count can usefully
    // exceed it.
    int lines() const { return m_lines; }

    // A free text, unescaped.
    QString text(const QString& section, const QString& key) const;

    // A whole number 0..32767 (the range of the player's 16-bit indices);
    // anything that is not a number reads as 0, larger ones as 32767.
    int count(const QString& section, const QString& key) const;

    // A "|"-separated list, each item trimmed, empty items dropped.
    QStringList list(const QString& section, const QString& key) const;

    // A structural value with its comment removed, trimmed.
    QString plain(const QString& section, const QString& key) const;

private:
    IniText m_ini;
    int m_lines = 0;
};

} // namespace tarnwick

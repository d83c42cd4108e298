#pragma once
// The text of an INI file held as its lines, for reading single values and
// editing them in place. Shared by IniFile (files on disk) and Album (the
// album information text).
//
// Grammar: a line whose first non-blank character is "[" starts a section
// and ends the one before, even when it is no valid header; a valid header
// is "[" name "]" and its name is compared trimmed and ignoring letter case.
// An entry is a line holding "=": the key is the text before the first "=",
// compared trimmed and ignoring letter case; the value is the rest. Lines
// starting with ";" or "#" are comments; any other line is kept but means
// nothing. The first occurrence of a key in a section wins, also across
// repeated headers of the same section. CR LF and LF line ends are read.

// Qt
#include <QHash>
#include <QString>
#include <QStringList>

// std
#include <optional>

namespace tarnwick {

class IniText {
public:
    explicit IniText(const QString& text = QString());

    // The value of `key` in `section`, trimmed; nullopt when the section or
    // key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Sets `key` in `section` to `value`. An existing entry keeps its line
    // and the key's spelling and gets the new value; a new key goes after
    // the last non-blank line of its section; a new section is appended at
    // the end. Every other line stays as it was. Returns false, changing
    // nothing, for an empty section or key, a section holding "]", a key
    // holding "=" or starting with "[", ";" or "#", or any of the three
    // holding a line break.
    bool setValue(const QString& section, const QString& key, const QString& value);

    // The lines joined with CR LF, each line ended (empty for no lines).
    QString toText() const;

private:
    void reindex();

    QStringList m_lines;
    // Case-folded section name -> case-folded key -> line of its first entry.
    QHash<QString, QHash<QString, qsizetype>> m_entries;
    // Case-folded section name -> line of its first header.
    QHash<QString, qsizetype> m_headers;
};

} // namespace tarnwick

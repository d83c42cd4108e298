#pragma once
// File services of the album library: single INI values, whole text files
// and existence tests. Callers make a fresh object per call; it holds no
// state, so any thread may use its own object. Every path goes through
// resolvePath, so "\" and upper-cased Windows paths reach the real files.
// Texts are read as UTF-8 (Latin-1 when the bytes are not valid UTF-8, a
// leading byte-order mark dropped) and written as UTF-8.

// Qt
#include <QList>
#include <QPair>
#include <QString>

// std
#include <chrono>

namespace tarnwick {

// Entries of one section as key and value, in the order they are set.
using IniEntries = QList<QPair<QString, QString>>;

class IniFile {
public:
    // The value of `key` in `section` of the INI file `file`, trimmed, or
    // `def` when the file, the section or the key is missing. Grammar as in
    // IniText: headers and keys ignore letter case, the first entry wins.
    QString ReadValue(const QString& section, const QString& key, const QString& def,
                      const QString& file) const;

    // Sets `key` in `section` of `file` to `value`, keeping every other line
    // as it was; creates the file, the section or the key as needed and
    // writes CR LF line ends. The file is replaced through a temporary file
    // beside it (written, flushed to disk, renamed over the old one), so it
    // is never left half-written. Returns false when the names are not
    // writable (see IniText::setValue) or the file cannot be read or
    // written; the old file is then untouched. `why`, when given, gets the
    // reason the file could not be read or written and is left alone when
    // only the names were refused.
    bool WriteValue(const QString& section, const QString& key, const QString& value,
                    const QString& file, QString* why = nullptr);

    // Sets every entry of `entries` in `section` as WriteValue does, in
    // order, and replaces the file once: the file, even after a crash, holds
    // all of them or none. Entries whose names WriteValue would refuse are
    // left out; when all are, the file is not touched. Returns false when an
    // entry was left out or the file cannot be read or written; `why` as
    // for WriteValue. An empty list writes nothing and succeeds.
    bool WriteValues(const QString& section, const IniEntries& entries, const QString& file,
                     QString* why = nullptr);

    // Removes what replacements of `file` cut short by a crash leave behind:
    // the files in its folder named as `file` plus "." and six letters or
    // digits, last changed at least `age` ago. Returns how many went.
    int RemoveStaleTemporaries(const QString& file, std::chrono::seconds age);

    // True when `path` is an existing file (a folder is not a file).
    bool FileExists(const QString& path) const;

    // True when `path` (normally ending in "\" or "/") is an existing folder.
    bool FolderExists(const QString& path) const;

    // The whole text of the file at `path`; a null string when it cannot be
    // read, an empty one (not null) for an empty file.
    QString ReadTextFile(const QString& path) const;

    // Writes `text` unchanged to `path`: appended to the end when `append`
    // is true, else as the whole new content, replaced through a temporary
    // file. Returns false when the file cannot be written.
    bool WriteTextFile(const QString& text, const QString& path, bool append);
};

} // namespace tarnwick

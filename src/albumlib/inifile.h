#pragma once
// File services of the album library: single INI values, whole text files
// and existence tests. Callers make a fresh object per call; it holds no
// state, so any thread may use its own object. Every path goes through
// resolvePath, so "\" and upper-cased Windows paths reach the real files.
// Texts are read as UTF-8 (Latin-1 when the bytes are not valid UTF-8, a
// leading byte-order mark dropped) and written as UTF-8.

// Qt
#include <QString>

namespace tarnwick {

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
    // beside it, so it is never left half-written. Returns false when the
    // names are not writable (see IniText::setValue) or the file cannot be
    // written; the old file is then untouched.
    bool WriteValue(const QString& section, const QString& key, const QString& value,
                    const QString& file);

    // True when `path` is an existing file (a folder is not a file).
    bool FileExists(const QString& path) const;

    // True when `path` (normally ending in "\" or "/") is an existing folder.
    bool FolderExists(const QString& path) const;

    // The whole text of the file at `path`; "" when it cannot be read.
    QString ReadTextFile(const QString& path) const;

    // Writes `text` unchanged to `path`: appended to the end when `append`
    // is true, else as the whole new content, replaced through a temporary
    // file. Returns false when the file cannot be written.
    bool WriteTextFile(const QString& text, const QString& path, bool append);
};

} // namespace tarnwick

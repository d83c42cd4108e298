#pragma once
// The player settings store: single values of "playerprofile.ini" in the
// program folder, read and written through a fresh IniFile each call, and a
// whole-section reader that parses the file itself. Every window and the
// effects engine go through these; all run on the window thread. The
// shipped defaults are built into the program: the first use of a missing
// file in a run writes them there, and a file that is missing or cannot be
// read (a folder that takes no file) reads as the defaults. Nothing here shows a message box; a write that finds
// the file or its folder unwritable says so on the error output, once a run
// for each file, and tells the caller, whose window may show it. The first
// use of the file in a run removes temporary files that writes cut short by
// a crash left beside it (see IniFile::RemoveStaleTemporaries), once they
// are a minute old.

// Qt
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

namespace tarnwick {

// A section's entries as the section reader finds them; the first
// occurrence of a key wins.
using SettingsSection = QMap<QString, QString>;

// Entries of one section written together: keys and values, in order.
using SettingsEntries = QList<QPair<QString, QString>>;

// The full path of "playerprofile.ini".
QString PlayerSettingsFile();

// The shipped "playerprofile.ini", as built into the program.
QString DefaultPlayerSettingsText();

// The value of `key` in `section`, or `def` when the file, section or key
// is missing.
QString ReadPlayerSetting(const QString& section, const QString& key, const QString& def);

// Makes ReadPlayerSetting give `value` for the key for the rest of the run,
// without writing it (a saver program's options for one run).
void SetPlayerSettingForRun(const QString& section, const QString& key, const QString& value);

// Stores `value`; creates the file, section and key as needed. The file is
// replaced whole, so a failed write or a crash leaves it as it was. A name
// the file cannot hold (see IniText::setValue) stores nothing, as ever.
// Returns false when the file could not be written; `trouble`, when given,
// then gets one line naming the file and the reason, fit for a message box.
bool WritePlayerSetting(const QString& section, const QString& key, const QString& value,
                        QString* trouble = nullptr);

// Stores every entry of `entries` in `section` as WritePlayerSetting does,
// in one replacement of the file: readers, and the file after a crash, see
// all of them or none. Use it for values that belong together (an effect
// table's shares). Entries with names the file cannot hold are left out.
// Returns false and fills `trouble` as WritePlayerSetting does.
bool WritePlayerSettings(const QString& section, const SettingsEntries& entries, QString* trouble = nullptr);

// Every entry of the section whose header matches `name` without regard to
// letter case (the name is trimmed first; the caller's text is trimmed
// too). Entries without "=" or with an empty value are left out; a value
// holding another "=" keeps only the text up to it. Empty when the header
// is missing.
SettingsSection ReadPlayerSection(QString& name);

// What a window does on load with its own settings section: clears `flag`,
// reads the section named `windowName` and discards it.
void LoadWindowSettings(const QString& windowName, bool& flag);

} // namespace tarnwick

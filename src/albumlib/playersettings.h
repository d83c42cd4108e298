#pragma once
// The player settings store: single values of "playerprofile.ini" in the
// program folder, read and written through a fresh IniFile each call, and a
// whole-section reader that parses the file itself. Every window and the
// effects engine go through these; all run on the window thread. Nothing
// here ever shows a message: a missing file reads as empty.

// Qt
#include <QMap>
#include <QString>

namespace tarnwick {

// A section's entries as the section reader finds them; the first
// occurrence of a key wins.
using SettingsSection = QMap<QString, QString>;

// The full path of "playerprofile.ini".
QString PlayerSettingsFile();

// The value of `key` in `section`, or `def` when the file, section or key
// is missing.
QString ReadPlayerSetting(const QString& section, const QString& key, const QString& def);

// Stores `value`; creates the file, section and key as needed. A failed
// write leaves the file as it was.
// Makes ReadPlayerSetting give `value` for the key for the rest of the run,
// without writing it (a saver program's options for one run).
void SetPlayerSettingForRun(const QString& section, const QString& key, const QString& value);

void WritePlayerSetting(const QString& section, const QString& key, const QString& value);

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

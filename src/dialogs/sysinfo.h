#pragma once
// The about box's "System Info..." command: finds the system-information
// tool through the registry store (RegistryStore) and starts it, or tells
// the user it is unavailable. Window thread only; every step goes through
// Desktop() so tests can watch it.

// Qt
#include <QString>
#include <QStringList>

// std
#include <cstdint>

class QWidget;

namespace tarnwick {

// The registry value `valueName` of the key `keyName` under `root`, as
// text. False with `value` = "" when the key or value is missing, or the
// value is empty or longer than the 1024-byte buffer. A last zero byte is
// dropped first; a string (type 1) is its text; a 32-bit number (type 4)
// is its bytes read last to first as one hexadecimal number, written in
// decimal as a 32-bit signed number (10 27 00 00 reads "10000", FF FF FF FF
// reads "-1"; more than eight significant digits overflow and fail); other
// types return true and leave `value` as the caller passed it.
bool GetKeyValue(std::uint32_t root, const QString& keyName, const QString& valueName,
                 QString& value);

// The tools tried, in order, when the registry names none: the first found
// on PATH is started.
QStringList SystemInfoTools();

// Starts the tool the registry's "PATH" value of
// "SOFTWARE\Microsoft\Shared Tools\MSINFO" names; else "MSINFO32.EXE" in
// the folder of "SOFTWARE\Microsoft\Shared Tools Location" "MSINFO" when
// that file exists; else the first of SystemInfoTools() on PATH. When there
// is none, or starting the chosen one fails, shows the message
// SysInfoUnavailableText() over `parent`.
void StartSysInfo(QWidget* parent = nullptr);

// "System Information Is Unavailable At This Time"
QString SysInfoUnavailableText();

} // namespace tarnwick

#include "playersettings.h"

// ours
#include "inifile.h"
#include "programfolder.h"

// Qt
#include <QHash>
#include <QStringList>

namespace tarnwick {

QString PlayerSettingsFile()
{
    return ProgramFolder() + QStringLiteral("/playerprofile.ini");
}

namespace {
// Values given for this run only (a saver program's options), by
// "section/key" in lower case.
QHash<QString, QString>& runValues()
{
    static QHash<QString, QString> values;
    return values;
}
QString runKey(const QString& section, const QString& key) { return (section + QLatin1Char('/') + key).toLower(); }
} // namespace

void SetPlayerSettingForRun(const QString& section, const QString& key, const QString& value)
{
    runValues().insert(runKey(section, key), value);
}

QString ReadPlayerSetting(const QString& section, const QString& key, const QString& def)
{
    const auto given = runValues().constFind(runKey(section, key));
    if (given != runValues().constEnd())
        return *given;
    return IniFile().ReadValue(section, key, def, PlayerSettingsFile());
}

void WritePlayerSetting(const QString& section, const QString& key, const QString& value)
{
    IniFile().WriteValue(section, key, value, PlayerSettingsFile());
}

SettingsSection ReadPlayerSection(QString& name)
{
    SettingsSection entries;
    name = name.trimmed();
    // The store writes CR LF; a file edited by hand may hold bare LF.
    QString text = IniFile().ReadTextFile(PlayerSettingsFile());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    const QString header = QLatin1Char('[') + name + QLatin1Char(']');
    const qsizetype found = text.indexOf(header, 0, Qt::CaseInsensitive);
    if (found < 0)
        return entries;
    QString body = text.mid(found + header.size());
    // The section runs up to the next line that begins with "[", header or not.
    const qsizetype next = body.indexOf(QStringLiteral("\n["));
    if (next >= 0)
        body.truncate(next);

    const QStringList lines = body.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.contains(QLatin1Char('=')))
            continue;
        const QStringList pieces = line.split(QLatin1Char('='));
        const QString& key = pieces.at(0);
        const QString& value = pieces.at(1);
        if (value.trimmed().isEmpty() || entries.contains(key))
            continue;
        entries.insert(key, value);
    }
    return entries;
}

void LoadWindowSettings(const QString& windowName, bool& flag)
{
    flag = false;
    QString name = windowName;
    ReadPlayerSection(name);
}

} // namespace tarnwick

#include "playersettings.h"

// ours
#include "inifile.h"
#include "initext.h"
#include "programfolder.h"

// Qt
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>

// std
#include <chrono>
#include <cstdio>

namespace tarnwick {

QString PlayerSettingsFile()
{
    return ProgramFolder() + QStringLiteral("/playerprofile.ini");
}

QString DefaultPlayerSettingsText()
{
    static const QString text = [] {
        QFile shipped(QStringLiteral(":/tarnwick/playerprofile.ini"));
        return shipped.open(QIODevice::ReadOnly) ? QString::fromUtf8(shipped.readAll()) : QString();
    }();
    return text;
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

// A temporary file younger than this may belong to a write still running
// in another instance of the player.
constexpr std::chrono::minutes kStaleAfter{1};

// The settings file. On its first use in this run it is swept of stale
// temporary files and, when missing, given the shipped defaults if its
// folder takes them; a folder that does not is read from the defaults.
QString settingsFileInUse()
{
    static QSet<QString> seen;
    const QString file = PlayerSettingsFile();
    if (!seen.contains(file)) {
        seen.insert(file);
        IniFile ini;
        ini.RemoveStaleTemporaries(file, kStaleAfter);
        if (!ini.FileExists(file))
            ini.WriteTextFile(DefaultPlayerSettingsText(), file, false);
    }
    return file;
}

// The text the settings are read from: the file, or the shipped defaults
// when it is missing or cannot be read.
QString settingsText()
{
    const QString text = IniFile().ReadTextFile(settingsFileInUse());
    return text.isNull() ? DefaultPlayerSettingsText() : text;
}

// Says on the error output, once a run for each file, that a write failed;
// `trouble` gets the line without the program's name.
void reportFailedWrite(const QString& file, const QString& why, QString* trouble)
{
    const QString line =
        QStringLiteral("Cannot save the settings in \"%1\": %2").arg(QDir::toNativeSeparators(file), why);
    static QSet<QString> reported;
    if (!reported.contains(file)) {
        reported.insert(file);
        std::fprintf(stderr, "tarnwick-player: %s\n", qPrintable(line));
    }
    if (trouble)
        *trouble = line;
}
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
    return IniText(settingsText()).value(section, key).value_or(def);
}

bool WritePlayerSetting(const QString& section, const QString& key, const QString& value, QString* trouble)
{
    return WritePlayerSettings(section, {{key, value}}, trouble);
}

bool WritePlayerSettings(const QString& section, const SettingsEntries& entries, QString* trouble)
{
    const QString file = settingsFileInUse();
    QString why;
    if (IniFile().WriteValues(section, entries, file, &why) || why.isEmpty())
        return true;
    reportFailedWrite(file, why, trouble);
    return false;
}

SettingsSection ReadPlayerSection(QString& name)
{
    SettingsSection entries;
    name = name.trimmed();
    // The store writes CR LF; a file edited by hand may hold bare LF.
    QString text = settingsText();
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

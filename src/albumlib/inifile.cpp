#include "inifile.h"

// ours
#include "initext.h"
#include "pathresolver.h"

// Qt
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace tarnwick {

namespace {

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool replaceFile(const QString& realPath, const QByteArray& bytes)
{
    QSaveFile file(realPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

QString IniFile::ReadValue(const QString& section, const QString& key, const QString& def,
                           const QString& file) const
{
    const IniText ini(ReadTextFile(file));
    return ini.value(section, key).value_or(def);
}

bool IniFile::WriteValue(const QString& section, const QString& key, const QString& value,
                         const QString& file)
{
    const QString realPath = resolvePath(file);
    QFile existing(realPath);
    QString text;
    if (existing.exists()) {
        // An existing file we cannot read must not be replaced by one that
        // holds only the new key.
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        text = decodeText(existing.readAll());
    }
    IniText ini(text);
    if (!ini.setValue(section, key, value))
        return false;
    return replaceFile(realPath, ini.toText().toUtf8());
}

bool IniFile::FileExists(const QString& path) const
{
    if (path.isEmpty())
        return false;
    return QFileInfo(resolvePath(path)).isFile();
}

bool IniFile::FolderExists(const QString& path) const
{
    if (path.isEmpty())
        return false;
    return QFileInfo(resolvePath(path)).isDir();
}

QString IniFile::ReadTextFile(const QString& path) const
{
    if (path.isEmpty())
        return QString();
    QFile file(resolvePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return decodeText(file.readAll());
}

bool IniFile::WriteTextFile(const QString& text, const QString& path, bool append)
{
    if (path.isEmpty())
        return false;
    const QString realPath = resolvePath(path);
    const QByteArray bytes = text.toUtf8();
    if (!append)
        return replaceFile(realPath, bytes);
    QFile file(realPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(bytes) == bytes.size();
}

} // namespace tarnwick

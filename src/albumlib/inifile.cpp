#include "inifile.h"

// ours
#include "initext.h"
#include "pathresolver.h"
#include "regularfile.h"

// Qt
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

namespace tarnwick {

namespace {

QString decodeText(const QByteArray& bytes, bool* markDropped = nullptr)
{
    // One byte-order mark is dropped, here and nowhere else: dropping a
    // second one as well would make a text read differently after it was
    // written back.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    const bool mark = text.startsWith(QChar(0xFEFF));
    if (mark)
        text.remove(0, 1);
    if (markDropped)
        *markDropped = mark;
    return text;
}

// Writes `bytes` to a temporary file beside `realPath`, flushes it to disk
// and renames it over `realPath` (QSaveFile); `why` gets the reason when
// that fails.
bool replaceFile(const QString& realPath, const QByteArray& bytes, QString* why = nullptr)
{
    QSaveFile file(realPath);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (why)
        *why = file.errorString();
    file.cancelWriting();
    return false;
}

} // namespace

QString IniFile::ReadValue(const QString& section, const QString& key, const QString& def,
                           const QString& file) const
{
    const IniText ini(ReadTextFile(file));
    return ini.value(section, key).value_or(def);
}

bool IniFile::WriteValue(const QString& section, const QString& key, const QString& value,
                         const QString& file, QString* why)
{
    return WriteValues(section, {{key, value}}, file, why);
}

bool IniFile::WriteValues(const QString& section, const IniEntries& entries, const QString& file, QString* why)
{
    if (entries.isEmpty())
        return true;
    const QString realPath = resolvePath(file);
    QString text;
    bool mark = false;
    if (QFileInfo::exists(realPath)) {
        // An existing file we cannot read (or that is no regular file) must
        // not be replaced by one that holds only the new keys.
        QFile existing;
        if (!OpenRegularFile(existing, realPath)) {
            if (why)
                *why = QStringLiteral("it cannot be read as a file");
            return false;
        }
        text = decodeText(existing.readAll(), &mark);
    }
    IniText ini(text);
    qsizetype set = 0;
    for (const auto& [key, value] : entries)
        set += ini.setValue(section, key, value) ? 1 : 0;
    if (set == 0)
        return false;
    // A file that began with a byte-order mark keeps it: it reads the same
    // after the write as before.
    QByteArray bytes = ini.toText().toUtf8();
    if (mark)
        bytes.prepend("\xEF\xBB\xBF");
    return replaceFile(realPath, bytes, why) && set == entries.size();
}

int IniFile::RemoveStaleTemporaries(const QString& file, std::chrono::seconds age)
{
    // QSaveFile names its temporary file after the target plus ".XXXXXX".
    static const QRegularExpression tail(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
    const QFileInfo target(resolvePath(file));
    const QString name = target.fileName();
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-age.count());
    int removed = 0;
    const QFileInfoList entries = target.dir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QString entryName = entry.fileName();
        if (entryName.startsWith(name) && tail.match(QStringView(entryName).mid(name.size())).hasMatch() &&
            entry.lastModified().toUTC() <= before && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
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
    // Only a regular file: a FIFO named as an album's text would block.
    QFile file;
    if (path.isEmpty() || !OpenRegularFile(file, resolvePath(path)))
        return QString();
    const QString text = decodeText(file.readAll());
    return text.isNull() ? QStringLiteral("") : text;
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

#include "albumpath.h"

// ours
#include "inifile.h"
#include "packedfile.h"
#include "startup.h"

// Qt
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarnwick {

namespace {

const QString kPackedInfo = QStringLiteral("MainpicFileInfo.ini");

// The one container in `folder`: the only file with a container header,
// else the only "*.pak" file.
QString containerIn(const QDir& folder)
{
    QStringList marked, paks;
    for (const QFileInfo& info : folder.entryInfoList(QDir::Files)) {
        if (PackedFile::HeaderOffset(info.filePath()))
            marked << info.filePath();
        else if (info.suffix().compare(QLatin1String("pak"), Qt::CaseInsensitive) == 0)
            paks << info.filePath();
    }
    return marked.size() == 1 ? marked.first() : paks.size() == 1 ? paks.first() : QString();
}

// Where the packed album in `folder` runs: the folder itself when it takes
// the unpacked pictures, else a cache folder of its own holding copies of
// the album's information files (the same cache folder for the same album).
QString runFolderFor(const QString& folder)
{
    if (QFileInfo(folder).isWritable())
        return folder;
    const QByteArray id = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/tarnwick-album-player/packed-") + QString::fromLatin1(id);
    QDir().mkpath(cache);
    for (const QString& name : {kPackedInfo, QStringLiteral("profile.ini")}) {
        QFile::remove(cache + QLatin1Char('/') + name);
        QFile::copy(folder + QLatin1Char('/') + name, cache + QLatin1Char('/') + name);
    }
    return cache;
}

std::optional<AlbumPathStart> packedStart(const QString& folder, const QString& container, QString& error)
{
    if (container.isEmpty()) {
        error = QStringLiteral("\"%1\" holds no album container beside its %2").arg(folder, kPackedInfo);
        return std::nullopt;
    }
    const qint64 offset = PackedFile::HeaderOffset(container).value_or(0);
    // The last piece is the container's name as written: the command line
    // upper-cases every piece, and the name is found again by letter case.
    return AlbumPathStart{QStringLiteral("*S*OFFSET=%1*FILE=%2").arg(offset).arg(container), runFolderFor(folder)};
}

} // namespace

bool IsAlbumPath(const QStringList& words)
{
    return words.size() == 1 && !words.first().contains(QLatin1Char('*')) && QFileInfo::exists(words.first());
}

bool IsMissingPath(const QStringList& words)
{
    return words.size() == 1 && !words.first().contains(QLatin1Char('*'))
        && words.first().indexOf(QLatin1Char('/'), 1) > 0 && !QFileInfo::exists(words.first());
}

std::optional<AlbumPathStart> StartForAlbumPath(const QString& path, QString& error)
{
    const QFileInfo info(path);
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    if (info.isDir()) {
        const QDir folder(absolute);
        // A packed album's information file has an [Album] section too.
        const QString album = FindAlbumFile(absolute);
        if (!album.isEmpty() && QFileInfo(album).fileName().compare(kPackedInfo, Qt::CaseInsensitive) != 0)
            return AlbumPathStart{QStringLiteral("/1*") + album, QString()};
        if (folder.exists(kPackedInfo))
            return packedStart(absolute, containerIn(folder), error);
    } else if (info.isFile()) {
        const QString folder = info.absolutePath();
        if (info.fileName().compare(kPackedInfo, Qt::CaseInsensitive) == 0)
            return packedStart(folder, containerIn(QDir(folder)), error);
        if (PackedFile::HeaderOffset(absolute) || (QFileInfo::exists(folder + QLatin1Char('/') + kPackedInfo)
                                       && info.suffix().compare(QLatin1String("ini"), Qt::CaseInsensitive) != 0))
            return packedStart(folder, absolute, error);
        if (IniFile().ReadTextFile(absolute).contains(QLatin1String("[Album]"), Qt::CaseInsensitive))
            return AlbumPathStart{QStringLiteral("/1*") + absolute, QString()};
    }
    error = QStringLiteral("\"%1\" is no album: give an album folder, its album.ini, or a packed album's container")
                .arg(path);
    return std::nullopt;
}

std::optional<QString> UnknownOption(const QStringList& words)
{
    for (const QString& word : words) {
        if (word.startsWith(QLatin1String("--")) && word != QLatin1String("--help") && word != QLatin1String("--version"))
            return word;
    }
    return std::nullopt;
}

} // namespace tarnwick

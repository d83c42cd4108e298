#include "photoscanner.h"

// ours
#include "makererror.h"
#include "naturalorder.h"

// Qt
#include <QDir>
#include <QFileInfo>

namespace tarnwick {

namespace {

QStringList photosIn(const QDir& dir)
{
    QStringList names;
    const QStringList files = dir.entryList(QDir::Files | QDir::Readable);
    for (const QString& name : files) {
        if (PhotoScanner::isPhotoName(name))
            names.append(name);
    }
    sortNaturally(names);
    QStringList paths;
    for (const QString& name : names)
        paths.append(dir.absoluteFilePath(name));
    return paths;
}

} // namespace

bool PhotoScanner::isPhotoName(const QString& fileName)
{
    static const QStringList suffixes{"jpg", "jpeg", "png", "bmp", "gif"};
    if (fileName.startsWith(u'.'))
        return false;
    return suffixes.contains(QFileInfo(fileName).suffix().toLower());
}

QVector<SourceCategory> PhotoScanner::scan(const QString& photosFolder, const QString& excludedFolder)
{
    const QFileInfo info(photosFolder);
    if (!info.isDir())
        throw MakerError(QStringLiteral("photo folder %1 does not exist").arg(photosFolder));
    const QDir dir(info.absoluteFilePath());
    const QString excluded = excludedFolder.isEmpty() ? QString() : QFileInfo(excludedFolder).absoluteFilePath();

    QVector<SourceCategory> categories;
    // Loose pictures beside sub-folders would otherwise be lost.
    if (QStringList loose = photosIn(dir); !loose.isEmpty())
        categories.append({dir.dirName().isEmpty() ? QStringLiteral("Photos") : dir.dirName(), loose});

    QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable);
    sortNaturally(folders);
    for (const QString& name : folders) {
        const QString path = dir.absoluteFilePath(name);
        if (name.startsWith(u'.') || path == excluded)
            continue;
        if (QStringList photos = photosIn(QDir(path)); !photos.isEmpty())
            categories.append({name, photos});
    }
    return categories;
}

} // namespace tarnwick

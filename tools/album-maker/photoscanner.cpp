#include "photoscanner.h"

// ours
#include "exifreader.h"
#include "makererror.h"
#include "naturalorder.h"

// Qt
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

// std
#include <algorithm>

namespace tarnwick {

const QStringList PhotoScanner::PhotoKinds{"jpg", "jpeg", "png", "bmp", "gif", "webp", "heic", "heif"};
const QStringList PhotoScanner::MusicKinds{"mp3", "wav", "ogg", "flac", "m4a"};

namespace {

QString suffixOf(const QString& fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

// The files of `dir` with one of `kinds` as suffix, in natural order.
QStringList filesIn(const QDir& dir, const QStringList& kinds)
{
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Readable)) {
        if (!name.startsWith(u'.') && kinds.contains(suffixOf(name)))
            names.append(name);
    }
    sortNaturally(names);
    QStringList paths;
    for (const QString& name : names)
        paths.append(dir.absoluteFilePath(name));
    return paths;
}

SourcePhoto describe(const QString& path)
{
    const ExifData exif = ExifReader::readFile(path);
    const QDateTime when = exif.taken.isValid() ? exif.taken : QFileInfo(path).lastModified();
    return {path, exif.taken, exif.camera, when.toSecsSinceEpoch()};
}

bool takenBefore(const SourcePhoto& a, const SourcePhoto& b)
{
    if (a.sortSeconds != b.sortSeconds)
        return a.sortSeconds < b.sortSeconds;
    const QString nameA = QFileInfo(a.path).fileName();
    const QString nameB = QFileInfo(b.path).fileName();
    if (nameA != nameB)
        return naturalLess(nameA, nameB);
    return naturalLess(a.path, b.path);
}

QVector<SourceCategory> byMonth(const QVector<SourceCategory>& folders)
{
    QVector<SourcePhoto> all;
    for (const SourceCategory& folder : folders)
        all += folder.photos;
    std::sort(all.begin(), all.end(), takenBefore);
    QVector<SourceCategory> months;
    for (const SourcePhoto& photo : all) {
        const QString month = QDateTime::fromSecsSinceEpoch(photo.sortSeconds).toString(QStringLiteral("yyyy-MM"));
        if (months.isEmpty() || months.last().name != month)
            months.append({month, {}});
        months.last().photos.append(photo);
    }
    return months;
}

} // namespace

QStringList PhotoScanner::readableKinds()
{
    QStringList kinds;
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QString& kind : PhotoKinds) {
        if (formats.contains(kind.toLatin1()))
            kinds.append(kind);
    }
    return kinds;
}

QStringList PhotoScanner::musicIn(const QString& folder)
{
    return filesIn(QDir(folder), MusicKinds);
}

ScannedPhotos PhotoScanner::scan(const QString& photosFolder, const QString& excludedFolder, bool inMonths)
{
    const QFileInfo info(photosFolder);
    if (!info.isDir())
        throw MakerError(QStringLiteral("photo folder %1 does not exist").arg(photosFolder));
    const QDir dir(info.absoluteFilePath());
    const QString excluded = excludedFolder.isEmpty() ? QString() : QFileInfo(excludedFolder).absoluteFilePath();
    const QStringList readable = readableKinds();

    ScannedPhotos scanned;
    auto addFolder = [&](const QString& name, const QDir& folder) {
        SourceCategory category{name, {}};
        for (const QString& path : filesIn(folder, PhotoKinds)) {
            if (readable.contains(suffixOf(path)))
                category.photos.append(describe(path));
            else
                scanned.unsupported.append(path);
        }
        std::sort(category.photos.begin(), category.photos.end(), takenBefore);
        if (!category.photos.isEmpty())
            scanned.categories.append(category);
    };

    // Loose pictures beside sub-folders would otherwise be lost.
    addFolder(dir.dirName().isEmpty() ? QStringLiteral("Photos") : dir.dirName(), dir);
    QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable);
    sortNaturally(folders);
    for (const QString& name : folders) {
        const QString path = dir.absoluteFilePath(name);
        if (!name.startsWith(u'.') && path != excluded)
            addFolder(name, QDir(path));
    }
    if (inMonths)
        scanned.categories = byMonth(scanned.categories);
    return scanned;
}

} // namespace tarnwick

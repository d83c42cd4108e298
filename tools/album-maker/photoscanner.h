#pragma once
// Finds the photos of an album in a folder: one category per sub-folder
// that holds pictures, in natural order of the folder names; pictures lying
// directly in the folder form a first category named after the folder. Or,
// by month, one category per month taken ("2024-05", oldest first) across
// all those folders. Only the first level of sub-folders is looked at;
// hidden entries are skipped.
//
// Photos are the picture kinds of PhotoKinds in any letter case. Within a
// category they come in the order they were taken: the EXIF date taken when
// the file has one, else its modification time, to the second; the natural
// order of the file names (then of their paths) breaks ties.

// Qt
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tarnwick {

struct SourcePhoto {
    QString path;       // absolute
    QDateTime taken;    // from the EXIF block; invalid when it has none
    QString camera;     // from the EXIF block; may be empty
    qint64 sortSeconds; // taken, else the modification time, since the epoch
};

struct SourceCategory {
    QString name;
    QVector<SourcePhoto> photos;
};

struct ScannedPhotos {
    QVector<SourceCategory> categories;
    // Photos of a kind this system's Qt image plugins cannot read
    // (absolute paths); they are skipped.
    QStringList unsupported;
};

class PhotoScanner {
public:
    // The suffixes of photos, lower case.
    static const QStringList PhotoKinds;
    // The suffixes of music files taken from the photo folder, lower case.
    static const QStringList MusicKinds;

    // Called once by the album builder. `excludedFolder` (absolute, may be
    // empty) is never taken as a category: the album being written may lie
    // inside the photo folder. Throws MakerError when the folder is missing.
    static ScannedPhotos scan(const QString& photosFolder, const QString& excludedFolder, bool byMonth);

    // The music files lying directly in `folder`, in natural order.
    static QStringList musicIn(const QString& folder);

    // The photo kinds this system can read, decided by the installed Qt
    // image plugins.
    static QStringList readableKinds();
};

} // namespace tarnwick

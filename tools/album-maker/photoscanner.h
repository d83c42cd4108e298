#pragma once
// Finds the photos of an album in a folder: one category per sub-folder
// that holds pictures, in natural order of the folder names; pictures lying
// directly in the folder form a first category named after the folder.
// Only the first level of sub-folders is looked at; hidden entries are
// skipped. Photos are *.jpg *.jpeg *.png *.bmp *.gif in any letter case,
// in natural order of their names.

// Qt
#include <QString>
#include <QStringList>
#include <QVector>

namespace tarnwick {

struct SourceCategory {
    QString name;
    QStringList photoPaths; // absolute paths
};

class PhotoScanner {
public:
    // Called once by the album builder. `excludedFolder` (absolute, may be
    // empty) is never taken as a category: the album being written may lie
    // inside the photo folder. Throws MakerError when the folder is missing.
    static QVector<SourceCategory> scan(const QString& photosFolder, const QString& excludedFolder);

    // True for the file names the maker takes as photos.
    static bool isPhotoName(const QString& fileName);
};

} // namespace tarnwick

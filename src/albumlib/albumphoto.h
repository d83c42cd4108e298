#pragma once
// One picture of the album: a photo of a category or a cover. Its full
// picture lies in the album's "ResultPicture" folder, its thumbnail in
// "MainAlbum"; both are plain file names (never a path), empty when the
// album gives none.

// Qt
#include <QHash>
#include <QString>

namespace tarnwick {

class AlbumPhoto {
public:
    QString FileName() const { return m_fileName; }
    QString ThumbnailFileName() const { return m_thumbnailFileName; }

    // The value of caption field `name` (letter case ignored); "" when the
    // photo has none.
    QString FieldValue(const QString& name) const;

    // For the album loader. File names that are not plain names (see
    // isPlainFileName) are stored as "".
    void SetFileName(const QString& name);
    void SetThumbnailFileName(const QString& name);
    void SetFieldValue(const QString& name, const QString& value);

private:
    QString m_fileName;
    QString m_thumbnailFileName;
    QHash<QString, QString> m_fields; // case-folded name -> value
};

} // namespace tarnwick

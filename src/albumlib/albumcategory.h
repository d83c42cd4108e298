#pragma once
// One category of the album: a name, its photos and its own covers. The
// player opens a category before it becomes the active one and closes it
// after; here that only marks it (the photos are in memory from the start).

// ours
#include "albumphoto.h"
#include "albumphotos.h"

// Qt
#include <QString>

namespace tarnwick {

class AlbumCategory {
public:
    QString Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }

    int PhotoCount() const { return m_photos.Count(); }
    AlbumPhotos& Photos() { return m_photos; }
    const AlbumPhotos& Photos() const { return m_photos; }

    AlbumPhoto& FrontCover() { return m_frontCover; }
    AlbumPhoto& BackCover() { return m_backCover; }
    const AlbumPhoto& FrontCover() const { return m_frontCover; }
    const AlbumPhoto& BackCover() const { return m_backCover; }

    // Called by the thumbnail strip on the window thread around the time the
    // category is active.
    void Open() { m_open = true; }
    void Close() { m_open = false; }
    bool IsOpen() const { return m_open; }

private:
    QString m_name;
    AlbumPhotos m_photos;
    AlbumPhoto m_frontCover;
    AlbumPhoto m_backCover;
    bool m_open = false;
};

} // namespace tarnwick

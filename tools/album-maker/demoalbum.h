#pragma once
// The demo album's sources: colourful generated photos in three category
// folders, each with its category name and number drawn on it, and a
// generated ten-second melody. Used by "album-maker --demo ALBUM_DIR".

// ours
#include "makeroptions.h"

// Qt
#include <QString>
#include <QStringList>

namespace tarnwick {

class DemoAlbum {
public:
    static constexpr int PhotosPerCategory = 4;
    static constexpr int MusicSeconds = 10;

    // The category names, in order.
    static QStringList categoryNames();

    // Writes the sources into `folder` (which must exist) and points
    // `options` at them: photo folder, music and, when none was given, the
    // title. Throws MakerError on a write failure.
    static void prepare(const QString& folder, MakerOptions& options);
};

} // namespace tarnwick

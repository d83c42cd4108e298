#pragma once
// Picture loading and scaling of the album library. Pictures are QImages in
// Format_RGB32; a picture that cannot be had is a null QImage, which callers
// skip. The object holds no state: the player loads the next picture on a
// worker thread with its own object while the window thread draws.
// Paths go through resolvePath. JPEG, PNG, BMP and GIF (first frame) load.

// Qt
#include <QImage>
#include <QString>

namespace tarnwick {

class AlbumPictureTool {
public:
    // The picture at `path` scaled (smoothly, aspect ratio not kept) to
    // exactly width x height (at most 16384 a side and 64 megapixels). Only a
    // regular file is read: a FIFO or a device gives null at once. A JPEG is
    // decoded straight at the smallest
    // 1/2, 1/4 or 1/8 size that still covers the wanted size. Null for a
    // missing or broken file or a width or height below 1. The two trailing
    // arguments are accepted and unused.
    QImage LoadPicture(const QString& path, int width, int height, int = 0, int = 0) const;

    // The picture at `path` at its own size; null when it cannot be read.
    QImage OpenPicture(const QString& path) const;

    // `picture` scaled smoothly to exactly width x height; null for a null
    // picture or a width or height below 1.
    QImage ResizePicture(const QImage& picture, int width, int height, int = 0, int = 0) const;

    // A copy of `canvas` with `source` drawn unscaled with its top-left
    // corner at (x, y), clipped to the canvas. Null for a null canvas.
    QImage PastePicture(const QImage& source, const QImage& canvas, int x, int y) const;
};

} // namespace tarnwick

#pragma once
// Reads the date a photo was taken and the camera that took it from the
// EXIF block of a JPEG file (the APP1 segment beginning "Exif\0\0"): a TIFF
// structure in either byte order whose first IFD holds Make, Model and
// DateTime and points to the Exif IFD with DateTimeOriginal. Only those few
// tags are looked at. Every offset and count is checked against the block,
// which is at most 64 KiB, so a malformed or hostile block reads as "no
// data" and never makes the reader look outside it or allocate much.

// Qt
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

namespace tarnwick {

struct ExifData {
    QDateTime taken; // local time of the camera; invalid when unknown
    QString camera;  // "Make Model", or the one there is; empty when unknown
};

class ExifReader {
public:
    // How much of a file is read to find the block: the segments before it
    // (colour profiles, other metadata) rarely take more than a few KiB.
    static constexpr qsizetype HeadBytes = 256 * 1024;

    // The EXIF data of the file at `path`; empty for files that are no
    // JPEG, have no EXIF block or cannot be read.
    static ExifData readFile(const QString& path);

    // The same for `head`, the start of a JPEG file.
    static ExifData fromJpeg(QByteArrayView head);

    // The same for a TIFF structure, the block after "Exif\0\0".
    static ExifData fromTiff(QByteArrayView tiff);
};

} // namespace tarnwick

#pragma once
// The marker segments at the head of a JPEG file, walked in memory: SOI,
// then segments of a marker and a 16-bit length, up to the first scan
// header (SOS), after which the compressed image data follows. Every length
// is checked against the bytes at hand; the walk stops at anything that is
// not a well-formed segment. Used by the EXIF reader and to spot JPEG files
// that were cut short.

// Qt
#include <QByteArrayView>
#include <QVector>

namespace tarnwick {

struct JpegSegment {
    quint8 marker = 0;      // the byte after 0xFF, e.g. 0xE1 for APP1
    QByteArrayView payload; // the bytes after the length field
};

class JpegSegments {
public:
    // More segments than any camera writes before its image data.
    static constexpr int MaxSegments = 256;

    // True when `bytes` begins like a JPEG file (SOI and a marker).
    static bool isJpeg(QByteArrayView bytes);

    // The whole segments `head` holds before the image data, in file order;
    // empty when it is no JPEG. `head` may be only the start of a file.
    static QVector<JpegSegment> header(QByteArrayView head);

    // True when `jpeg`, a whole file, has its scan header and an end-of-image
    // marker after it. A file cut short decodes with a grey lower part and
    // no error, so the maker asks this first.
    static bool isComplete(QByteArrayView jpeg);

private:
    // Walks the segments, adding them to `segments` when given; the offset
    // just after the scan header, or -1 when the walk stops before it.
    static qsizetype walk(QByteArrayView bytes, QVector<JpegSegment>* segments);
};

} // namespace tarnwick

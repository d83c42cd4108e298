#include "jpegsegments.h"

// std
#include <string_view>

namespace tarnwick {

namespace {

constexpr quint8 Prefix = 0xFF;
constexpr quint8 StartOfScan = 0xDA;
constexpr quint8 EndOfImage = 0xD9;

quint8 byteAt(QByteArrayView bytes, qsizetype at)
{
    return quint8(bytes[at]);
}

// Markers that stand alone, without a length: they cannot come before the
// image data, so meeting one there means the file is broken.
bool standsAlone(quint8 marker)
{
    return marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= EndOfImage);
}

} // namespace

bool JpegSegments::isJpeg(QByteArrayView bytes)
{
    return bytes.size() >= 3 && byteAt(bytes, 0) == Prefix && byteAt(bytes, 1) == 0xD8 && byteAt(bytes, 2) == Prefix;
}

qsizetype JpegSegments::walk(QByteArrayView bytes, QVector<JpegSegment>* segments)
{
    if (!isJpeg(bytes))
        return -1;
    qsizetype at = 2;
    for (int n = 0; n < MaxSegments; ++n) {
        // Any number of fill bytes may stand before a marker.
        while (at + 1 < bytes.size() && byteAt(bytes, at) == Prefix && byteAt(bytes, at + 1) == Prefix)
            ++at;
        if (at + 4 > bytes.size() || byteAt(bytes, at) != Prefix || standsAlone(byteAt(bytes, at + 1)))
            return -1;
        const quint8 marker = byteAt(bytes, at + 1);
        const qsizetype length = (qsizetype(byteAt(bytes, at + 2)) << 8) | byteAt(bytes, at + 3);
        if (length < 2 || length > bytes.size() - at - 2)
            return -1;
        if (segments)
            segments->append({marker, bytes.sliced(at + 4, length - 2)});
        at += 2 + length;
        if (marker == StartOfScan)
            return at;
    }
    return -1;
}

QVector<JpegSegment> JpegSegments::header(QByteArrayView head)
{
    QVector<JpegSegment> segments;
    walk(head, &segments);
    return segments;
}

bool JpegSegments::isComplete(QByteArrayView jpeg)
{
    const qsizetype data = walk(jpeg, nullptr);
    if (data < 0)
        return false;
    // Inside compressed data a 0xFF is always followed by 0x00 or a restart
    // marker, so this pair is the real end (bytes after it do no harm).
    const std::string_view rest(jpeg.data() + data, size_t(jpeg.size() - data));
    return rest.find("\xFF\xD9") != std::string_view::npos;
}

} // namespace tarnwick

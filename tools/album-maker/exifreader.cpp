#include "exifreader.h"

// ours
#include "jpegsegments.h"

// Qt
#include <QFile>

// std
#include <optional>

namespace tarnwick {

namespace {

constexpr quint8 App1 = 0xE1;
constexpr quint16 TagMake = 0x010F;
constexpr quint16 TagModel = 0x0110;
constexpr quint16 TagDateTime = 0x0132;
constexpr quint16 TagExifIfd = 0x8769;
constexpr quint16 TagDateTimeOriginal = 0x9003;
constexpr quint16 TypeAscii = 2;
constexpr quint16 TypeLong = 4;
constexpr qsizetype EntryBytes = 12;
// Longer texts are not a camera name or a date.
constexpr quint32 MaxTextBytes = 128;

// A TIFF structure in memory; offsets count from its first byte.
class TiffBlock {
public:
    explicit TiffBlock(QByteArrayView bytes)
        : m_bytes(bytes)
    {
        if (bytes.size() >= 8 && (bytes.startsWith("II") || bytes.startsWith("MM"))) {
            m_bigEndian = bytes[0] == 'M';
            m_valid = number(2, 2) == 42u;
        }
    }

    std::optional<quint32> firstIfd() const { return m_valid ? number(4, 4) : std::nullopt; }

    // The offset of the entry for `tag` in the IFD at `ifd`.
    std::optional<qsizetype> entry(quint32 ifd, quint16 tag) const
    {
        const std::optional<quint32> count = number(ifd, 2);
        if (!count)
            return std::nullopt;
        for (quint32 i = 0; i < *count; ++i) {
            const qsizetype at = qsizetype(ifd) + 2 + EntryBytes * i;
            if (at + EntryBytes > m_bytes.size())
                return std::nullopt;
            if (number(at, 2) == tag)
                return at;
        }
        return std::nullopt;
    }

    // The value of a one-number LONG entry, such as the Exif IFD pointer.
    std::optional<quint32> longValue(quint32 ifd, quint16 tag) const
    {
        const std::optional<qsizetype> at = entry(ifd, tag);
        if (!at || number(*at + 2, 2) != TypeLong || number(*at + 4, 4) != 1u)
            return std::nullopt;
        return number(*at + 8, 4);
    }

    // An ASCII entry up to its first NUL, trimmed; "" when absent or bad.
    QString text(quint32 ifd, quint16 tag) const
    {
        const std::optional<qsizetype> at = entry(ifd, tag);
        const std::optional<quint32> count = at ? number(*at + 4, 4) : std::nullopt;
        if (!at || number(*at + 2, 2) != TypeAscii || !count || *count > MaxTextBytes)
            return {};
        // Up to four bytes sit in the entry itself.
        const std::optional<quint32> offset =
            *count <= 4 ? std::optional<quint32>(quint32(*at + 8)) : number(*at + 8, 4);
        if (!offset || qint64(*offset) + *count > m_bytes.size())
            return {};
        QString text;
        for (const char c : m_bytes.sliced(*offset, *count)) {
            if (c == '\0')
                break;
            text += (quint8(c) < 0x20 || quint8(c) > 0x7E) ? u' ' : QChar::fromLatin1(c);
        }
        return text.simplified();
    }

private:
    // The unsigned number of `size` bytes (2 or 4) at `at`, when inside.
    std::optional<quint32> number(qint64 at, int size) const
    {
        if (at < 0 || at + size > m_bytes.size())
            return std::nullopt;
        quint32 value = 0;
        for (int i = 0; i < size; ++i) {
            const quint32 byte = quint8(m_bytes[at + (m_bigEndian ? i : size - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }

    QByteArrayView m_bytes;
    bool m_bigEndian = false;
    bool m_valid = false;
};

QDateTime exifDate(const QString& text)
{
    // "2024:05:17 14:03:22"; blank or zero dates mean "not set".
    return QDateTime::fromString(text.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
}

QString cameraName(const QString& make, const QString& model)
{
    if (model.isEmpty() || model.startsWith(make, Qt::CaseInsensitive))
        return model.isEmpty() ? make : model;
    return make.isEmpty() ? model : make + u' ' + model;
}

} // namespace

ExifData ExifReader::fromTiff(QByteArrayView tiff)
{
    const TiffBlock block(tiff);
    const std::optional<quint32> ifd0 = block.firstIfd();
    if (!ifd0)
        return {};
    ExifData data;
    data.camera = cameraName(block.text(*ifd0, TagMake), block.text(*ifd0, TagModel));
    if (const std::optional<quint32> exifIfd = block.longValue(*ifd0, TagExifIfd))
        data.taken = exifDate(block.text(*exifIfd, TagDateTimeOriginal));
    if (!data.taken.isValid())
        data.taken = exifDate(block.text(*ifd0, TagDateTime));
    return data;
}

ExifData ExifReader::fromJpeg(QByteArrayView head)
{
    static constexpr QByteArrayView Signature("Exif\0\0", 6);
    for (const JpegSegment& segment : JpegSegments::header(head)) {
        if (segment.marker == App1 && segment.payload.startsWith(Signature))
            return fromTiff(segment.payload.sliced(Signature.size()));
    }
    return {};
}

ExifData ExifReader::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromJpeg(file.read(HeadBytes));
}

} // namespace tarnwick

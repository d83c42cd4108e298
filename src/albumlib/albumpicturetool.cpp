#include "albumpicturetool.h"

// ours
#include "pathresolver.h"
#include "regularfile.h"

// Qt
#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace tarnwick {

namespace {

QImage toRgb32(QImage image)
{
    if (image.isNull() || image.format() == QImage::Format_RGB32)
        return image;
    if (image.hasAlphaChannel()) {
        // Transparent parts show black, as on a black picture box.
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::black);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        return opaque;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

int ceilDiv(int value, int divisor)
{
    return (value + divisor - 1) / divisor;
}

// The size a JPEG can be decoded at directly (1/1, 1/2, 1/4 or 1/8 of
// `full`) that is the smallest still covering `wanted` in both directions.
QSize coveringDecodeSize(const QSize& full, const QSize& wanted)
{
    for (int divisor = 8; divisor > 1; divisor /= 2) {
        const QSize decoded(ceilDiv(full.width(), divisor), ceilDiv(full.height(), divisor));
        if (decoded.width() >= wanted.width() && decoded.height() >= wanted.height())
            return decoded;
    }
    return full;
}

// The largest picture the player makes: more than any screen or video
// needs, and a bound on what an album's numbers can make it allocate.
constexpr int kMaxSide = 16384;
constexpr qint64 kMaxPixels = qint64(64) << 20;

bool sizeAllowed(int width, int height)
{
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide
        && qint64(width) * height <= kMaxPixels;
}

} // namespace

QImage AlbumPictureTool::LoadPicture(const QString& path, int width, int height, int, int) const
{
    QFile file;
    if (!sizeAllowed(width, height) || !OpenRegularFile(file, resolvePath(path)))
        return QImage();
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        // The decode size is in the file's own orientation.
        QSize wanted(width, height);
        if (reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
            wanted.transpose();
        const QSize decode = coveringDecodeSize(full, wanted);
        if (decode != full)
            reader.setScaledSize(decode);
    }
    const QImage image = reader.read();
    return ResizePicture(image, width, height);
}

QImage AlbumPictureTool::OpenPicture(const QString& path) const
{
    QFile file;
    if (!OpenRegularFile(file, resolvePath(path)))
        return QImage();
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    return toRgb32(reader.read());
}

QImage AlbumPictureTool::ResizePicture(const QImage& picture, int width, int height, int, int) const
{
    if (picture.isNull() || !sizeAllowed(width, height))
        return QImage();
    QImage image = toRgb32(picture);
    if (image.size() != QSize(width, height))
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return toRgb32(image);
}

QImage AlbumPictureTool::PastePicture(const QImage& source, const QImage& canvas, int x, int y) const
{
    if (canvas.isNull())
        return QImage();
    QImage result = toRgb32(canvas);
    if (!source.isNull()) {
        QPainter painter(&result);
        painter.drawImage(x, y, toRgb32(source));
    }
    return result;
}

} // namespace tarnwick

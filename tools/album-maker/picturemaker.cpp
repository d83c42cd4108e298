#include "picturemaker.h"

// ours
#include "jpegsegments.h"
#include "makererror.h"

// Qt
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>

// std
#include <algorithm>

namespace tarnwick {

namespace {

bool swapsSides(QImageIOHandler::Transformations t)
{
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

// True for a JPEG or PNG file that ends before its end marker. Their
// decoders would show the missing part grey or complain on stderr.
bool cutShort(const QByteArray& bytes)
{
    if (JpegSegments::isJpeg(bytes))
        return !JpegSegments::isComplete(bytes);
    static const QByteArray pngSignature("\x89PNG\r\n\x1a\n");
    static const QByteArray pngEnd("IEND\xae\x42\x60\x82");
    return bytes.startsWith(pngSignature) && !bytes.contains(pngEnd);
}

void fillGradient(QImage& image)
{
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, image.height());
    gradient.setColorAt(0.0, QColor(0x26, 0x2f, 0x4a));
    gradient.setColorAt(1.0, QColor(0x05, 0x06, 0x0c));
    painter.fillRect(image.rect(), gradient);
}

} // namespace

QImage PictureMaker::decodeScaled(const QString& path, QSize box, Qt::AspectRatioMode mode)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw MakerError(
            QStringLiteral("cannot read picture %1: %2").arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
    }
    if (cutShort(bytes))
        throw MakerError(QStringLiteral("picture %1 is cut short").arg(QFileInfo(path).absoluteFilePath()));
    // The format goes by the content, whatever the name says.
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QSize stored = reader.size();
    if (!stored.isValid()) {
        throw MakerError(QStringLiteral("cannot read picture %1: %2")
                             .arg(QFileInfo(path).absoluteFilePath(), reader.errorString()));
    }
    // The decoder scales the stored pixels; the orientation tag turns them
    // afterwards, so the box is turned the other way first.
    const bool swap = swapsSides(reader.transformation());
    const QSize shown = swap ? stored.transposed() : stored;
    const QSize wanted = shown.scaled(box, mode).expandedTo(QSize(1, 1));
    reader.setScaledSize(swap ? wanted.transposed() : wanted);
    QImage image = reader.read();
    if (image.isNull()) {
        throw MakerError(QStringLiteral("cannot decode picture %1: %2")
                             .arg(QFileInfo(path).absoluteFilePath(), reader.errorString()));
    }
    if (image.size() != wanted)
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage PictureMaker::centredOnBlack(const QImage& image, QSize size)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.drawImage((size.width() - image.width()) / 2, (size.height() - image.height()) / 2, image);
    return canvas;
}

QImage PictureMaker::loadFitted(const QString& path, QSize size)
{
    return centredOnBlack(decodeScaled(path, size, Qt::KeepAspectRatio), size);
}

QImage PictureMaker::loadFilling(const QString& path, QSize size)
{
    const QImage image = decodeScaled(path, size, Qt::KeepAspectRatioByExpanding);
    return image.copy((image.width() - size.width()) / 2, (image.height() - size.height()) / 2, size.width(),
                      size.height());
}

QImage PictureMaker::thumbnail(const QImage& picture)
{
    const QSize fitted = picture.size().scaled(ThumbnailSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return centredOnBlack(picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), ThumbnailSize);
}

QImage PictureMaker::gradientBackground(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    fillGradient(image);
    return image;
}

QImage PictureMaker::titleCard(QSize size, const QString& title, const QString& subtitle)
{
    QImage image = gradientBackground(size);
    drawCaption(image, title, subtitle);
    return image;
}

void PictureMaker::drawCaption(QImage& image, const QString& title, const QString& subtitle)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int h = image.height();
    const QRect titleBox(h / 20, h / 4, image.width() - h / 10, h / 3);
    const QRect subtitleBox(h / 20, h * 7 / 12, image.width() - h / 10, h / 5);
    const int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap;

    auto drawShadowed = [&](const QRect& box, int pixelSize, bool bold, const QString& text) {
        QFont font;
        font.setPixelSize(std::max(6, pixelSize));
        font.setBold(bold);
        painter.setFont(font);
        const int offset = std::max(1, pixelSize / 24);
        painter.setPen(QColor(0, 0, 0, 180));
        painter.drawText(box.translated(offset, offset), flags, text);
        painter.setPen(Qt::white);
        painter.drawText(box, flags, text);
    };
    drawShadowed(titleBox, h / 9, true, title);
    if (!subtitle.isEmpty())
        drawShadowed(subtitleBox, h / 18, false, subtitle);
}

EncodedPicture PictureMaker::encode(const QImage& picture)
{
    return {jpegBytes(picture, 90), jpegBytes(thumbnail(picture), 85)};
}

QByteArray PictureMaker::jpegBytes(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        throw MakerError(QStringLiteral("cannot make a JPEG picture: %1").arg(writer.errorString()));
    return bytes;
}

} // namespace tarnwick

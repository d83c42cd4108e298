#pragma once
// The pictures of an album as the maker produces them: photos decoded
// straight to the album's picture size and letterboxed on black,
// thumbnails, generated title cards and the background. All images are
// Format_RGB32. Loading, scaling and encoding run on any thread, one
// picture per call; the title cards need a QGuiApplication for their text
// and are made on the main thread.

// Qt
#include <QImage>
#include <QSize>
#include <QString>

namespace tarnwick {

// A picture of the album and its thumbnail as JPEG files.
struct EncodedPicture {
    QByteArray picture;
    QByteArray thumbnail;
};

class PictureMaker {
public:
    // Size of every thumbnail in MainAlbum: the proportions of the player's
    // thumbnail strip slots.
    static constexpr QSize ThumbnailSize{96, 72};

    // The picture at `path`, its orientation tag applied, scaled to fit
    // inside `size` (keeping its aspect) and centred on black, exactly
    // `size`. Big JPEGs are decoded at about the wanted size. Throws
    // MakerError naming the file when it cannot be read or decoded, or is
    // a JPEG cut short.
    static QImage loadFitted(const QString& path, QSize size);

    // The picture at `path` scaled to cover `size` and cropped to it
    // centrally (for the background). Throws like loadFitted.
    static QImage loadFilling(const QString& path, QSize size);

    // `picture` scaled to fit ThumbnailSize, centred on black.
    static QImage thumbnail(const QImage& picture);

    // A title card: a dark gradient with `title` large and `subtitle` below.
    static QImage titleCard(QSize size, const QString& title, const QString& subtitle);

    // The generated album background: a dark vertical gradient.
    static QImage gradientBackground(QSize size);

    // Draws `title` and, when not empty, `subtitle` centred on `image`, in
    // white with a shadow, at sizes that follow the image height.
    static void drawCaption(QImage& image, const QString& title, const QString& subtitle);

    // `picture` as a JPEG (quality 90) and its thumbnail (quality 85).
    static EncodedPicture encode(const QImage& picture);

    // `image` as a JPEG file's bytes. Throws MakerError on failure.
    static QByteArray jpegBytes(const QImage& image, int quality);

private:
    static QImage decodeScaled(const QString& path, QSize box, Qt::AspectRatioMode mode);
    static QImage centredOnBlack(const QImage& image, QSize size);
};

} // namespace tarnwick

#include "demoalbum.h"

// ours
#include "makererror.h"
#include "picturemaker.h"
#include "tonemelody.h"

// Qt
#include <QDir>
#include <QPainter>
#include <QRadialGradient>

// std
#include <array>

namespace tarnwick {

namespace {

// Different shapes so that the letterboxing shows.
constexpr std::array<QSize, DemoAlbum::PhotosPerCategory> PhotoSizes{
    QSize(1024, 768), QSize(768, 1024), QSize(1280, 720), QSize(900, 900)};

QImage demoPhoto(QSize size, int hue, const QString& caption, int number)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0.0, QColor::fromHsv(hue, 200, 250));
    sky.setColorAt(1.0, QColor::fromHsv((hue + 60) % 360, 255, 120));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 6; ++i) {
        const QPointF centre(size.width() * (0.15 + 0.14 * i), size.height() * (0.3 + 0.08 * ((i * number) % 5)));
        const qreal radius = size.height() * (0.08 + 0.02 * ((i + number) % 4));
        QRadialGradient bubble(centre, radius);
        bubble.setColorAt(0.0, QColor::fromHsv((hue + 30 * i) % 360, 120, 255, 220));
        bubble.setColorAt(1.0, QColor::fromHsv((hue + 30 * i) % 360, 255, 200, 0));
        painter.setBrush(bubble);
        painter.drawEllipse(centre, radius, radius);
    }
    painter.end();
    PictureMaker::drawCaption(image, caption, QStringLiteral("Photo %1").arg(number));
    return image;
}

} // namespace

QStringList DemoAlbum::categoryNames()
{
    // Already in the order the photo scanner gives them.
    return {QStringLiteral("Harbour"), QStringLiteral("Meadow"), QStringLiteral("Night lights")};
}

void DemoAlbum::prepare(const QString& folder, MakerOptions& options)
{
    const QDir root(folder);
    const QStringList names = categoryNames();
    for (int c = 0; c < names.size(); ++c) {
        const QString categoryFolder = root.filePath(names[c]);
        if (!QDir().mkpath(categoryFolder))
            throw MakerError(QStringLiteral("cannot create %1").arg(categoryFolder));
        for (int p = 1; p <= PhotosPerCategory; ++p) {
            const QString path =
                QDir(categoryFolder).filePath(QStringLiteral("%1 %2.png").arg(names[c], QString::number(p)));
            if (!demoPhoto(PhotoSizes[p - 1], c * 110 + p * 15, names[c], p).save(path, "png"))
                throw MakerError(QStringLiteral("cannot write %1").arg(path));
        }
    }
    const QString music = root.filePath(QStringLiteral("melody.wav"));
    ToneMelody::write(music, MusicSeconds);

    options.photosFolder = folder;
    options.musicFiles.prepend(music);
    if (options.title.isEmpty())
        options.title = QStringLiteral("Tarnwick demo album");
    if (options.description.isEmpty())
        options.description = QStringLiteral("Generated pictures and a generated melody\nto try the player with.");
}

} // namespace tarnwick

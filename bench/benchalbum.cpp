// ours
#include "benchalbum.h"

// Qt
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QTextStream>

// std
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tarnwick::bench {

namespace {

// Channel levels of the photo codes: 50 apart, so a code survives JPEG and
// scaling, and the half-way frame of a blend between neighbours (25 off)
// matches no code.
constexpr std::array<int, 4> kLevels{40, 90, 140, 190};
constexpr int kTolerance = 20;
// Distinct looks of the photos; each photo is one of them with its own patch.
constexpr int kLooks = 6;
constexpr int kJpegQuality = 85;

int farthestChannel(const QColor& a, const QColor& b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

// A small generator of our own, so the pictures are the same on every run.
struct Grain {
    std::uint32_t x;
    int next(int range)
    {
        x = x * 1664525u + 1013904223u;
        return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(range));
    }
};

QString shapeText(const BenchAlbumShape& s)
{
    // The leading number changes whenever the pictures change.
    return QStringLiteral("2 photos=%1 categories=%2 picture=%3x%4 thumbnail=%5x%6\n")
        .arg(s.photos).arg(s.categories).arg(s.picture.width()).arg(s.picture.height())
        .arg(s.thumbnail.width()).arg(s.thumbnail.height());
}

bool writePicture(const QImage& picture, const QString& path)
{
    return picture.save(path, "JPG", kJpegQuality);
}

// A picture and its thumbnail under `name`.jpg and `name`_t.jpg.
bool writePair(const QString& folder, const QString& name, const QImage& picture, const QSize& thumbnail)
{
    return writePicture(picture, folder + QStringLiteral("/ResultPicture/") + name + QStringLiteral(".jpg"))
        && writePicture(picture.scaled(thumbnail, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                        folder + QStringLiteral("/MainAlbum/") + name + QStringLiteral("_t.jpg"));
}

QString albumText(const BenchAlbumShape& s)
{
    QString text;
    QTextStream out(&text);
    out << "[Album]\r\nTitle=Bench\r\nInfoLine=" << s.photos << " photos\r\n"
        << "PictureWidth=" << s.picture.width() << "\r\nPictureHeight=" << s.picture.height() << "\r\n"
        << "FrontCover=front.jpg|front_t.jpg\r\nBackCover=back.jpg|back_t.jpg\r\n"
        << "Categories=" << s.categories << "\r\nMusics=0\r\n";
    int n = 1;
    for (int c = 1; c <= s.categories; ++c) {
        const int count = s.photos / s.categories + (c <= s.photos % s.categories ? 1 : 0);
        out << "[Category" << c << "]\r\nName=Category " << c << "\r\nPhotos=" << count << "\r\n";
        for (int i = 1; i <= count; ++i, ++n) {
            const QString name = QStringLiteral("p%1").arg(n, 4, 10, QLatin1Char('0'));
            out << "Photo" << i << '=' << name << ".jpg|" << name << "_t.jpg\r\n";
        }
    }
    return text;
}

} // namespace

QColor PhotoCodeColour(int n)
{
    const int i = ((n - 1) % kPhotoCodePeriod + kPhotoCodePeriod) % kPhotoCodePeriod;
    return QColor(kLevels[i % 4], kLevels[(i / 4) % 4], kLevels[(i / 16) % 4]);
}

QColor CodeColour(ShownPicture picture)
{
    switch (picture) {
    case ShownPicture::Background: return QColor(0, 250, 0);
    case ShownPicture::FrontCover: return QColor(250, 0, 250);
    case ShownPicture::BackCover: return QColor(250, 250, 0);
    default: return QColor(0, 0, 0);
    }
}

PictureCode PictureAt(const QColor& colour)
{
    if (!colour.isValid())
        return {};
    for (ShownPicture p : {ShownPicture::Background, ShownPicture::FrontCover, ShownPicture::BackCover}) {
        if (farthestChannel(colour, CodeColour(p)) <= kTolerance)
            return {p, 0};
    }
    for (int n = 1; n <= kPhotoCodePeriod; ++n) {
        if (farthestChannel(colour, PhotoCodeColour(n)) <= kTolerance)
            return {ShownPicture::Photo, n};
    }
    return {};
}

QRect CodePatch(const QSize& size)
{
    return QRect(size.width() / 4, size.height() / 4, size.width() / 2, size.height() / 2);
}

QImage DetailedPicture(const QSize& size, int seed, const QColor& code, QRect patch)
{
    QImage picture(size, QImage::Format_RGB32);
    Grain grain{static_cast<std::uint32_t>(seed) * 2654435761u + 1u};
    {
        QPainter p(&picture);
        QLinearGradient sky(0, 0, size.width(), size.height());
        sky.setColorAt(0, QColor::fromHsv(grain.next(360), 120, 200));
        sky.setColorAt(1, QColor::fromHsv(grain.next(360), 160, 90));
        p.fillRect(picture.rect(), sky);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 300; ++i) {
            const QColor c = QColor::fromHsv(grain.next(360), grain.next(256), grain.next(256), 60 + grain.next(160));
            const QRect r(grain.next(size.width()), grain.next(size.height()), 8 + grain.next(size.width() / 5),
                          8 + grain.next(size.height() / 5));
            if (i % 3 == 0) {
                p.setPen(QPen(c, 1 + grain.next(6)));
                p.drawLine(r.topLeft(), r.bottomRight());
            } else {
                p.setPen(Qt::NoPen);
                p.setBrush(c);
                p.drawEllipse(r);
            }
        }
    }
    // Grain over every pixel: photos are never smooth, and their entropy is
    // what makes decoding cost.
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int d = grain.next(25) - 12;
            const QRgb v = row[x];
            row[x] = qRgb(std::clamp(qRed(v) + d, 0, 255), std::clamp(qGreen(v) + d, 0, 255),
                          std::clamp(qBlue(v) + d, 0, 255));
        }
    }
    QPainter(&picture).fillRect(patch.isNull() ? CodePatch(size) : patch, code);
    return picture;
}

QString WriteBenchAlbum(const QString& folder, const BenchAlbumShape& shape)
{
    const QString ini = folder + QStringLiteral("/album.ini");
    const QString stamp = folder + QStringLiteral("/bench-shape.txt");
    QFile stampFile(stamp);
    if (QFile::exists(ini) && stampFile.open(QIODevice::ReadOnly)
        && QString::fromUtf8(stampFile.readAll()) == shapeText(shape))
        return ini;
    stampFile.close();
    QFile::remove(stamp);
    for (const char* sub : {"ResultPicture", "MainAlbum"}) {
        if (!QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(sub)))
            return {};
    }

    const QSize size = shape.picture;
    // The player shows the background unscaled at the album's size at first,
    // so its code covers all but a frame of detail.
    const QRect most = QRect(QPoint(0, 0), size).adjusted(16, 16, -16, -16);
    bool ok = writePicture(DetailedPicture(size, 101, CodeColour(ShownPicture::Background), most),
                           folder + QStringLiteral("/ResultPicture/BackgroundPicture.jpg"))
        && writePair(folder, QStringLiteral("front"), DetailedPicture(size, 102, CodeColour(ShownPicture::FrontCover)),
                     shape.thumbnail)
        && writePair(folder, QStringLiteral("back"), DetailedPicture(size, 103, CodeColour(ShownPicture::BackCover)),
                     shape.thumbnail);
    std::vector<QImage> looks;
    for (int i = 0; i < kLooks && ok; ++i)
        looks.push_back(DetailedPicture(size, i + 1, Qt::black));
    const QRect patch = CodePatch(size);
    for (int n = 1; n <= shape.photos && ok; ++n) {
        QImage photo = looks[static_cast<std::size_t>(n % kLooks)].copy();
        QPainter(&photo).fillRect(patch, PhotoCodeColour(n));
        ok = writePair(folder, QStringLiteral("p%1").arg(n, 4, 10, QLatin1Char('0')), photo, shape.thumbnail);
        if (n % 100 == 0)
            std::fprintf(stderr, "album: %d of %d photos written\n", n, shape.photos);
    }
    QFile out(ini);
    ok = ok && out.open(QIODevice::WriteOnly) && out.write(albumText(shape).toUtf8()) >= 0;
    out.close();
    ok = ok && stampFile.open(QIODevice::WriteOnly) && stampFile.write(shapeText(shape).toUtf8()) >= 0;
    return ok ? ini : QString();
}

} // namespace tarnwick::bench

// ours
#include "colouralbum.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

// std
#include <algorithm>
#include <cstdlib>

namespace tarnwick::test {

namespace {

struct Picture {
    const char* name;
    QRgb colour;
    const char* file; // in ResultPicture; its thumbnail is <base>_t.png in MainAlbum
};

// Every blend of two of these colours stays at least 85 (in its farthest
// channel) from each third one, so a tolerance of 40 never mistakes a blend
// frame for a picture.
constexpr Picture kPictures[] = {
    {"background", 0x00FF00, "BackgroundPicture.jpg"},
    {"front cover", 0x00FFFF, "front.png"},
    {"back cover", 0x008000, "back.png"},
    {"Beach front cover", 0xFFFF00, "beach_front.png"},
    {"Beach 1", 0x0080FF, "beach1.png"},
    {"Beach 2", 0x8000FF, "beach2.png"},
    {"Harbour 1", 0xFF0000, "harbour1.png"},
    {"Harbour back cover", 0xFF80FF, "harbour_back.png"},
};
constexpr int kTolerance = 40;

constexpr char kAlbumInfo[] = "[Album]\r\n"
                              "Title=Harbour Lights\r\n"
                              "PictureWidth=800\r\n"
                              "PictureHeight=600\r\n"
                              "FrontCover=front.png|front_t.png\r\n"
                              "BackCover=back.png|back_t.png\r\n"
                              "Categories=2\r\n"
                              "\r\n"
                              "[Category1]\r\n"
                              "Name=Beach\r\n"
                              "FrontCover=beach_front.png|beach_front_t.png\r\n"
                              "Photos=2\r\n"
                              "Photo1=beach1.png|beach1_t.png\r\n"
                              "Photo2=beach2.png|beach2_t.png\r\n"
                              "\r\n"
                              "[Category2]\r\n"
                              "Name=Harbour\r\n"
                              "BackCover=harbour_back.png|harbour_back_t.png\r\n"
                              "Photos=1\r\n"
                              "Photo1=harbour1.png|harbour1_t.png\r\n";

constexpr char kBareAlbumInfo[] = "[Album]\r\n"
                                  "Title=Harbour Lights\r\n"
                                  "PictureWidth=800\r\n"
                                  "PictureHeight=600\r\n"
                                  "Categories=0\r\n";

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

bool writePicture(const QString& path, QRgb colour)
{
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(colour);
    // Best quality, so the JPEG background keeps its colour within a step or two.
    return image.save(path, nullptr, 100);
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

ColourAlbum::ColourAlbum(const QString& root, Pace pace, Contents contents) : m_root(root)
{
    const QString album = root + QStringLiteral("/Album/");
    for (const char* folder : {"ResultPicture", "MainAlbum"})
        m_ok = QDir().mkpath(album + QLatin1String(folder)) && m_ok;
    m_ok = QDir().mkpath(programFolder()) && m_ok;
    const bool full = contents == Contents::Full;
    m_ok = writeText(album + QStringLiteral("Album.ini"), full ? kAlbumInfo : kBareAlbumInfo) && m_ok;
    for (const Picture& p : kPictures) {
        const QString file = QLatin1String(p.file);
        if (file == QStringLiteral("BackgroundPicture.jpg")) {
            m_ok = writePicture(album + QStringLiteral("ResultPicture/") + file, p.colour) && m_ok;
        } else if (full) {
            m_ok = writePicture(album + QStringLiteral("ResultPicture/") + file, p.colour) && m_ok;
            const QString thumbnail = QFileInfo(file).completeBaseName() + QStringLiteral("_t.png");
            m_ok = writePicture(album + QStringLiteral("MainAlbum/") + thumbnail, p.colour) && m_ok;
        }
    }

    const QByteArray settings = "[Effect]\r\n"
                                "EffectNumber=1\r\n"
                                "Effect_1=Blend\r\n"
                                "Percent_1=100\r\n"
                                "StopTime="
                                + QByteArray(pace.stopTime)
                                + "\r\n"
                                  "\r\n"
                                  "[Blend]\r\n"
                                  "BlendTimes(How many loop times to finish?)="
                                + QByteArray::number(pace.blendTimes) + "\r\n";
    m_ok = writeText(programFolder() + QStringLiteral("/playerprofile.ini"), settings) && m_ok;
    m_ok = writeText(programFolder() + QStringLiteral("/profile.ini"), "[Current]\r\nMusicOpen=0\r\n") && m_ok;
}

QString ColourAlbum::commandLine() const
{
    return QStringLiteral("/1*") + m_root + QStringLiteral("/Album/Album.ini");
}

QString ColourAlbum::programFolder() const
{
    return m_root + QStringLiteral("/program");
}

QString ColourAlbum::nameOf(QRgb rgb)
{
    for (const Picture& p : kPictures) {
        if (channelDistance(rgb, p.colour) <= kTolerance)
            return QLatin1String(p.name);
    }
    return kInBetween;
}

double ColourAlbum::shareOf(const QImage& area, const QString& name)
{
    if (area.isNull())
        return 0;
    qsizetype same = 0;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x)
            same += nameOf(area.pixel(x, y)) == name;
    }
    return double(same) / (qsizetype(area.width()) * area.height());
}

} // namespace tarnwick::test

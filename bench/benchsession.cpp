// ours
#include "benchsession.h"

#include "album.h"
#include "playersettings.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

// std
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace tarnwick::bench {

namespace {
// How far a pixel of a flat area may lie from the area's mean colour.
constexpr int kFlat = 12;
} // namespace

bool MakeProgramFolder(const QString& folder, const QString& effect, const std::vector<SettingValue>& values)
{
    const QString shipped = QCoreApplication::applicationDirPath() + QStringLiteral("/playerprofile.ini");
    const QString settings = folder + QStringLiteral("/playerprofile.ini");
    QFile::remove(settings);
    if (!QDir().mkpath(folder) || !QFile::copy(shipped, settings))
        return false;
    QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
    QFile profile(folder + QStringLiteral("/profile.ini"));
    if (!profile.open(QIODevice::WriteOnly) || profile.write("[Current]\r\nMusicOpen=0\r\n") < 0)
        return false;
    SetProgramFolder(folder);
    const QString section = QStringLiteral("Effect");
    WritePlayerSetting(section, QStringLiteral("EffectNumber"), QStringLiteral("1"));
    WritePlayerSetting(section, QStringLiteral("Effect_1"), effect);
    WritePlayerSetting(section, QStringLiteral("Percent_1"), QStringLiteral("100"));
    for (const SettingValue& v : values)
        WritePlayerSetting(v.section, v.key, v.value);
    return ReadPlayerSetting(section, QStringLiteral("Effect_1"), QString()) == effect;
}

bool LoadAlbumFolder(const QString& albumIni)
{
    QFile file(albumIni);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    StartMode = ModeAlbumFolder;
    gAlbum = std::make_unique<Album>();
    gAlbum->LoadText(QString::fromUtf8(file.readAll()));
    gAlbum->SetPath(QFileInfo(albumIni).absolutePath());
    return true;
}

void LoadEmptyAlbum(int pictureWidth, int pictureHeight)
{
    StartMode = ModeAlbumFolder;
    gAlbum = std::make_unique<Album>();
    gAlbum->LoadText(QStringLiteral("[Album]\nTitle=Bench\nPictureWidth=%1\nPictureHeight=%2\n")
                         .arg(pictureWidth)
                         .arg(pictureHeight));
}

QColor ScreenColour(const QRect& area)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QImage shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    if (shot.isNull())
        return {};
    long r = 0, g = 0, b = 0;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            r += qRed(row[x]);
            g += qGreen(row[x]);
            b += qBlue(row[x]);
        }
    }
    const long n = long(shot.width()) * shot.height();
    const QColor mean(int(r / n), int(g / n), int(b / n));
    // An area across an edge (half drawn, half not) averages to any colour.
    for (int y = 0; y < shot.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            if (std::abs(qRed(row[x]) - mean.red()) > kFlat || std::abs(qGreen(row[x]) - mean.green()) > kFlat
                || std::abs(qBlue(row[x]) - mean.blue()) > kFlat)
                return {};
        }
    }
    return mean;
}

void RunEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

Spread SpreadOf(std::vector<double> values)
{
    Spread s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[static_cast<std::size_t>(std::lround(q * (values.size() - 1)))]; };
    s.min = values.front();
    s.median = at(0.5);
    s.p90 = at(0.9);
    s.max = values.back();
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / values.size();
    return s;
}

QString SpreadText(const Spread& s, const char* unit)
{
    const QString u = QString::fromLatin1(unit);
    return QStringLiteral("median %1 %6 (min %2, mean %3, p90 %4, max %5)")
        .arg(s.median, 0, 'f', 2).arg(s.min, 0, 'f', 2).arg(s.mean, 0, 'f', 2)
        .arg(s.p90, 0, 'f', 2).arg(s.max, 0, 'f', 2).arg(u);
}

void Report(const QString& name, const QString& text)
{
    std::printf("%s: %s\n", qPrintable(name), qPrintable(text));
    std::fflush(stdout);
}

} // namespace tarnwick::bench

#pragma once
// An album whose every picture is one pure colour of its own (background,
// album covers, the categories' covers and photos; each thumbnail has the
// colour of its picture), with a program folder of quick settings: one
// Blend effect of a few frames, a short photo time, music off. A colour
// seen on screen then tells which picture is showing. The colours are
// chosen so that no frame of a blend between two of them comes near a
// third one.
//
// Album "Harbour Lights", 800 x 600:
//   Beach:   front cover, photos 1 and 2, no back cover
//   Harbour: photo 1 and a back cover, no front cover

// Qt
#include <QImage>
#include <QRgb>
#include <QString>
#include <QStringList>

namespace tarnwick::test {

// How fast the album plays.
struct Pace {
    const char* stopTime; // seconds a photo stays, as the settings text
    int blendTimes;       // frames of the Blend effect, 50 ms each
};

class ColourAlbum {
public:
    enum class Contents { Full, BackgroundOnly };

    // Writes the album into `root`/Album and the program folder into
    // `root`/program; check ok() afterwards.
    ColourAlbum(const QString& root, Pace pace, Contents contents = Contents::Full);

    bool ok() const { return m_ok; }
    // The player's command line for the album: "/1*<folder>/Album.ini".
    QString commandLine() const;
    QString programFolder() const;

    static QString title() { return QStringLiteral("Harbour Lights"); }
    // The name of the picture whose colour `rgb` is, or kInBetween.
    static QString nameOf(QRgb rgb);
    // The share of the pixels of `area` that have the colour of the
    // picture `name`; 0 for a null image.
    static double shareOf(const QImage& area, const QString& name);
    static inline const QString kInBetween = QStringLiteral("~");

private:
    QString m_root;
    bool m_ok = true;
};

} // namespace tarnwick::test

#pragma once
// The album the player-window measurements play: large JPEG photos with
// enough detail that decoding them costs what a real photo costs, small
// thumbnails, an album front and back cover and a background picture.
//
// Every picture carries a flat patch in its middle whose colour says what
// it is (the background, a cover, or photo n), so a measurement that only
// sees the screen can tell which picture is on show: it reads the colour
// of a few pixels inside the patch and decodes it with PictureAt.

// Qt
#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace tarnwick::bench {

struct BenchAlbumShape {
    int photos = 1000;
    int categories = 2;
    QSize picture{1600, 1200};
    QSize thumbnail{96, 72};
};

// What a patch colour stands for.
enum class ShownPicture { Unknown, Background, FrontCover, BackCover, Photo };

struct PictureCode {
    ShownPicture picture = ShownPicture::Unknown;
    int photo = 0; // photo number modulo the code period, for ShownPicture::Photo
};

// Photo codes repeat after this many photos; neighbours always differ.
constexpr int kPhotoCodePeriod = 64;

// The patch colour of photo n (1-based) and of the other pictures.
QColor PhotoCodeColour(int n);
QColor CodeColour(ShownPicture picture);
// The picture whose code lies nearest `colour`, Unknown when none lies
// close enough (a frame halfway through a transition, the side panel).
PictureCode PictureAt(const QColor& colour);

// The patch: the middle half of the picture in both directions.
QRect CodePatch(const QSize& size);

// A picture of `size` with gradients, shapes and grain (`seed` picks the
// look) and the code colour over `patch` (by default CodePatch).
QImage DetailedPicture(const QSize& size, int seed, const QColor& code, QRect patch = {});

// Writes the album into `folder` (album.ini, ResultPicture, MainAlbum) and
// returns the path of its album.ini. An album already there with the same
// shape is kept as it is. Empty when a file cannot be written. Prints its
// progress to stderr; takes minutes for a thousand photos.
QString WriteBenchAlbum(const QString& folder, const BenchAlbumShape& shape);

} // namespace tarnwick::bench

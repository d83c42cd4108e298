#pragma once
// Helpers of the album maker's tests: running the built tool, making test
// pictures and reading what the tool wrote.

// ours
#include "../albumlib/albumtestfiles.h"

// Qt
#include <QColor>
#include <QImage>
#include <QDateTime>
#include <QSize>
#include <QStringList>
#include <QVector>

namespace tarnwick::test {

struct MakerRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built album-maker with `arguments` and waits for it.
MakerRun runMaker(const QStringList& arguments);

// The folder of the built programs (and of the shipped playerprofile.ini).
QString binFolder();

// Writes a picture of `size` filled with `color`, creating missing folders.
// The format follows the extension (PNG for one Qt cannot write); a ".gif"
// is one red pixel, as Qt writes no GIF. The file gets fixedTime() as its
// modification time, so photos without a date come in the order of names.
void writePicture(const QString& path, QSize size = {32, 24}, QColor color = Qt::red);
void writePicture(const QString& path, const QImage& image);

QDateTime fixedTime();
void setModified(const QString& path, const QDateTime& time);

// One entry of a generated TIFF block: an ASCII text, or when `text` is
// empty a SHORT number.
struct TiffEntry {
    quint16 tag;
    QByteArray text;
    quint16 number = 0;
};

// A TIFF block as cameras write it in EXIF: the header, the first IFD at
// offset 8 with `ifd0` (plus the Exif IFD pointer, last, when `exifIfd` is
// not empty), the Exif IFD right after it, then the texts longer than four
// bytes. Entries stay in the order given.
QByteArray tiffBlock(bool bigEndian, const QVector<TiffEntry>& ifd0, const QVector<TiffEntry>& exifIfd = {});

// `jpeg` with an APP1 segment holding "Exif\0\0" and `tiff` after its SOI.
QByteArray withExif(const QByteArray& jpeg, const QByteArray& tiff);

// Puts an EXIF block into the JPEG file at `path`, keeping fixedTime().
void addExif(const QString& path, const QByteArray& tiff);

using testing::readBytes;
using testing::writeBytes;

// The value of the first key=value line of `text`, or "".
QString keyValue(const QString& text, const QString& key);

// Every file of `folder` and below with its bytes, relative names sorted.
QList<std::pair<QString, QByteArray>> treeBytes(const QString& folder);

// Every entry name of `folder` and below, relative, sorted.
QStringList listTree(const QString& folder);

} // namespace tarnwick::test

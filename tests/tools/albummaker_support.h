#pragma once
// Helpers of the album maker's tests: running the built tool, making test
// pictures and reading what the tool wrote.

// Qt
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tarnwick::test {

struct MakerRun {
    int exitCode = -1;
    QString out;
    QString err;
    // The lines of stderr, without empty ones.
    QStringList errLines() const;
};

// Runs the built album-maker with `arguments` and waits for it.
MakerRun runMaker(const QStringList& arguments);

// The folder of the built programs (and of the shipped playerprofile.ini).
QString binFolder();

// Writes a picture of `size` filled with `color`; the format follows the
// file's extension. Creates missing folders.
void writePicture(const QString& path, QSize size, QColor color);

// A GIF of one red pixel.
QByteArray tinyRedGif();

// Writes `bytes` to `path`, creating missing folders.
void writeBytes(const QString& path, const QByteArray& bytes);

QByteArray readBytes(const QString& path);

// The entries name -> (start, length) of one section of a picture index
// ("PicResultFile" or "PicThumbnailFile") in `text`.
QMap<QString, QPair<qint64, qint64>> indexEntries(const QString& text, const QString& section);

// The value of key=value lines in `text` (the first one), or "".
QString keyValue(const QString& text, const QString& key);

// Every entry name of `folder` and below, relative, sorted.
QStringList listTree(const QString& folder);

} // namespace tarnwick::test

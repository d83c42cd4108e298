#pragma once
// Helpers of the album maker's tests: running the built tool, making test
// pictures and reading what the tool wrote.

// ours
#include "../albumlib/albumtestfiles.h"

// Qt
#include <QColor>
#include <QSize>
#include <QStringList>

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
// is one red pixel, as Qt writes no GIF.
void writePicture(const QString& path, QSize size = {32, 24}, QColor color = Qt::red);

using testing::readBytes;
using testing::writeBytes;

// The value of the first key=value line of `text`, or "".
QString keyValue(const QString& text, const QString& key);

// Every entry name of `folder` and below, relative, sorted.
QStringList listTree(const QString& folder);

} // namespace tarnwick::test

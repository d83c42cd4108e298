// Loading pictures of every format the album uses at exactly the asked
// size, and the resize and paste helpers. Pictures are generated here:
// four coloured quarters, so a scaled or shifted result shows.

// ours
#include "albumpicturetool.h"
#include "albumtestfiles.h"
#include "inifile.h"

// Qt
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <sys/stat.h>
#include <tuple>

namespace tarnwick {
namespace {

using testing::writeBytes;

const QColor kQuarters[4] = {Qt::red, Qt::green, Qt::blue, Qt::white};

QImage quarters(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRect(QPoint(i % 2 * size.width() / 2, i / 2 * size.height() / 2), size), kQuarters[i]);
    return image;
}

// Qt writes no GIF: 4 x 4 pixels in the quarter colours, its LZW codes
// kept 3 bits wide by a clear code after every second pixel.
const QByteArray kQuartersGif = QByteArray::fromHex("47494638396104000400810000ff000000ff000000ffffffff2c000000"
                                                    "00040004000002"
                                                    "0a0498106042891b256e2c003b");

// The centre of each quarter shows its colour, to within `tolerance` per channel.
void expectQuarters(const QImage& image, int tolerance)
{
    for (int i = 0; i < 4; ++i) {
        const QRgb got = image.pixel((i % 2 * 2 + 1) * image.width() / 4, (i / 2 * 2 + 1) * image.height() / 4);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(got >> shift & 0xff, kQuarters[i].rgb() >> shift & 0xff, tolerance) << "quarter " << i;
    }
}

TEST(AlbumPictureTool, LoadsEveryFormatAtExactlyTheAskedSize)
{
    QTemporaryDir dir;
    const std::tuple<const char*, QSize, QSize, int> cases[] = {
        // format ("GIF" is spelled out above), source size, wanted size, tolerance
        {"JPG", {4000, 3000}, {800, 600}, 40}, // decoded at a quarter first
        {"JPG", {1600, 1200}, {201, 151}, 40}, // just above an eighth
        {"JPG", {64, 48}, {333, 77}, 40},      // enlarged to another shape
        {"PNG", {300, 200}, {150, 100}, 0},    {"BMP", {300, 200}, {640, 480}, 0}, {"GIF", {4, 4}, {60, 45}, 0},
    };
    for (const auto& [format, source, wanted, tolerance] : cases) {
        SCOPED_TRACE(format);
        const QString path = dir.path() + "/Picture." + QString(format).toLower();
        const bool gif = QByteArray(format) == "GIF";
        ASSERT_TRUE(gif ? writeBytes(path, kQuartersGif) : quarters(source).save(path, format, 90));
        // The player writes paths Windows-style and upper-cased.
        const QString written = (dir.path() + "\\Picture." + format).toUpper();
        const QImage loaded = AlbumPictureTool().LoadPicture(written, wanted.width(), wanted.height());
        const QImage own = AlbumPictureTool().OpenPicture(written);
        EXPECT_EQ(loaded.size(), wanted);
        EXPECT_EQ(own.size(), source);
        for (const QImage& image : {loaded, own}) {
            EXPECT_EQ(image.format(), QImage::Format_RGB32);
            expectQuarters(image, tolerance);
        }
    }
}

TEST(AlbumPictureTool, GivesNothingForWhatCannotBeLoaded)
{
    QTemporaryDir dir;
    const QString good = dir.path() + "/good.png";
    ASSERT_TRUE(quarters({40, 30}).save(good) && quarters({400, 300}).save(dir.path() + "/whole.jpg"));
    ASSERT_TRUE(writeBytes(dir.path() + "/cut.jpg", testing::readBytes(dir.path() + "/whole.jpg").left(200)));
    ASSERT_TRUE(writeBytes(dir.path() + "/broken.jpg", "this is no picture"));
    const std::tuple<QString, int, int> cases[] = {
        {dir.path() + "/missing.jpg", 10, 10}, {dir.path() + "/broken.jpg", 10, 10},
        {dir.path() + "/cut.jpg", 10, 10}, {QString(), 10, 10}, {dir.path(), 10, 10}, {good, 0, 10}, {good, 10, -1},
    };
    for (const auto& [path, width, height] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(AlbumPictureTool().LoadPicture(path, width, height).isNull());
        EXPECT_TRUE(AlbumPictureTool().ResizePicture(AlbumPictureTool().OpenPicture(path), width, height).isNull());
        EXPECT_EQ(AlbumPictureTool().OpenPicture(path).isNull(), path != good);
    }
}

TEST(AlbumPictureTool, ShowsTransparencyBlackAndPastesClippedOntoACopyOfTheCanvas)
{
    QTemporaryDir dir;
    QImage clear(20, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(clear.save(dir.path() + "/clear.png"));
    EXPECT_EQ(AlbumPictureTool().LoadPicture(dir.path() + "/clear.png", 10, 5).pixel(3, 3), qRgb(0, 0, 0));

    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    QImage source(4, 4, QImage::Format_ARGB32);
    source.fill(Qt::transparent);
    QPainter(&source).fillRect(0, 0, 2, 4, Qt::blue);
    for (const QPoint& at : {QPoint(3, 3), QPoint(-1, -2), QPoint(8, 9), QPoint(10, 0)}) {
        QImage expected = canvas.copy();
        QPainter painter(&expected);
        painter.fillRect(QRect(at, QSize(2, 4)), Qt::blue);
        painter.fillRect(QRect(at + QPoint(2, 0), QSize(2, 4)), Qt::black);
        painter.end();
        EXPECT_EQ(AlbumPictureTool().PastePicture(source, canvas, at.x(), at.y()), expected) << at.x() << "," << at.y();
    }
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(AlbumPictureTool().PastePicture(QImage(), canvas, 0, 0), canvas);
    EXPECT_TRUE(AlbumPictureTool().PastePicture(source, QImage(), 0, 0).isNull());
}

TEST(AlbumPictureTool, ReadsOnlyRegularFilesAndNeverWaitsOnOthers)
{
    // A FIFO without a writer would block an open() for ever; a device
    // would read without end; a folder is no picture.
    QTemporaryDir dir;
    const QString fifo = dir.filePath("picture.jpg");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        EXPECT_TRUE(AlbumPictureTool().LoadPicture(path, 8, 8).isNull()) << path.toStdString();
        EXPECT_TRUE(AlbumPictureTool().OpenPicture(path).isNull()) << path.toStdString();
        EXPECT_EQ(IniFile().ReadTextFile(path), QString()) << path.toStdString();
    }
    // Sizes beyond what the player ever makes give nothing.
    const QImage one(1, 1, QImage::Format_RGB32);
    EXPECT_TRUE(AlbumPictureTool().ResizePicture(one, 16385, 1).isNull());
    EXPECT_TRUE(AlbumPictureTool().ResizePicture(one, 9000, 9000).isNull());
}

} // namespace
} // namespace tarnwick

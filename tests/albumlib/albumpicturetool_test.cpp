// Loading pictures of every format the album uses at exactly the asked
// size, and the resize and paste helpers. Pictures are generated here:
// four coloured quarters, so a scaled or shifted result shows.

// ours
#include "albumpicturetool.h"
#include "albumtestfiles.h"

// Qt
#include <QPainter>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <cstdlib>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

using testing::readBytes;
using testing::writeBytes;

const QRgb kQuarters[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};

QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int hw = width / 2;
    const int hh = height / 2;
    painter.fillRect(0, 0, hw, hh, QColor(kQuarters[0]));
    painter.fillRect(hw, 0, width - hw, hh, QColor(kQuarters[1]));
    painter.fillRect(0, hh, hw, height - hh, QColor(kQuarters[2]));
    painter.fillRect(hw, hh, width - hw, height - hh, QColor(kQuarters[3]));
    return image;
}

// Qt writes no GIF, so the test spells one out: 4 x 4 pixels in the four
// quarter colours, its LZW codes kept 3 bits wide by a clear code after
// every second pixel.
QByteArray quartersGif()
{
    return QByteArray("GIF89a\x04\x00\x04\x00\x81\x00\x00", 13)      // screen, 4-colour table
        + QByteArray("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12) // red green blue white
        + QByteArray("\x2C\x00\x00\x00\x00\x04\x00\x04\x00\x00", 10)     // image 4 x 4
        + QByteArray("\x02\x0A\x04\x98\x10\x60\x42\x89\x1B\x25\x6E\x2C\x00", 13) // codes
        + QByteArray("\x3B", 1);
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

void expectQuarters(const QImage& image, int tolerance)
{
    const int w = image.width();
    const int h = image.height();
    const QPoint centres[4] = {{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4}};
    for (int i = 0; i < 4; ++i) {
        const QRgb got = image.pixel(centres[i]);
        EXPECT_TRUE(near(got, kQuarters[i], tolerance))
            << "quarter " << i << " is " << std::hex << got << " not " << kQuarters[i];
    }
}

class AlbumPictureToolTest : public ::testing::Test {
protected:
    QString save(const QString& name, const QImage& image, const char* format)
    {
        const QString path = m_dir.path() + u'/' + name;
        EXPECT_TRUE(image.save(path, format, 90));
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(AlbumPictureToolTest, LoadsEveryFormatAtExactlyTheAskedSize)
{
    struct Case {
        const char* name;
        const char* format; // "GIF" is spelled out by the test
        QSize source;
        QSize wanted;
        int tolerance;
    };
    const Case cases[] = {
        {"12 megapixel JPEG to the display", "JPG", {4000, 3000}, {800, 600}, 40},
        {"JPEG to an odd size and shape", "JPG", {3200, 2400}, {333, 77}, 40},
        {"JPEG just above a decode step", "JPG", {1600, 1200}, {201, 151}, 40},
        {"JPEG enlarged", "JPG", {64, 48}, {640, 480}, 40},
        {"PNG", "PNG", {300, 200}, {150, 100}, 0},
        {"BMP", "BMP", {300, 200}, {640, 480}, 0},
        {"GIF", "GIF", {4, 4}, {60, 45}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = QStringLiteral("Picture.") + QString(c.format).toLower();
        QString path = m_dir.path() + u'/' + file;
        if (QByteArray(c.format) == "GIF")
            EXPECT_TRUE(writeBytes(path, quartersGif()));
        else
            save(file, quarters(c.source.width(), c.source.height()), c.format);
        // The player writes paths Windows-style and upper-cased.
        path = (m_dir.path() + u'\\' + file).toUpper();
        const QImage image = AlbumPictureTool().LoadPicture(path, c.wanted.width(), c.wanted.height(), 0, 0);
        ASSERT_EQ(image.size(), c.wanted);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        expectQuarters(image, c.tolerance);

        const QImage own = AlbumPictureTool().OpenPicture(path);
        ASSERT_EQ(own.size(), c.source);
        EXPECT_EQ(own.format(), QImage::Format_RGB32);
        expectQuarters(own, c.tolerance);
    }
}

TEST_F(AlbumPictureToolTest, GivesNothingForWhatCannotBeLoaded)
{
    const QString good = save("good.png", quarters(40, 30), "PNG");
    const QString broken = m_dir.path() + "/broken.jpg";
    ASSERT_TRUE(writeBytes(broken, "this is no picture"));
    const QString truncated = m_dir.path() + "/truncated.jpg";
    ASSERT_TRUE(writeBytes(truncated, readBytes(save("whole.jpg", quarters(400, 300), "JPG")).left(200)));
    struct Case {
        const char* name;
        QString path;
        int width;
        int height;
    };
    const Case cases[] = {
        {"missing file", m_dir.path() + "/missing.jpg", 10, 10},
        {"not a picture", broken, 10, 10},
        {"cut-off JPEG", truncated, 10, 10},
        {"empty path", QString(), 10, 10},
        {"folder", m_dir.path(), 10, 10},
        {"zero width", good, 0, 10},
        {"negative height", good, 10, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(AlbumPictureTool().LoadPicture(c.path, c.width, c.height).isNull());
        EXPECT_TRUE(AlbumPictureTool().ResizePicture(QImage(), c.width, c.height).isNull());
        if (c.width > 0 && c.height > 0) {
            EXPECT_EQ(AlbumPictureTool().OpenPicture(c.path).isNull(), c.path != good);
        }
    }
}

TEST_F(AlbumPictureToolTest, ShowsTransparencyBlackAndLoadsOnSeveralThreads)
{
    QImage clear(20, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QString clearPath = save("clear.png", clear, "PNG");
    EXPECT_EQ(AlbumPictureTool().LoadPicture(clearPath, 10, 5).pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(AlbumPictureTool().ResizePicture(clear, 10, 5).pixel(3, 3), qRgb(0, 0, 0));

    // The player loads the next picture off the window thread.
    const QString path = save("shared.jpg", quarters(1600, 1200), "JPG");
    const QImage expected = AlbumPictureTool().LoadPicture(path, 320, 240);
    std::vector<QImage> results(4);
    std::vector<std::thread> threads;
    for (QImage& result : results)
        threads.emplace_back([&result, &path] { result = AlbumPictureTool().LoadPicture(path, 320, 240); });
    for (std::thread& thread : threads)
        thread.join();
    for (const QImage& result : results)
        EXPECT_EQ(result, expected);
}

TEST(AlbumPictureToolEdit, PastesClippedOntoACopyOfTheCanvas)
{
    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(qRgb(0, 0, 255));
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(qRgb(255, 0, 0));
    const QPoint places[] = {{3, 3}, {0, 0}, {-2, -2}, {8, 9}, {6, 6}, {10, 0}, {-4, -4}};
    for (const QPoint& at : places) {
        SCOPED_TRACE(::testing::Message() << at.x() << "," << at.y());
        const QImage result = AlbumPictureTool().PastePicture(source, canvas, at.x(), at.y());
        ASSERT_EQ(result.size(), canvas.size());
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                const bool inside = QRect(at, QSize(4, 4)).contains(x, y);
                EXPECT_EQ(result.pixel(x, y), inside ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
            }
        }
    }
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(AlbumPictureTool().PastePicture(QImage(), canvas, 0, 0), canvas);
    EXPECT_TRUE(AlbumPictureTool().PastePicture(source, QImage(), 0, 0).isNull());
}

} // namespace
} // namespace tarnwick

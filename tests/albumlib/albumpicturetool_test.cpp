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

// Qt writes no GIF, so the test writes one itself: a 256-colour GIF whose
// LZW codes stay 9 bits wide because a clear code comes every 250 pixels.
QByteArray quartersGif(int width, int height)
{
    QByteArray gif("GIF89a");
    auto word = [&gif](int value) {
        gif += char(value & 0xff);
        gif += char((value >> 8) & 0xff);
    };
    word(width);
    word(height);
    gif += char(0xF7);
    gif += char(0);
    gif += char(0);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < 4 ? kQuarters[i] : qRgb(0, 0, 0);
        gif += char(qRed(c));
        gif += char(qGreen(c));
        gif += char(qBlue(c));
    }
    gif += char(0x2C);
    word(0);
    word(0);
    word(width);
    word(height);
    gif += char(0);
    gif += char(8);

    QByteArray data;
    quint32 bits = 0;
    int bitCount = 0;
    auto code = [&](int value) {
        bits |= quint32(value) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            data += char(bits & 0xff);
            bits >>= 8;
            bitCount -= 8;
        }
    };
    const int clear = 256;
    const int end = 257;
    code(clear);
    int sinceClear = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            code((y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0));
            if (++sinceClear == 250) {
                code(clear);
                sinceClear = 0;
            }
        }
    }
    code(end);
    if (bitCount > 0)
        data += char(bits & 0xff);
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        gif += char(block.size());
        gif += block;
    }
    gif += char(0);
    gif += char(0x3B);
    return gif;
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
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

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
        const char* format; // "GIF" is written by hand
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
        {"GIF", "GIF", {120, 90}, {60, 45}, 0},
        {"one pixel wide", "PNG", {300, 200}, {1, 1}, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = QStringLiteral("picture.") + QString(c.format).toLower();
        QString path;
        if (QByteArray(c.format) == "GIF") {
            path = m_dir.path() + u'/' + file;
            ASSERT_TRUE(writeBytes(path, quartersGif(c.source.width(), c.source.height())));
        } else {
            path = save(file, quarters(c.source.width(), c.source.height()), c.format);
        }
        const QImage image = AlbumPictureTool().LoadPicture(path, c.wanted.width(), c.wanted.height(), 0, 0);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), c.wanted);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        expectQuarters(image, c.tolerance);

        const QImage own = AlbumPictureTool().OpenPicture(path);
        EXPECT_EQ(own.size(), c.source);
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
    QFile jpeg(save("whole.jpg", quarters(400, 300), "JPG"));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    ASSERT_TRUE(writeBytes(truncated, jpeg.read(200)));

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
    }
    EXPECT_TRUE(AlbumPictureTool().OpenPicture(broken).isNull());
    EXPECT_TRUE(AlbumPictureTool().OpenPicture(m_dir.path() + "/missing.png").isNull());
}

TEST_F(AlbumPictureToolTest, ReadsWindowsStylePathsAndShowsTransparencyBlack)
{
    QImage clear(20, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    save("Clear.png", clear, "PNG");
    const QString written = m_dir.path() + "\\CLEAR.PNG";
    const QImage loaded = AlbumPictureTool().LoadPicture(written, 10, 5);
    ASSERT_EQ(loaded.size(), QSize(10, 5));
    EXPECT_EQ(loaded.pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(AlbumPictureTool().OpenPicture(written).pixel(3, 3), qRgb(0, 0, 0));
}

TEST_F(AlbumPictureToolTest, LoadsOnSeveralThreadsAtOnce)
{
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

TEST(AlbumPictureToolEdit, ResizesExactly)
{
    const QImage source = quarters(100, 80);
    struct Case {
        int width;
        int height;
        bool null;
    };
    const Case cases[] = {{100, 80, false}, {37, 200, false}, {1, 1, false}, {0, 5, true}, {5, -5, true}};
    for (const Case& c : cases) {
        const QImage image = AlbumPictureTool().ResizePicture(source, c.width, c.height, 0, 0);
        EXPECT_EQ(image.isNull(), c.null);
        if (!c.null) {
            EXPECT_EQ(image.size(), QSize(c.width, c.height));
            EXPECT_EQ(image.format(), QImage::Format_RGB32);
        }
    }
    EXPECT_TRUE(AlbumPictureTool().ResizePicture(QImage(), 10, 10).isNull());
    QImage argb(8, 8, QImage::Format_ARGB32);
    argb.fill(qRgb(9, 8, 7));
    EXPECT_EQ(AlbumPictureTool().ResizePicture(argb, 8, 8).pixel(2, 2), qRgb(9, 8, 7));
}

TEST(AlbumPictureToolEdit, PastesClippedOntoACopyOfTheCanvas)
{
    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(qRgb(0, 0, 255));
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(qRgb(255, 0, 0));
    struct Case {
        int x;
        int y;
        int red; // pixels of the source on the result
    };
    const Case cases[] = {{3, 3, 16}, {0, 0, 16}, {-2, -2, 4}, {8, 9, 2}, {6, 6, 16}, {10, 0, 0}, {-4, -4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        const QImage result = AlbumPictureTool().PastePicture(source, canvas, c.x, c.y);
        ASSERT_EQ(result.size(), canvas.size());
        int red = 0;
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                const bool inside = x >= c.x && x < c.x + 4 && y >= c.y && y < c.y + 4;
                EXPECT_EQ(result.pixel(x, y), inside ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
                red += inside;
            }
        }
        EXPECT_EQ(red, c.red);
    }
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(AlbumPictureTool().PastePicture(QImage(), canvas, 0, 0), canvas);
    EXPECT_TRUE(AlbumPictureTool().PastePicture(source, QImage(), 0, 0).isNull());
}

} // namespace
} // namespace tarnwick

// The album maker's EXIF reader on generated blocks, well-formed and not.

// ours
#include "albummaker_support.h"
#include "exifreader.h"

// Qt
#include <QBuffer>
#include <QImage>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <functional>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

constexpr quint16 Make = 0x010F;
constexpr quint16 Model = 0x0110;
constexpr quint16 DateTime = 0x0132;
constexpr quint16 Orientation = 0x0112;
constexpr quint16 DateTimeOriginal = 0x9003;

// Entry k of the first IFD begins at this offset of tiffBlock()'s blocks.
constexpr int entryAt(int k)
{
    return 10 + 12 * k;
}

void put32(QByteArray& block, int at, quint32 value)
{
    const bool big = block.startsWith("MM");
    for (int i = 0; i < 4; ++i)
        block[at + i] = char(value >> (8 * (big ? 3 - i : i)));
}

QString describe(const ExifData& data)
{
    return data.taken.toString("yyyy-MM-dd HH:mm:ss") + " / " + data.camera;
}

QByteArray smallJpeg()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpeg");
    return jpeg;
}

// Make, Model and DateTime in the first IFD, then the Exif pointer;
// DateTimeOriginal in the Exif IFD.
QByteArray usualBlock(bool bigEndian)
{
    return tiffBlock(
        bigEndian,
        {{Make, "Canon"}, {Model, "Canon EOS R6"}, {Orientation, {}, 6}, {DateTime, "2030:01:01 00:00:00"}},
        {{DateTimeOriginal, "2024:05:17 14:03:22"}});
}

TEST(ExifReaderTest, ReadsDateAndCameraAndNothingFromBadBlocks)
{
    const QString usual = "2024-05-17 14:03:22 / Canon EOS R6";
    const std::tuple<const char*, std::function<QByteArray(bool)>, QString> cases[] = {
        {"usual", usualBlock, usual},
        {"date time when no original",
         [](bool be) { return tiffBlock(be, {{DateTime, "2023:12:31 23:59:59"}, {Model, "X100V"}}); },
         "2023-12-31 23:59:59 / X100V"},
        {"make put before a model without it",
         [](bool be) { return tiffBlock(be, {{Make, "NIKON CORPORATION"}, {Model, "NIKON D750"}}); },
         " / NIKON CORPORATION NIKON D750"},
        {"make alone, short texts inside their entries",
         [](bool be) { return tiffBlock(be, {{Make, "Leic"}}); }, " / Leic"},
        {"make inside the model in other letters",
         [](bool be) { return tiffBlock(be, {{Make, "google"}, {Model, "Google Pixel 7"}}); }, " / Google Pixel 7"},
        {"no tags", [](bool be) { return tiffBlock(be, {{Orientation, {}, 1}}); }, " / "},
        {"zero date", [](bool be) { return tiffBlock(be, {{DateTime, "0000:00:00 00:00:00"}}); }, " / "},
        {"bad magic",
         [](bool be) {
             QByteArray b = usualBlock(be);
             b[be ? 3 : 2] = 43;
             return b;
         },
         " / "},
        {"first IFD far outside",
         [](bool be) {
             QByteArray b = usualBlock(be);
             put32(b, 4, 0xFFFFFFF0u);
             return b;
         },
         " / "},
        {"entry count beyond the block",
         [](bool be) {
             QByteArray b = usualBlock(be);
             b[8] = b[9] = char(0xFF);
             return b;
         },
         usual},
        {"text offset outside",
         [](bool be) {
             QByteArray b = usualBlock(be);
             put32(b, entryAt(1) + 8, 0xFFFFFFF8u);
             return b;
         },
         "2024-05-17 14:03:22 / Canon"},
        {"text count wrapping around",
         [](bool be) {
             QByteArray b = usualBlock(be);
             put32(b, entryAt(1) + 4, 0xFFFFFFFFu);
             return b;
         },
         "2024-05-17 14:03:22 / Canon"},
        {"Exif pointer outside",
         [](bool be) {
             QByteArray b = usualBlock(be);
             put32(b, entryAt(4) + 8, 0x7FFFFFFFu);
             return b;
         },
         "2030-01-01 00:00:00 / Canon EOS R6"},
        {"Exif pointer to the first IFD",
         [](bool be) {
             QByteArray b = usualBlock(be);
             put32(b, entryAt(4) + 8, 8);
             return b;
         },
         "2030-01-01 00:00:00 / Canon EOS R6"},
        {"cut inside the first date", [](bool be) { return usualBlock(be).chopped(10); },
         "2030-01-01 00:00:00 / Canon EOS R6"},
        {"cut inside the model", [](bool be) { return usualBlock(be).chopped(45); }, " / Canon"},
        {"cut inside the header", [](bool be) { return usualBlock(be).left(6); }, " / "},
    };
    for (const bool bigEndian : {false, true}) {
        for (const auto& [name, block, expected] : cases) {
            SCOPED_TRACE(std::string(name) + (bigEndian ? " (big-endian)" : " (little-endian)"));
            EXPECT_EQ(describe(ExifReader::fromJpeg(withExif(smallJpeg(), block(bigEndian)))), expected);
        }
        // Every shorter block reads as part of the data or none, never
        // from outside it (the sanitizer build would catch that).
        const QByteArray whole = usualBlock(bigEndian);
        for (qsizetype n = 0; n < whole.size(); ++n) {
            const ExifData data = ExifReader::fromTiff(whole.left(n));
            EXPECT_TRUE(QStringList({"", "Canon", "Canon EOS R6"}).contains(data.camera)) << n;
            EXPECT_TRUE(QStringList({"", "2030-01-01", "2024-05-17"}).contains(data.taken.toString("yyyy-MM-dd")))
                << n;
        }
    }
}

TEST(ExifReaderTest, FindsTheBlockAmongTheSegments)
{
    const QByteArray tiff = usualBlock(false);
    const QByteArray jpeg = smallJpeg();
    const QByteArray app1 = withExif(jpeg, tiff).mid(2, tiff.size() + 10);
    const QByteArray xmp = QByteArray::fromHex("ffe1000a") + "http:/\\0";
    const std::tuple<const char*, QByteArray, bool> cases[] = {
        {"first", jpeg.left(2) + app1 + jpeg.mid(2), true},
        {"after JFIF and XMP, with fill bytes", jpeg.left(20) + xmp + "\xff\xff" + app1 + jpeg.mid(20), true},
        {"after the image data", jpeg.chopped(2) + app1 + jpeg.right(2), false},
        {"segment longer than the file", (jpeg.left(2) + app1).chopped(1), false},
        {"no JPEG", QByteArray("\x89PNG\r\n\x1a\n") + app1, false},
        {"empty", QByteArray(), false},
    };
    for (const auto& [name, bytes, found] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ExifReader::fromJpeg(bytes).camera, found ? "Canon EOS R6" : "");
    }
}

} // namespace

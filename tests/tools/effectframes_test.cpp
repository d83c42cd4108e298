// Every variant of every effect, rendered by the render tool with the
// shipped settings at an odd size, draws exactly the frames it drew when
// this table was made: a faster kernel must not change one bit. A changed
// checksum names the effect and variant; to see what differs, render both
// versions with the same command and compare the frames.
// TARNWICK_PRINT_FRAME_SUMS=1 prints the table as the code draws it now.

// Qt
#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// std
#include <cstdio>

namespace {

// A picture with something different in every pixel, so that any change of
// a blend weight, an edge or an offset shows in the sum.
QImage pattern(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed * 31) & 255, (y * 11 + x * 3 + seed) & 255, (x * y + seed * 5) & 255));
    return image;
}

struct Render {
    const char* effect;
    int variant;   // -1: the drawn one
    int stagger;   // Shutter only; -1: the drawn one
    const char* sum;
};

// Made from the effects as they drew before their kernels were sped up.
const Render kRenders[] = {
#include "effectframes_sums.inc"
};

// The checksum of all frames the tool wrote into `folder`, in order.
QString framesSum(const QString& folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QStringList frames = QDir(folder).entryList({"frame_*.png"}, QDir::Files, QDir::Name);
    for (const QString& name : frames) {
        const QImage frame = QImage(folder + '/' + name).convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < frame.height(); ++y)
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(frame.constScanLine(y)), frame.width() * 4));
    }
    return QString::number(frames.size()) + ':' + QString::fromLatin1(hash.result().toHex().left(16));
}

TEST(EffectFrames, EveryVariantDrawsTheFramesItDrewBefore)
{
    QTemporaryDir dir;
    ASSERT_TRUE(pattern(61, 37, 1).save(dir.filePath("a.png")) && pattern(61, 37, 2).save(dir.filePath("b.png"))
                && pattern(61, 37, 3).save(dir.filePath("bg.png")));
    const bool print = qEnvironmentVariableIntValue("TARNWICK_PRINT_FRAME_SUMS") == 1;
    int index = 0;
    for (const Render& r : kRenders) {
        const QString out = dir.filePath(QString::number(index++));
        QStringList args{"--effect", r.effect, "--from", dir.filePath("a.png"), "--to", dir.filePath("b.png"),
                         "--background", dir.filePath("bg.png"), "--seed", "7", "--out", out,
                         "--settings", TARNWICK_SOURCE_DIR "/data/playerprofile.ini"};
        if (r.variant >= 0)
            args << "--variant" << QString::number(r.variant);
        if (r.stagger >= 0)
            args << "--stagger" << QString::number(r.stagger);
        QProcess tool;
        tool.start(TARNWICK_BIN_DIR "/tarnwick-render-transition", args);
        ASSERT_TRUE(tool.waitForFinished(60000) && tool.exitCode() == 0) << r.effect << ' ' << r.variant;
        const QString sum = framesSum(out);
        if (print)
            std::printf("    {\"%s\", %d, %d, \"%s\"},\n", r.effect, r.variant, r.stagger, qPrintable(sum));
        else
            EXPECT_EQ(sum.toStdString(), r.sum) << r.effect << " variant " << r.variant << " stagger " << r.stagger;
        QDir(out).removeRecursively();
    }
}

} // namespace

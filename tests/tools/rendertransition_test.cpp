// render-transition run as a user runs it: options, settings and seed to the engine, frames out, failures.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const QRgb kA = qRgb(200, 0, 0), kB = qRgb(0, 200, 0), kBlue = qRgb(0, 0, 220);

QImage solid(QRgb colour, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// Something different in every pixel, so any change of a weight, edge or offset shows.
QImage pattern(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed * 31) & 255, (y * 11 + x * 3 + seed) & 255, (x * y + seed * 5) & 255));
    return image;
}

struct RunResult {
    int status = -1;
    QStringList out, err; // lines
};

// A folder with a.png (all kA) and b.png (all kB), 40 x 30, where the tool runs.
class RenderTransitionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(solid(kA, 40, 30).save(path("a.png")) && solid(kB, 40, 30).save(path("b.png"))); }
    QString path(const QString& name) const { return dir.filePath(name); }

    // From a.png to b.png with `section`'s Times as the whole settings file (CR LF lines).
    RunResult render(const QString& effect, const QString& section, const QString& times, const QStringList& extra)
    {
        QFile f(path("settings.ini"));
        const QString text = QString("[%1]\r\n%1Times(How many loop times to finish?)=%2\r\n").arg(section, times);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) > 0);
        f.close();
        return run(QStringList{"--effect", effect, "--from", path("a.png"), "--to", path("b.png"), "--settings",
                               f.fileName()} + extra);
    }

    RunResult run(const QStringList& args)
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(TARNWICK_BIN_DIR "/tarnwick-render-transition"), args);
        RunResult r;
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
            return r;
        r.status = p.exitCode();
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        r.err = QString::fromLocal8Bit(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        return r;
    }

    QStringList frameFiles(const QString& folder) const
    {
        return QDir(path(folder)).entryList({"frame_*"}, QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(RenderTransitionTest, SettingsExportNameAndFrameListReachTheEngineAndTheFrameFiles)
{
    struct Case { const char *effect, *section, *times; QStringList extra;
                  const char *frames, *summary, *files; };
    const Case cases[] = {
        {"Blend", "Blend", "7", {"--variant", "0"}, "none", "frames=7 hooks=7 virtual_ms=350", ""},
        {"blend", "Blend", "7", {"--export"}, "none", "frames=100 hooks=100 virtual_ms=5000", ""},
        // A key missing from the file takes the default (Mask's Interval 10 is below its 20 ms pause).
        {"MASK", "Mask", "5", {}, "none", "frames=5 hooks=5 virtual_ms=100", ""},
        {"Blend", "Blend", "3", {"--variant", "0", "--size", "20x10"}, "all", "frames=3 hooks=3 virtual_ms=150",
         "frame_0001.png frame_0002.png frame_0003.png"},
        {"Blend", "Blend", "3", {"--variant", "0"}, "3, 1,1", "frames=3 hooks=3 virtual_ms=150",
         "frame_0001.png frame_0003.png"},
        {"Drag", "Drag", "2", {"--variant", "7", "--background", "bg.png"}, "1", "frames=2 hooks=2 virtual_ms=20",
         "frame_0001.png"},
        // A failure ends the run with its message before the summary.
        {"Blend", "Blend", "abc", {}, "none", "error: Type mismatch\nframes=0 hooks=0 virtual_ms=0", ""},
    };
    ASSERT_TRUE(solid(kBlue, 8, 6).save(path("bg.png")));
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.effect << ' ' << c.times << ' ' << c.extra.join(' ').toStdString());
        const QString out = QString::number(n++);
        const QStringList extra = c.extra + QStringList{"--frames", c.frames, "--out", out};
        const RunResult r = render(c.effect, c.section, c.times, extra);
        const QString summary = QString::fromLatin1(c.summary);
        EXPECT_EQ(r.status, summary.startsWith("error") ? 2 : 0);
        EXPECT_EQ(r.out.mid(r.out.size() - summary.count('\n') - 1).join('\n'), summary);
        EXPECT_TRUE(r.err.isEmpty()) << r.err.join('\n').toStdString();
        EXPECT_EQ(frameFiles(out).join(' '), QString::fromLatin1(c.files));
    }
    // Opaque RGB: PNG bit depth 8, colour type 2. Alpha 85: (200 x 170 + 127) / 255 = 133, (200 x 85 + 127) / 255 = 67.
    QFile png(path("3/frame_0001.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray header = png.read(26);
    EXPECT_EQ(header.mid(12, 4) + header.mid(24, 2), QByteArray("IHDR\x08\x02"));
    const auto frame = [&](const char* name) { return QImage(path(name)).convertToFormat(QImage::Format_RGB32); };
    EXPECT_TRUE(frame("3/frame_0001.png") == solid(qRgb(133, 67, 0), 20, 10));
    EXPECT_TRUE(frame("3/frame_0003.png") == solid(kB, 20, 10));
    // The background, scaled from 8 x 6, where a diagonal Drag (5) uncovers it: A bottom right, B top left.
    const QImage drag(path("5/frame_0001.png"));
    const std::pair<QPoint, QRgb> probes[] = {{{5, 5}, kB}, {{30, 5}, kBlue}, {{5, 20}, kBlue}, {{30, 20}, kA}};
    for (const auto& [at, colour] : probes)
        EXPECT_EQ(drag.pixel(at) & 0xFFFFFF, colour & 0xFFFFFF) << at.x() << "," << at.y();
}

TEST_F(RenderTransitionTest, BadCommandLinesEndWithOneLineAndStatusOne)
{
    const QString a = path("a.png"), b = path("b.png");
    QFile(path("not-a-picture.png")).open(QIODevice::WriteOnly);
    const QStringList blend{"--effect", "Blend", "--from", a, "--to", b};
    const std::pair<const char*, QStringList> cases[] = {
        {"no effect", {"--from", a, "--to", b}},
        {"no incoming picture", {"--effect", "Blend", "--from", a}},
        {"unknown option", blend + QStringList{"--speed", "2"}},
        {"option without value", blend + QStringList{"--seed"}},
        {"stray argument", blend + QStringList{"extra"}},
        {"size without height", blend + QStringList{"--size", "20"}},
        {"empty size", blend + QStringList{"--size", "0x5"}},
        {"negative variant", blend + QStringList{"--variant", "-1"}},
        {"stagger 2", {"--effect", "Shutter", "--from", a, "--to", b, "--stagger", "2"}},
        {"seed not a number", blend + QStringList{"--seed", "x1"}},
        {"frame 0", blend + QStringList{"--frames", "0,1"}},
        {"frame list with a word", blend + QStringList{"--frames", "1,two"}},
        {"missing picture", {"--effect", "Blend", "--from", path("none.png"), "--to", b}},
        {"unreadable picture", {"--effect", "Blend", "--from", a, "--to", path("not-a-picture.png")}},
        {"missing background", {"--effect", "Drag", "--from", a, "--to", b, "--background", path("no.png")}},
        {"missing settings", blend + QStringList{"--settings", path("no.ini")}},
        {"a name that matches no effect plays nothing", {"--effect", "Fade", "--from", a, "--to", b}},
    };
    for (const auto& [name, args] : cases) {
        SCOPED_TRACE(name);
        const RunResult r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.size(), 1) << r.err.join('\n').toStdString();
        EXPECT_EQ(r.out, args.contains("Fade") ? QStringList{"frames=0 hooks=0 virtual_ms=0"} : QStringList());
    }
    EXPECT_TRUE(frameFiles(".").isEmpty());
    const QString help = run({"--help"}).out.join('\n');
    for (const char* option : {"--effect", "--from", "--to", "--background", "--size", "--variant", "--stagger",
                               "--seed", "--settings", "--export", "--out", "--frames", "frames=N hooks=H virtual_ms=T"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

// Every variant's frames bit for bit (TARNWICK_PRINT_FRAME_SUMS=1 prints the table as drawn now).
TEST_F(RenderTransitionTest, EveryVariantDrawsTheFramesItDrewBefore)
{
    struct Render { const char* effect; int variant, stagger; const char* sum; }; // -1: drawn
    const Render renders[] = {
#include "effectframes_sums.inc"
    };
    ASSERT_TRUE(pattern(61, 37, 1).save(path("a.png")) && pattern(61, 37, 2).save(path("b.png"))
                && pattern(61, 37, 3).save(path("bg.png")));
    const bool print = qEnvironmentVariableIntValue("TARNWICK_PRINT_FRAME_SUMS") == 1;
    for (const Render& r : renders) {
        QStringList args{"--effect", r.effect, "--from", "a.png", "--to", "b.png", "--background", "bg.png", "--seed",
                         "7", "--out", "f", "--settings", TARNWICK_SOURCE_DIR "/data/playerprofile.ini"};
        for (const auto& [option, value] : {std::pair{"--variant", r.variant}, {"--stagger", r.stagger}})
            value >= 0 ? void(args << option << QString::number(value)) : void();
        ASSERT_EQ(run(args).status, 0) << r.effect << ' ' << r.variant;
        QCryptographicHash hash(QCryptographicHash::Sha1);
        const QStringList frames = frameFiles("f");
        for (const QString& name : frames) {
            const QImage frame = QImage(path("f/" + name)).convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < frame.height(); ++y)
                hash.addData(QByteArrayView(reinterpret_cast<const char*>(frame.constScanLine(y)), frame.width() * 4));
        }
        const QString sum = QString::number(frames.size()) + ':' + QString::fromLatin1(hash.result().toHex().left(16));
        if (print)
            std::printf("    {\"%s\", %d, %d, \"%s\"},\n", r.effect, r.variant, r.stagger, qPrintable(sum));
        else
            EXPECT_EQ(sum.toStdString(), r.sum) << r.effect << " variant " << r.variant << " stagger " << r.stagger;
        QDir(path("f")).removeRecursively();
    }
}

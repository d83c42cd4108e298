// render-transition run as a user runs it, on pictures and settings files
// made here. The engine's counts, pixels and failures have tests of their
// own; these check what the tool adds: how the command line, the settings
// file and the seed reach the engine, which frames it writes and what they
// show, and how failures and bad command lines end.

// ours
#include "vbrandom.h"

// Qt
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// std
#include <cmath>

using namespace tarnwick;

namespace {

const QRgb kA = qRgb(200, 0, 0);
const QRgb kB = qRgb(0, 200, 0);

struct RunResult {
    int status = -1;
    QStringList out; // stdout lines
    QStringList err; // stderr lines
    QString last() const { return out.isEmpty() ? QString() : out.last(); }
};

QImage solid(QRgb colour, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// The settings lines that give `effect` `times` frames.
QStringList timesSetting(const QString& effect, int times)
{
    return {'[' + effect + ']', effect + "Times(How many loop times to finish?)=" + QString::number(times)};
}

// 100 cells of RndSquare: on 40 x 30, cell k (1-based, column by column)
// starts at (4 col, 3 row) and is 5 x 4 pixels, less what lies outside.
const QStringList kCells{"[RndSquare]", "RndSquareNumber_X(How many squares at horizontal)=10",
                         "RndSquareNumber_Y(How many squares at vertical=10"};
QRect rndSquareCell(int k) { return QRect(4 * ((k - 1) / 10), 3 * ((k - 1) % 10), 5, 4) & QRect(0, 0, 40, 30); }

// The first cell RndSquare uncovers after `seed`, when one number has been
// drawn before it for the effect choice.
int firstCellAfterChoice(std::uint32_t seed)
{
    seedRandom(seed);
    Rnd(); // the effect choice
    return static_cast<int>(std::floor(Rnd() * 100)) + 1;
}

// The pixels of `frame` that show B.
QRect incomingArea(const QImage& frame)
{
    QRect area;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if ((frame.pixel(x, y) & 0xFFFFFF) == (kB & 0xFFFFFF))
                area |= QRect(x, y, 1, 1);
    return area;
}

class RenderTransitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(solid(kA, 40, 30).save(path("a.png")) && solid(kB, 40, 30).save(path("b.png")));
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // Runs the tool from a.png to b.png with `settingLines` as its settings
    // file (CR LF lines), plus `extra` arguments.
    RunResult render(const QString& effect, const QStringList& settingLines, const QStringList& extra)
    {
        QFile f(path("settings.ini"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((settingLines.join("\r\n") + "\r\n").toUtf8());
        f.close();
        return run(QStringList{"--effect", effect, "--from", path("a.png"), "--to", path("b.png"), "--settings",
                               f.fileName()}
                   + extra);
    }

    // Runs the tool in the test folder.
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

TEST_F(RenderTransitionTest, SettingsFileExportAndEffectNameReachTheEngine)
{
    struct Case {
        QString effect;
        QStringList settings;
        QStringList extra;
        const char* summary;
    };
    const Case cases[] = {
        // Blend: 50 ms per frame.
        {"Blend", timesSetting("Blend", 7), {"--variant", "0"}, "frames=7 hooks=7 virtual_ms=350"},
        // The export runs 100 frames whatever the settings say.
        {"blend", timesSetting("Blend", 7), {"--export"}, "frames=100 hooks=100 virtual_ms=5000"},
        // A key missing from the file takes the effect's default (Mask's
        // Interval of 10 ms is below its fixed pause of 20).
        {"MASK", timesSetting("Mask", 5), {}, "frames=5 hooks=5 virtual_ms=100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.effect.toStdString() + ' ' + c.extra.join(' ').toStdString());
        const RunResult r = render(c.effect, c.settings, c.extra + QStringList{"--frames", "none"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.last(), QString::fromLatin1(c.summary));
        EXPECT_TRUE(r.err.isEmpty()) << r.err.join('\n').toStdString();
    }
}

TEST_F(RenderTransitionTest, WritesTheChosenFramesAsOpaqueRgbPicturesOfTheDisplay)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"all", {"frame_0001.png", "frame_0002.png", "frame_0003.png"}},
        {"3, 1,1", {"frame_0001.png", "frame_0003.png"}},
        {"none", {}},
    };
    for (const auto& [frames, files] : cases) {
        SCOPED_TRACE(frames);
        const QString out = QString::fromLatin1(frames).remove(' ');
        const RunResult r = render("Blend", timesSetting("Blend", 3),
                                   {"--variant", "0", "--size", "20x10", "--frames", frames, "--out", path(out)});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.last(), QStringLiteral("frames=3 hooks=3 virtual_ms=150"));
        EXPECT_EQ(frameFiles(out), files);
    }
    // The PNG header: bit depth 8, colour type 2 (RGB, no alpha).
    QFile png(path("all/frame_0001.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray header = png.read(26);
    EXPECT_EQ(header.mid(12, 4) + header.mid(24, 2), QByteArray("IHDR\x08\x02"));
    const QImage first(png.fileName());
    EXPECT_EQ(first.size(), QSize(20, 10));
    // Alpha floor(255 / 3) = 85: (200 x 170 + 127) / 255 = 133 and
    // (200 x 85 + 127) / 255 = 67.
    EXPECT_EQ(first.pixel(7, 3) & 0xFFFFFF, qRgb(133, 67, 0) & 0xFFFFFF);
    EXPECT_EQ(incomingArea(QImage(path("all/frame_0003.png"))), QRect(0, 0, 20, 10));
}

TEST_F(RenderTransitionTest, TheBackgroundShowsWhereADiagonalDragUncoversIt)
{
    // A background of another size is scaled to the pictures' 40 x 30.
    const QRgb blue = qRgb(0, 0, 220);
    ASSERT_TRUE(solid(blue, 8, 6).save(path("bg.png")));
    // Direction 7 pushes A right and down; halfway (frame 1 of 2) A covers
    // the bottom-right quarter, B the top-left one, the background the rest.
    const RunResult r = render("Drag", timesSetting("Drag", 2),
                               {"--variant", "7", "--background", path("bg.png"), "--frames", "1", "--out", path("o")});
    ASSERT_EQ(r.status, 0);
    const QImage frame(path("o/frame_0001.png"));
    const std::pair<QPoint, QRgb> probes[] = {{{5, 5}, kB}, {{30, 5}, blue}, {{5, 20}, blue}, {{30, 20}, kA}};
    for (const auto& [at, colour] : probes)
        EXPECT_EQ(frame.pixel(at) & 0xFFFFFF, colour & 0xFFFFFF) << at.x() << "," << at.y();
}

TEST_F(RenderTransitionTest, ASeedReproducesTheRunAsThePlayerDrawsIt)
{
    // The first refresh shows exactly the first cell of the order that the
    // generator gives after the one number of the effect choice.
    ASSERT_NE(firstCellAfterChoice(7), firstCellAfterChoice(8));
    for (const std::uint32_t seed : {7u, 8u}) {
        SCOPED_TRACE(seed);
        const QString out = QString::number(seed);
        const RunResult r = render("RndSquare", kCells, {"--seed", out, "--out", path(out)});
        EXPECT_EQ(r.last(), QStringLiteral("frames=100 hooks=100 virtual_ms=1000"));
        EXPECT_EQ(incomingArea(QImage(path(out + "/frame_0001.png"))), rndSquareCell(firstCellAfterChoice(seed)));
    }
    // The same seed again gives the same frames.
    ASSERT_EQ(render("RndSquare", kCells, {"--seed", "7", "--out", path("again")}).status, 0);
    const QStringList files = frameFiles("7");
    ASSERT_EQ(files.size(), 100);
    ASSERT_EQ(frameFiles("again"), files);
    for (const QString& f : files)
        EXPECT_EQ(QImage(path("7/" + f)), QImage(path("again/" + f))) << f.toStdString();
}

TEST_F(RenderTransitionTest, AnEffectFailureIsReportedWithWhatWasDrawn)
{
    const RunResult r =
        render("Blend", {"[Blend]", "BlendTimes(How many loop times to finish?)=abc"}, {"--frames", "none"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.mid(r.out.size() - 2), (QStringList{"error: Type mismatch", "frames=0 hooks=0 virtual_ms=0"}));
}

TEST_F(RenderTransitionTest, BadCommandLinesEndWithOneLineAndStatusOne)
{
    const QString a = path("a.png");
    const QString b = path("b.png");
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
    };
    for (const auto& [name, args] : cases) {
        SCOPED_TRACE(name);
        const RunResult r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.size(), 1) << r.err.join('\n').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.join('\n').toStdString();
    }
    // Nothing was rendered into the working folder by any of them.
    EXPECT_TRUE(frameFiles(".").isEmpty());

    // A name that matches no effect plays nothing, and is an error too.
    const RunResult r = run({"--effect", "Fade", "--from", a, "--to", b});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringList{"frames=0 hooks=0 virtual_ms=0"});
    ASSERT_EQ(r.err.size(), 1);
    EXPECT_TRUE(r.err.first().contains("Fade"));
    EXPECT_TRUE(frameFiles(".").isEmpty());
}

TEST_F(RenderTransitionTest, HelpDescribesEveryOption)
{
    const RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--effect", "--from", "--to", "--background", "--size", "--variant", "--stagger",
                               "--seed", "--settings", "--export", "--out", "--frames", "frames=N hooks=H virtual_ms=T"})
        EXPECT_TRUE(r.out.join('\n').contains(QLatin1String(option))) << option;
}

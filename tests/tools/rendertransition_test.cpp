// render-transition run as a user runs it, on pictures and settings files
// made here: the summary line against the frame scheme's counts and
// durations, the frames it writes (which, how named, what they show), that a
// seed reproduces the run exactly as the player draws it, and how failures
// and bad command lines end.

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

class RenderTransitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(solid(kA, 40, 30).save(path("a.png")));
        ASSERT_TRUE(solid(kB, 40, 30).save(path("b.png")));
    }

    static QImage solid(QRgb colour, int w, int h)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(colour);
        return img;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // Writes a settings file (CR LF lines) and returns its path.
    QString settings(const QStringList& lines, const QString& name = QStringLiteral("settings.ini"))
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        return f.fileName();
    }

    // Runs the tool in the temporary folder with the two pictures and the
    // given settings lines, plus `extra` arguments.
    RunResult render(const QString& effect, const QStringList& settingLines, const QStringList& extra)
    {
        QStringList args{QStringLiteral("--effect"), effect, QStringLiteral("--from"), path("a.png"),
                         QStringLiteral("--to"), path("b.png"), QStringLiteral("--settings"),
                         settings(settingLines)};
        return run(args + extra);
    }

    RunResult run(const QStringList& args)
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(TARNWICK_BIN_DIR "/render-transition"), args);
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
        return QDir(path(folder)).entryList({QStringLiteral("*")}, QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
};

// The cells of RndSquare on a 40 x 30 picture with 10 x 10 cells: cell k
// (1-based, column by column) starts at (4 col, 3 row) and is 5 x 4 pixels,
// less what lies outside the picture.
QRect rndSquareCell(int k)
{
    return QRect(4 * ((k - 1) / 10), 3 * ((k - 1) % 10), 5, 4) & QRect(0, 0, 40, 30);
}

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

const QString kRndSquareX = QStringLiteral("RndSquareNumber_X(How many squares at horizontal)=10");
const QString kRndSquareY = QStringLiteral("RndSquareNumber_Y(How many squares at vertical=10");

} // namespace

TEST_F(RenderTransitionTest, SummaryCountsFramesHooksAndVirtualTime)
{
    struct Case {
        const char* name;
        QString effect;
        QStringList settings;
        QStringList extra;
        const char* summary;
    };
    const Case cases[] = {
        // Blend: 50 ms per frame, no Interval.
        {"blend", "Blend", {"[Blend]", "BlendTimes(How many loop times to finish?)=7"}, {"--variant", "0"},
         "frames=7 hooks=7 virtual_ms=350"},
        // The export runs 100 frames whatever the settings say.
        {"blend export", "blend", {"[Blend]", "BlendTimes(How many loop times to finish?)=7"}, {"--export"},
         "frames=100 hooks=100 virtual_ms=5000"},
        // Mask: 20 ms fixed pause, padded to the 30 ms Interval.
        {"mask interval", "Mask",
         {"[Mask]", "MaskTimes(How many loop times to finish?)=5",
          "MaskInterval(ms)(How many milliseconds would computer relax between two process)=30"},
         {"--variant", "3"}, "frames=5 hooks=5 virtual_ms=150"},
        // A key missing from the file takes the effect's default (Interval
        // 10 ms, below the fixed pause).
        {"mask default interval", "MASK", {"[Mask]", "MaskTimes(How many loop times to finish?)=5"}, {},
         "frames=5 hooks=5 virtual_ms=100"},
        {"mask export", "Mask",
         {"[Mask]", "MaskInterval(ms)(How many milliseconds would computer relax between two process)=30"},
         {"--export"}, "frames=100 hooks=100 virtual_ms=3000"},
        // RndSquare: one refresh per cell at 100 cells, 10 ms per cell.
        {"rndsquare", "RndSquare", {"[RndSquare]", kRndSquareX, kRndSquareY}, {},
         "frames=100 hooks=100 virtual_ms=1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList extra = c.extra;
        extra << "--frames" << "none";
        const RunResult r = render(c.effect, c.settings, extra);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.last(), QString::fromLatin1(c.summary));
        EXPECT_TRUE(r.err.isEmpty()) << r.err.join('\n').toStdString();
    }
}

TEST_F(RenderTransitionTest, WritesTheChosenFramesNamedByRefreshNumber)
{
    struct Case {
        const char* frames;
        QStringList files;
    };
    const Case cases[] = {
        {"all", {"frame_0001.png", "frame_0002.png", "frame_0003.png", "frame_0004.png"}},
        {"2,3", {"frame_0002.png", "frame_0003.png"}},
        {"4, 2,2", {"frame_0002.png", "frame_0004.png"}},
        {"9", {}},
        {"none", {}},
    };
    const QStringList blend{"[Blend]", "BlendTimes(How many loop times to finish?)=4"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        const QString out = QStringLiteral("out-") + QString::number(qHash(QString::fromLatin1(c.frames)));
        const RunResult r = render("Blend", blend, {"--variant", "0", "--frames", c.frames, "--out", path(out)});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.last(), QStringLiteral("frames=4 hooks=4 virtual_ms=200"));
        EXPECT_EQ(frameFiles(out), c.files);
    }
}

TEST_F(RenderTransitionTest, FramesAreOpaqueRgbPicturesOfTheDisplayAfterEachRefresh)
{
    // Two frames: alpha floor(127.5) = 127, then 255.
    const RunResult r = render("Blend", {"[Blend]", "BlendTimes(How many loop times to finish?)=2"},
                               {"--variant", "0", "--size", "20x10", "--out", path("o")});
    ASSERT_EQ(r.status, 0);
    // The PNG header: bit depth 8, colour type 2 (RGB, no alpha).
    QFile png(path("o/frame_0001.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray header = png.read(26);
    ASSERT_EQ(header.size(), 26);
    EXPECT_EQ(header.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(int(header[24]), 8);
    EXPECT_EQ(int(header[25]), 2);
    const QImage first(png.fileName());
    EXPECT_EQ(first.size(), QSize(20, 10));
    // (0*127 + 200*128 + 127) / 255 = 100, (200*127 + 127) / 255 = 100.
    EXPECT_EQ(first.pixel(7, 3) & 0xFFFFFF, qRgb(100, 100, 0) & 0xFFFFFF);
    const QImage last(path("o/frame_0002.png"));
    EXPECT_EQ(incomingArea(last), QRect(0, 0, 20, 10));
}

TEST_F(RenderTransitionTest, TheBackgroundShowsWhereADiagonalDragUncoversIt)
{
    // A background of another size is scaled to the pictures' 40 x 30.
    const QRgb blue = qRgb(0, 0, 220);
    ASSERT_TRUE(solid(blue, 8, 6).save(path("bg.png")));
    // Direction 7 pushes A right and down; halfway (frame 1 of 2) A covers
    // the bottom-right quarter, B the top-left one, the background the rest.
    const RunResult r = render("Drag",
                               {"[Drag]", "DragTimes(How many loop times to finish?)=2",
                                "DragInterval(ms)(How many milliseconds would computer relax between two process)=0"},
                               {"--variant", "7", "--background", path("bg.png"), "--frames", "1", "--out", path("o")});
    ASSERT_EQ(r.status, 0);
    const QImage frame(path("o/frame_0001.png"));
    struct Case { QPoint at; QRgb colour; };
    const Case cases[] = {{{5, 5}, kB}, {{30, 5}, blue}, {{5, 20}, blue}, {{30, 20}, kA}};
    for (const Case& c : cases)
        EXPECT_EQ(frame.pixel(c.at) & 0xFFFFFF, c.colour & 0xFFFFFF) << c.at.x() << "," << c.at.y();
}

TEST_F(RenderTransitionTest, ASeedReproducesTheRunAsThePlayerDrawsIt)
{
    const QStringList cells{"[RndSquare]", kRndSquareX, kRndSquareY};
    const auto renderSeed = [&](const QString& seed, const QString& out) {
        return render("RndSquare", cells, {"--seed", seed, "--out", path(out)});
    };
    ASSERT_EQ(renderSeed("7", "first").status, 0);
    ASSERT_EQ(renderSeed("7", "again").status, 0);
    ASSERT_EQ(renderSeed("8", "other").status, 0);

    // The first refresh shows exactly the first cell of the order that the
    // generator gives after the one number of the effect choice.
    ASSERT_NE(firstCellAfterChoice(7), firstCellAfterChoice(8));
    for (const auto& [folder, seed] : {std::pair{"first", 7u}, std::pair{"other", 8u}}) {
        SCOPED_TRACE(folder);
        const QImage frame(path(QStringLiteral("%1/frame_0001.png").arg(folder)));
        EXPECT_EQ(incomingArea(frame), rndSquareCell(firstCellAfterChoice(seed)));
    }

    const QStringList files = frameFiles("first");
    ASSERT_EQ(files.size(), 100);
    ASSERT_EQ(frameFiles("again"), files);
    int differing = 0;
    for (const QString& f : files) {
        EXPECT_EQ(QImage(path("first/" + f)), QImage(path("again/" + f))) << f.toStdString();
        differing += QImage(path("first/" + f)) != QImage(path("other/" + f));
    }
    // Only the last frame, with every cell uncovered, is the same.
    EXPECT_EQ(differing, 99);
}

TEST_F(RenderTransitionTest, AnEffectFailureIsReportedWithWhatWasDrawn)
{
    struct Case {
        const char* name;
        QString effect;
        QStringList settings;
        QStringList lines; // the last lines of stdout
    };
    const Case cases[] = {
        {"non-numeric Times", "Blend", {"[Blend]", "BlendTimes(How many loop times to finish?)=abc"},
         {"error: Type mismatch", "frames=0 hooks=0 virtual_ms=0"}},
        {"Times of 0", "Mask", {"[Mask]", "MaskTimes(How many loop times to finish?)=0"},
         {"error: Division by zero", "frames=0 hooks=0 virtual_ms=0"}},
        // Fewer than 100 cells: the first cell is drawn, then its refresh
        // test divides by zero.
        {"too few cells", "RndSquare",
         {"[RndSquare]", "RndSquareNumber_X(How many squares at horizontal)=3",
          "RndSquareNumber_Y(How many squares at vertical=3"},
         {"error: Division by zero", "frames=0 hooks=0 virtual_ms=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = render(c.effect, c.settings, {"--frames", "none"});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out.mid(r.out.size() - 2), c.lines);
    }
}

TEST_F(RenderTransitionTest, BadCommandLinesEndWithOneLineAndStatusOne)
{
    const QString a = path("a.png");
    const QString b = path("b.png");
    QFile(path("not-a-picture.png")).open(QIODevice::WriteOnly);
    struct Case {
        const char* name;
        QStringList args;
    };
    const Case cases[] = {
        {"no effect", {"--from", a, "--to", b}},
        {"no incoming picture", {"--effect", "Blend", "--from", a}},
        {"unknown option", {"--effect", "Blend", "--from", a, "--to", b, "--speed", "2"}},
        {"option without value", {"--effect", "Blend", "--from", a, "--to", b, "--seed"}},
        {"stray argument", {"--effect", "Blend", "--from", a, "--to", b, "extra"}},
        {"size without height", {"--effect", "Blend", "--from", a, "--to", b, "--size", "20"}},
        {"empty size", {"--effect", "Blend", "--from", a, "--to", b, "--size", "0x5"}},
        {"negative variant", {"--effect", "Blend", "--from", a, "--to", b, "--variant", "-1"}},
        {"stagger 2", {"--effect", "Shutter", "--from", a, "--to", b, "--stagger", "2"}},
        {"seed not a number", {"--effect", "Blend", "--from", a, "--to", b, "--seed", "x1"}},
        {"frame 0", {"--effect", "Blend", "--from", a, "--to", b, "--frames", "0,1"}},
        {"frame list with a word", {"--effect", "Blend", "--from", a, "--to", b, "--frames", "1,two"}},
        {"missing picture", {"--effect", "Blend", "--from", path("none.png"), "--to", b}},
        {"unreadable picture", {"--effect", "Blend", "--from", a, "--to", path("not-a-picture.png")}},
        {"missing background", {"--effect", "Drag", "--from", a, "--to", b, "--background", path("no.png")}},
        {"missing settings", {"--effect", "Blend", "--from", a, "--to", b, "--settings", path("no.ini")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.size(), 1) << r.err.join('\n').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.join('\n').toStdString();
    }
    // Nothing was rendered into the working folder by any of them.
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("frame_*")}, QDir::Files).isEmpty());
}

TEST_F(RenderTransitionTest, AnUnknownEffectPlaysNothingAndIsAnError)
{
    const RunResult r = run({"--effect", "Fade", "--from", path("a.png"), "--to", path("b.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringList{"frames=0 hooks=0 virtual_ms=0"});
    ASSERT_EQ(r.err.size(), 1);
    EXPECT_TRUE(r.err.first().contains("Fade"));
    EXPECT_TRUE(frameFiles(".").filter("frame_").isEmpty());
}

TEST_F(RenderTransitionTest, HelpDescribesEveryOption)
{
    const RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    const QString text = r.out.join('\n');
    for (const char* option : {"--effect", "--from", "--to", "--background", "--size", "--variant", "--stagger",
                               "--seed", "--settings", "--export", "--out", "--frames", "frames=N hooks=H virtual_ms=T"})
        EXPECT_TRUE(text.contains(QLatin1String(option))) << option;
}

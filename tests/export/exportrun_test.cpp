// The export run end to end: the album played by the player core into a
// real video file, judged by ffprobe and by the decoded frames; the
// command-line export run as a program.

// ours
#include "batchexport.h"
#include "exportsession.h"
#include "frmprocess.h"
#include "headlessview.h"
#include "playercore.h"
#include "session.h"
#include "virtualhost.h"

// Qt
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

// gtest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// Blend in an export draws this many frames; a still lasts its seconds
// times 25 frames, or one frame for 0 seconds.
constexpr int kBlendFrames = 100;
const QRgb kBackground = qRgb(200, 40, 40);

QByteArray RunTool(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

// Frames of the video stream as ffprobe counts them by decoding.
int ProbedFrames(const QString& file)
{
    return RunTool("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                           "stream=nb_read_frames", "-of", "csv=p=0", file})
        .trimmed()
        .toInt();
}

QImage DecodedFrame(const QString& file, int n, const QString& png)
{
    RunTool("ffmpeg", {"-v", "error", "-y", "-i", file, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(n), "-frames:v",
                   "1", png});
    return QImage(png);
}

bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 && std::abs(qBlue(a) - qBlue(b)) < 24;
}

// An album of solid colours in a temporary folder: a background, both
// album covers, "Beach" with cover thumbnails and two photos, "Harbour"
// with one photo and no covers; a tone as its music.
class ExportRunTest : public ::testing::Test {
protected:
    void MakeAlbum(QSize size)
    {
        QDir(m_dir.path()).mkpath("ResultPicture");
        QDir(m_dir.path()).mkpath("MainAlbum");
        picture("ResultPicture/BackgroundPicture.jpg", size, kBackground);
        RunTool("sox", {"-n", "-r", "44100", "-c", "2", m_dir.filePath("MainAlbum/tone.wav"), "synth", "2", "sine", "440"});
        const QStringList names{"front", "back", "c1front", "c1back", "p1", "p2", "p3"};
        for (int i = 0; i < names.size(); ++i) {
            const QRgb colour = qRgb(20 + 30 * i, 220 - 25 * i, 60 + 20 * i);
            picture("ResultPicture/" + names[i] + ".jpg", size, colour);
            picture("MainAlbum/" + names[i] + "_t.jpg", QSize(64, 48), colour);
        }
        const QString text = QStringLiteral(
            "[Album]\nTitle=Export\nPictureWidth=%1\nPictureHeight=%2\nFrontCover=front.jpg|front_t.jpg\n"
            "BackCover=back.jpg|back_t.jpg\nCategories=2\nMusics=1\n[Music1]\nFile=tone.wav\n"
            "[Category1]\nName=Beach\nFrontCover=c1front.jpg|c1front_t.jpg\nBackCover=c1back.jpg|c1back_t.jpg\n"
            "Photos=2\nPhoto1=p1.jpg|p1_t.jpg\nPhoto2=p2.jpg|p2_t.jpg\n"
            "[Category2]\nName=Harbour\nPhotos=1\nPhoto1=p3.jpg|p3_t.jpg\n")
                                 .arg(size.width())
                                 .arg(size.height());
        QFile info(m_dir.filePath("album.ini"));
        info.open(QIODevice::WriteOnly);
        info.write(text.toUtf8());
        info.close();
        ResetSession();
        StartMode = ModeExport;
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(m_dir.path() + "/");
    }

    // Plays the album into `file` with one Blend effect and `still`
    // seconds; `stopAtStill` stops the run once that many stills are out.
    void Export(const QString& file, int still, bool needNotMovie, int stopAtStill = 0)
    {
        const QMap<QString, QString> settings{{"EffectNumber", "1"}, {"Effect_1", "Blend"}, {"Percent_1", "100"},
                                              {"StopTime", QString::number(still)}};
        const SettingReader read = [settings](QString section, QString key, QString def) {
            return section == "Effect" ? settings.value(key, def) : def;
        };
        VirtualHost host;
        host.setSettingReader(read);
        HeadlessPlayerView view;
        PlayerCore core(view, host, read);
        ExportSession session(core);
        QEventLoop loop;
        view.onClose = [&] {
            core.unload();
            loop.quit();
        };
        VcdFrameWriter& writer = session.writer();
        writer.AviFile = file;
        writer.frameWritten = [&] {
            if (stopAtStill > 0 && session.picturesDone() == stopAtStill && writer.framesWritten() > 0)
                session.stopExport();
        };
        m_pictures = ExportLoop::PicturesToShow();
        QTimer::singleShot(0, [&] { session.startExport(QSize(352, 288), needNotMovie); });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_TRUE(core.closed()) << "the run did not end";
        ASSERT_TRUE(writer.finish()) << qPrintable(writer.lastError());
        m_stills = session.picturesDone();
        m_frames = writer.framesWritten();
    }

    void picture(const QString& name, QSize size, QRgb colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.save(m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_out;
    int m_pictures = 0;
    int m_stills = 0;
    std::int64_t m_frames = 0;
};

TEST_F(ExportRunTest, EveryPictureComesWithItsTransitionAndStillAndTheFrameIsComposedAsTheAlbumIs)
{
    struct Case {
        const char* name;
        QSize album;
        int still;
        bool needNotMovie;
        QRect picture; // where the album's picture lies in the frame
    };
    const Case cases[] = {
        {"800x600 album, transitions", {800, 600}, 1, false, {0, 12, 352, 264}},
        {"800x600 album, static pictures", {800, 600}, 1, true, {0, 12, 352, 264}},
        {"VCD-size album, one-frame stills", {352, 288}, 0, false, {0, 0, 352, 288}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeAlbum(c.album);
        const QString file = m_out.filePath(QStringLiteral("%1%2.avi").arg(c.still).arg(c.needNotMovie ? "s" : ""));
        Export(file, c.still, c.needNotMovie);
        ASSERT_EQ(m_pictures, 8); // background, 2 album covers, 4 + 1 strip entries
        EXPECT_EQ(m_stills, m_pictures);
        const int stillFrames = c.still == 0 ? 1 : c.still * 25;
        const int expected = m_pictures * stillFrames + (c.needNotMovie ? 0 : (m_pictures - 1) * kBlendFrames);
        EXPECT_EQ(m_frames, expected);
        EXPECT_EQ(ProbedFrames(file), expected);

        // The opening still is the background, centred with black borders.
        const QImage first = DecodedFrame(file, 0, m_out.filePath("first.png"));
        ASSERT_EQ(first.size(), QSize(352, 288));
        const QRect inner = c.picture.adjusted(4, 4, -4, -4);
        for (int y = 0; y < 288; y += 2) {
            const QRgb seen = first.pixel(176, y);
            if (inner.contains(176, y)) {
                EXPECT_TRUE(Near(seen, kBackground)) << "row " << y;
            } else if (!c.picture.adjusted(0, -3, 0, 3).contains(176, y)) {
                EXPECT_TRUE(Near(seen, qRgb(0, 0, 0))) << "row " << y;
            }
        }
    }
}

TEST_F(ExportRunTest, StopEndsTheRunWithAFinishedFileOfTheFramesWrittenAndNoNameWritesNothing)
{
    MakeAlbum({800, 600});
    const QString file = m_out.filePath("stopped.mp4");
    Export(file, 1, false, 3);
    // Three pictures with their stills, and the frame on which Stop came.
    EXPECT_EQ(m_frames, 3 * 25 + 2 * kBlendFrames + 1);
    EXPECT_EQ(ProbedFrames(file), m_frames);

    // Without a file name the album still plays through to its end.
    Export(QString(), 1, true);
    EXPECT_EQ(m_frames, 0);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList{"stopped.mp4"});
}

TEST_F(ExportRunTest, CommandLineExportWritesTheFileAndSaysWhatItDidOrWhatIsWrong)
{
    MakeAlbum({800, 600});
    const QString file = m_out.filePath("cli.mkv");
    int status = -1;
    const QString bin = QStringLiteral(TARNWICK_BIN_DIR "/tarnwick-player");
    const QByteArray out = RunTool(bin, {"--export", file, "--still", "0", "--static", "--size", "320x240", m_dir.path()},
                               &status);
    EXPECT_EQ(status, 0) << out.constData();
    EXPECT_TRUE(out.contains("cli.mkv: 8 frames")) << out.constData();
    EXPECT_EQ(ProbedFrames(file), 8);
    // The album's music is the soundtrack, unless it is left out.
    const auto soundCodec = [](const QString& video) {
        return RunTool("ffprobe", {"-v", "error", "-select_streams", "a", "-show_entries", "stream=codec_name", "-of",
                                   "csv=p=0", video})
            .trimmed();
    };
    EXPECT_EQ(soundCodec(file), "aac");
    const QString silent = m_out.filePath("silent.mkv");
    RunTool(bin, {"--export", silent, "--still", "0", "--static", "--no-music", m_dir.path()});
    EXPECT_EQ(soundCodec(silent), "");

    struct Bad {
        QStringList args;
        int status;
    };
    const Bad bad[] = {
        {{"--export", m_out.filePath("x.mpg"), "--size", "320x240", m_dir.path()}, 2},
        {{"--export", m_out.filePath("x.avi"), "--still", "1311", m_dir.path()}, 2},
        {{"--export", m_out.filePath("x.avi"), "--exprot", m_dir.path()}, 2},
        {{"--export", m_out.filePath("x.avi"), m_out.filePath("no-album")}, 1},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.args.join(' ').toStdString());
        QProcess p;
        p.start(bin, b.args);
        p.waitForFinished(30000);
        EXPECT_EQ(p.exitCode(), b.status);
        EXPECT_EQ(p.readAllStandardError().count('\n'), 1);
    }
    EXPECT_FALSE(QFile::exists(m_out.filePath("x.avi")));
}

TEST(ExportFigures, FitsThePictureAndShowsTheElapsedTime)
{
    EXPECT_EQ(ExportLoop::FitPicture(352, 288, 800, 600), QSize(352, 264));
    EXPECT_EQ(ExportLoop::FitPicture(704, 288, 800, 600), QSize(384, 288));
    EXPECT_EQ(ExportLoop::FitPicture(352, 288, 352, 288), QSize(352, 288));
    EXPECT_EQ(frmProcess::ElapsedText(65'000), "0:1:5");
    EXPECT_EQ(frmProcess::ElapsedText(3'661'999), "1:1:1");
}

} // namespace
} // namespace tarnwick

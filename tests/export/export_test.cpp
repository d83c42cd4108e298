// The video export (writer, album run and command line), its files judged by ffprobe, ffmpeg and vcdimager.
#include "aviwriter.h"
#include "batchexport.h"
#include "exportsession.h"
#include "frmprocess.h"
#include "headlessview.h"
#include "playercore.h"
#include "session.h"
#include "virtualhost.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace tarnwick {
namespace {

// Standard output (with the error output when `merged`) of a tool.
QByteArray RunTool(const QString& program, const QStringList& args, int* exitCode = nullptr, bool merged = false)
{
    QProcess p;
    p.setProcessChannelMode(merged ? QProcess::MergedChannels : QProcess::SeparateChannels);
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

QByteArray Probe(const QString& file, const char* stream, const char* entries, bool count = false)
{
    QStringList args{"-v", "error", "-select_streams", stream, "-show_entries", entries, "-of", "csv=p=0", file};
    if (count)
        args.prepend("-count_frames");
    return RunTool("ffprobe", args).trimmed();
}

int ProbedFrames(const QString& file) { return Probe(file, "v:0", "stream=nb_read_frames", true).toInt(); }

QImage Solid(int w, int h, QColor colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

void Tone(const QString& path, double seconds)
{
    RunTool("sox", {"-n", "-r", "44100", "-c", "2", path, "synth", QString::number(seconds), "sine", "440"});
}

enum class Music { None, Tone, Broken };

class AviWriterTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    // A file that is no music, then (Tone) a 440 Hz sine.
    QStringList MusicFiles(Music music, double toneSeconds = 3)
    {
        QFile broken(Path("broken.mp3"));
        if (broken.open(QIODevice::WriteOnly))
            broken.write("not music at all");
        if (music != Music::Tone)
            return music == Music::None ? QStringList() : QStringList{broken.fileName()};
        Tone(Path("tone.wav"), toneSeconds);
        return {broken.fileName(), Path("tone.wav")};
    }
    QTemporaryDir m_dir;
};

TEST_F(AviWriterTest, EachFormatHasItsCodecsEveryFrameAndTheRightColours)
{
    struct Row { const char* name; int width, height; Music music; const char* video; const char* audio; };
    for (const Row& row : {Row{"a.avi", 352, 288, Music::Tone, "mpeg4,352,288,25/1,13", "mp3"},
                           {"b.mpg", 352, 288, Music::Tone, "mpeg1video,352,288,25/1,13", "mp2"},
                           {"c.mpg", 352, 288, Music::None, "mpeg1video,352,288,25/1,13", "mp2"},
                           {"d.MP4", 1920, 1080, Music::Tone, "h264,1920,1080,25/1,13", "aac"},
                           {"e.mkv", 320, 240, Music::Broken, "h264,320,240,25/1,13", ""}}) {
        SCOPED_TRACE(row.name);
        const QString file = Path(row.name);
        {
            // Red, a green of another size, a blue in another format, 10 x white.
            const int w = row.width, h = row.height;
            AviWriter writer;
            writer.SetFileName(file);
            writer.SetSoundtrack(MusicFiles(row.music));
            ASSERT_TRUE(writer.WRDIANSHI(Solid(w, h, Qt::red), w, h, 1)) << qPrintable(writer.LastError());
            ASSERT_TRUE(writer.WRDIANSHI(Solid(50, 30, Qt::green), w, h, 1));
            ASSERT_TRUE(writer.WRDIANSHI(Solid(w, h, Qt::blue, QImage::Format_RGB888), w, h, 1));
            ASSERT_TRUE(writer.WRDIANSHI(Solid(w, h, Qt::white), w, h, 10));
            EXPECT_EQ(writer.FramesWritten(), 13);
        }
        EXPECT_EQ(Probe(file, "v:0", "stream=codec_name,width,height,r_frame_rate,nb_read_frames", true), row.video);
        EXPECT_EQ(Probe(file, "a", "stream=codec_name"), row.audio);
        const QByteArray rgb = RunTool("ffmpeg", {"-v", "error", "-i", file, "-vf", "scale=2:2", "-fps_mode",
                                                  "passthrough", "-pix_fmt", "rgb24", "-f", "rawvideo", "-"});
        ASSERT_EQ(rgb.size(), 13 * 12);
        const QColor expected[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
        for (int f = 0; f < 13; ++f) {
            const QColor want = expected[std::min(f, 3)];
            const int channels[] = {want.red(), want.green(), want.blue()};
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(quint8(rgb[f * 12 + c]), channels[c], 40) << "frame " << f << " channel " << c;
        }
    }
}

TEST_F(AviWriterTest, VideoCdStreamPassesVcdImagerUntouched)
{
    if (QStandardPaths::findExecutable("vcdimager").isEmpty())
        GTEST_SKIP() << "vcdimager is not installed";
    const QString file = Path("vcd.mpg");
    {
        AviWriter writer;
        writer.SetFileName(file);
        ASSERT_TRUE(writer.WRDIANSHI(Solid(352, 288, Qt::darkCyan), 352, 288, 60));
    }
    int code = 0;
    const QString log = RunTool("vcdimager", {"-t", "vcd2", "-c", Path("v.cue"), "-b", Path("v.bin"), file}, &code, true);
    EXPECT_EQ(code, 0) << qPrintable(log);
    // vcdimager flags padding, misaligned packs and short streams as "WARN".
    EXPECT_FALSE(log.contains("warn", Qt::CaseInsensitive) || log.contains("error", Qt::CaseInsensitive)) << qPrintable(log);
}

TEST_F(AviWriterTest, SoundSkipsBrokenFilesWrapsEndsWithTheVideoAndFadesOut)
{
    const QString file = Path("s.mp4");
    {
        AviWriter writer;
        writer.SetFileName(file);
        writer.SetSoundtrack(MusicFiles(Music::Tone, 1.0));
        ASSERT_TRUE(writer.WRDIANSHI(Solid(64, 48, Qt::gray), 64, 48, 35));
        ASSERT_TRUE(writer.WRDIANSHI(Solid(64, 48, Qt::black), 64, 48, 30));
    }
    const QByteArray raw = RunTool("ffmpeg", {"-v", "error", "-i", file, "-map", "0:a", "-ac", "1", "-ar", "8000",
                                              "-f", "s16le", "-"});
    const auto* s = reinterpret_cast<const qint16*>(raw.constData());
    const int n = int(raw.size() / 2);
    EXPECT_NEAR(n, 65 * 8000 / 25, 400); // 2.6 s, within 50 ms
    const auto rms = [&](int from, int count) {
        double sum = 0;
        for (int i = from; i < from + count; ++i)
            sum += double(s[i]) * s[i];
        return std::sqrt(sum / count);
    };
    int crossings = 0; // 0.3 s to 1.5 s, across the wrap of the 1 s music: 440 Hz throughout
    for (int i = 2400; i < 12000; ++i)
        crossings += (s[i - 1] < 0) != (s[i] < 0);
    EXPECT_NEAR(crossings / 1.2 / 2, 440, 5);
    const double full = rms(2400, 9600);
    EXPECT_GT(full, 3000);
    EXPECT_NEAR(rms(n - 4400, 800) / full, 0.5, 0.1); // half a second before the end
    EXPECT_LT(rms(n - 400, 400), 0.05 * full);
}

TEST_F(AviWriterTest, RefusesWhatCannotBeWrittenAndWritesNothing)
{
    // What Check says (null: nothing) and what the first frame's failure says (null: not tried).
    struct Row { const char* name; int width, height; std::int16_t count; const char* check; const char* write; };
    const char* kTypes = ".avi, .mpg, .mp4, .mkv";
    for (const Row& row : {Row{"a.xyz", 352, 288, 1, kTypes, kTypes}, {"b.mpg", 320, 240, 1, "352x288", "352x288"},
                           {"c.mp4", 1920, 1080, 1, nullptr, nullptr}, {"d.mp4", 321, 240, 1, "even", "even"},
                           {"e.avi", 8192, 288, 1, "8190", "8190"}, {"f.mkv", 8, 8, 1, "16", "16"},
                           {"g.mkv", 64, 48, 0, nullptr, "count 0"},
                           {"none/h.avi", 64, 48, 1, nullptr, "none/h.avi\": the file could not be created (No such"}}) {
        SCOPED_TRACE(row.name);
        const QString file = Path(row.name);
        const QString problem = AviWriter::Check(file, row.width, row.height);
        EXPECT_TRUE(row.check ? problem.contains(QLatin1String(row.check)) : problem.isEmpty()) << qPrintable(problem);
        if (!row.write)
            continue;
        AviWriter writer;
        writer.SetFileName(file);
        EXPECT_FALSE(writer.WRDIANSHI(Solid(row.width, row.height, Qt::red), row.width, row.height, row.count));
        EXPECT_TRUE(writer.LastError().contains(QLatin1String(row.write))) << qPrintable(writer.LastError());
        EXPECT_TRUE(writer.Finish());
        EXPECT_EQ(writer.FramesWritten(), 0);
        EXPECT_FALSE(QFile::exists(file));
    }
}

// Blend in an export draws this many frames; a still lasts its seconds times 25 frames, or one for 0 seconds.
constexpr int kBlendFrames = 100;
const QRgb kBackground = qRgb(200, 40, 40);

// Solid colours: background, album covers, "Beach" (covers, two photos), "Harbour" (one photo); a tone.
class ExportRunTest : public ::testing::Test {
protected:
    void MakeAlbum(QSize size)
    {
        picture("ResultPicture/BackgroundPicture.jpg", size, kBackground);
        QDir(m_dir.path()).mkpath("MainAlbum");
        Tone(m_dir.filePath("MainAlbum/tone.wav"), 2);
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
            "[Category2]\nName=Harbour\nPhotos=1\nPhoto1=p3.jpg|p3_t.jpg\n").arg(size.width()).arg(size.height());
        QFile info(m_dir.filePath("album.ini"));
        ASSERT_TRUE(info.open(QIODevice::WriteOnly) && info.write(text.toUtf8()) > 0);
        info.close();
        ResetSession();
        StartMode = ModeExport;
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(m_dir.path() + "/");
    }

    // Plays the album into `file` with one Blend effect and `still` seconds; stops once `stopAtStill` are out.
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
        QDir(m_dir.path()).mkpath(name.section('/', 0, 0));
        ASSERT_TRUE(Solid(size.width(), size.height(), colour).save(m_dir.filePath(name)));
    }

    QTemporaryDir m_dir, m_out;
    int m_pictures = 0, m_stills = 0;
    std::int64_t m_frames = 0;
};

TEST_F(ExportRunTest, EveryPictureComesWithItsTransitionAndStillAndTheFrameIsComposedAsTheAlbumIs)
{
    // album size, still seconds, static pictures, where the album's picture lies in the frame
    struct Case { const char* name; QSize album; int still; bool needNotMovie; QRect picture; };
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
        const QString png = m_out.filePath("first.png");
        RunTool("ffmpeg", {"-v", "error", "-y", "-i", file, "-vf", "select=eq(n\\,0)", "-frames:v", "1", png});
        const QImage first(png);
        ASSERT_EQ(first.size(), QSize(352, 288));
        const QRect inner = c.picture.adjusted(4, 4, -4, -4);
        for (int y = 0; y < 288; y += 2) {
            const QRgb seen = first.pixel(176, y);
            const QRgb want = inner.contains(176, y) ? kBackground : qRgb(0, 0, 0);
            if (inner.contains(176, y) || !c.picture.adjusted(0, -3, 0, 3).contains(176, y)) {
                EXPECT_TRUE(std::abs(qRed(seen) - qRed(want)) < 24 && std::abs(qGreen(seen) - qGreen(want)) < 24
                            && std::abs(qBlue(seen) - qBlue(want)) < 24) << "row " << y;
            }
        }
    }
}

TEST_F(ExportRunTest, StopEndsTheRunWithAFinishedFileOfTheFramesWrittenAndNoNameWritesNothing)
{
    MakeAlbum({800, 600});
    const QString file = m_out.filePath("stopped.mp4");
    Export(file, 1, false, 3);
    EXPECT_EQ(m_frames, 3 * 25 + 2 * kBlendFrames + 1); // three pictures with their stills, and the Stop frame
    EXPECT_EQ(ProbedFrames(file), m_frames);
    Export(QString(), 1, true); // without a file name the album still plays through to its end
    EXPECT_EQ(m_frames, 0);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList{"stopped.mp4"});
}

TEST_F(ExportRunTest, CommandLineExportWritesTheFileAndSaysWhatItDidOrWhatIsWrong)
{
    MakeAlbum({800, 600});
    const QString file = m_out.filePath("cli.mkv"), silent = m_out.filePath("silent.mkv");
    int status = -1;
    const QString bin = QStringLiteral(TARNWICK_BIN_DIR "/tarnwick-player");
    const QByteArray out = RunTool(bin, {"--export", file, "--still", "0", "--static", "--size", "320x240", m_dir.path()},
                                   &status);
    EXPECT_EQ(status, 0) << out.constData();
    EXPECT_TRUE(out.contains("cli.mkv: 8 frames")) << out.constData();
    EXPECT_EQ(ProbedFrames(file), 8);
    EXPECT_EQ(Probe(file, "a", "stream=codec_name"), "aac"); // the album's music, unless left out
    RunTool(bin, {"--export", silent, "--still", "0", "--static", "--no-music", m_dir.path()});
    EXPECT_EQ(Probe(silent, "a", "stream=codec_name"), "");
    const std::pair<QStringList, int> bad[] = {
        {{"--export", m_out.filePath("x.mpg"), "--size", "320x240", m_dir.path()}, 2},
        {{"--export", m_out.filePath("x.avi"), "--still", "1311", m_dir.path()}, 2},
        {{"--export", m_out.filePath("x.avi"), "--exprot", m_dir.path()}, 2},
        {{"--export", m_out.filePath("x.avi"), m_out.filePath("no-album")}, 1},
    };
    for (const auto& [args, code] : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess p;
        p.start(bin, args);
        p.waitForFinished(30000);
        EXPECT_EQ(p.exitCode(), code);
        EXPECT_EQ(p.readAllStandardError().count('\n'), 1);
    }
    EXPECT_FALSE(QFile::exists(m_out.filePath("x.avi")));
}

TEST(ExportFigures, FitsThePictureAndShowsTheElapsedTime)
{
    EXPECT_EQ(ExportLoop::FitPicture(704, 288, 800, 600), QSize(384, 288)); // the album runs fit the others
    EXPECT_EQ(frmProcess::ElapsedText(65'000), "0:1:5");
    EXPECT_EQ(frmProcess::ElapsedText(3'661'999), "1:1:1");
}

} // namespace
} // namespace tarnwick

// The video export (writer, album run and command line), its files judged by ffprobe, ffmpeg and vcdimager.
#include "aviwriter.h"
#include "batchexport.h"
#include "exportsession.h"
#include "frmprocess.h"
#include "headlessview.h"
#include "playercore.h"
#include "session.h"
#include "testfiles.h"
#include "virtualhost.h"

#include <QtGui>

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
        const QString broken = Path("broken.mp3");
        EXPECT_TRUE(testing::writeBytes(broken, "not music at all"));
        if (music != Music::Tone)
            return music == Music::None ? QStringList() : QStringList{broken};
        Tone(Path("tone.wav"), toneSeconds);
        return {broken, Path("tone.wav")};
    }
    QTemporaryDir m_dir;
};

TEST_F(AviWriterTest, EachFormatHasItsCodecsEveryFrameAndTheRightColours)
{
    struct Row { const char* name; int width, height, frames; Music music; const char *video, *audio; };
    for (const Row& row : {Row{"a.avi", 352, 288, 13, Music::Tone, "mpeg4,352,288,25/1,13", "mp3"},
                           {"b.mpg", 352, 288, 13, Music::Tone, "mpeg1video,352,288,25/1,13", "mp2"},
                           {"c.mpg", 352, 288, 60, Music::None, "mpeg1video,352,288,25/1,60", "mp2"},
                           {"d.MP4", 1920, 1080, 13, Music::Tone, "h264,1920,1080,25/1,13", "aac"},
                           {"e.mkv", 320, 240, 13, Music::Broken, "h264,320,240,25/1,13", ""}}) {
        SCOPED_TRACE(row.name);
        const QString file = Path(row.name);
        {
            // Red, a green of another size, a blue in another format, white.
            const int w = row.width, h = row.height;
            AviWriter writer;
            writer.SetFileName(file);
            writer.SetSoundtrack(MusicFiles(row.music));
            ASSERT_TRUE(writer.WRDIANSHI(Solid(w, h, Qt::red), w, h, 1)) << qPrintable(writer.LastError());
            ASSERT_TRUE(writer.WRDIANSHI(Solid(50, 30, Qt::green), w, h, 1));
            ASSERT_TRUE(writer.WRDIANSHI(Solid(w, h, Qt::blue, QImage::Format_RGB888), w, h, 1));
            ASSERT_TRUE(writer.WRDIANSHI(Solid(w, h, Qt::white), w, h, std::int16_t(row.frames - 3)));
            EXPECT_EQ(writer.FramesWritten(), row.frames);
        }
        EXPECT_EQ(Probe(file, "v:0", "stream=codec_name,width,height,r_frame_rate,nb_read_frames", true), row.video);
        EXPECT_EQ(Probe(file, "a", "stream=codec_name"), row.audio);
        // vcdimager flags padding, misaligned packs and short streams (under 60 frames) as "WARN".
        if (row.frames == 60 && !QStandardPaths::findExecutable("vcdimager").isEmpty()) {
            int code = 0;
            const QStringList args{"-t", "vcd2", "-c", file + ".cue", "-b", file + ".bin", file};
            const QString log = RunTool("vcdimager", args, &code, true);
            EXPECT_TRUE(code == 0 && !log.contains("warn", Qt::CaseInsensitive)
                        && !log.contains("error", Qt::CaseInsensitive)) << qPrintable(log);
        }
        const QByteArray rgb = RunTool("ffmpeg", {"-v", "error", "-i", file, "-vf", "scale=2:2", "-fps_mode",
                                                  "passthrough", "-pix_fmt", "rgb24", "-f", "rawvideo", "-"});
        ASSERT_EQ(rgb.size(), row.frames * 12);
        const QColor expected[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
        for (int f = 0; f < row.frames; ++f) {
            const QColor want = expected[std::min(f, 3)];
            const int channels[] = {want.red(), want.green(), want.blue()};
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(quint8(rgb[f * 12 + c]), channels[c], 40) << "frame " << f << " channel " << c;
        }
    }
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
        const QStringList names{"front", "back", "c1front", "c1back", "p1", "p2", "p3"};
        for (int i = 0; i < names.size(); ++i) {
            const QRgb colour = qRgb(20 + 30 * i, 220 - 25 * i, 60 + 20 * i);
            picture("ResultPicture/" + names[i] + ".jpg", size, colour);
            picture("MainAlbum/" + names[i] + "_t.jpg", QSize(64, 48), colour);
        }
        Tone(m_dir.filePath("MainAlbum/tone.wav"), 2);
        const QString text = QStringLiteral(
            "[Album]\nTitle=Export\nPictureWidth=%1\nPictureHeight=%2\nFrontCover=front.jpg|front_t.jpg\n"
            "BackCover=back.jpg|back_t.jpg\nCategories=2\nMusics=1\n[Music1]\nFile=tone.wav\n"
            "[Category1]\nName=Beach\nFrontCover=c1front.jpg|c1front_t.jpg\nBackCover=c1back.jpg|c1back_t.jpg\n"
            "Photos=2\nPhoto1=p1.jpg|p1_t.jpg\nPhoto2=p2.jpg|p2_t.jpg\n"
            "[Category2]\nName=Harbour\nPhotos=1\nPhoto1=p3.jpg|p3_t.jpg\n").arg(size.width()).arg(size.height());
        ASSERT_TRUE(testing::writeBytes(m_dir.filePath("album.ini"), text.toUtf8()));
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
        m_frames = writer.framesWritten();
    }

    void picture(const QString& name, QSize size, QRgb colour)
    {
        QDir(m_dir.path()).mkpath(name.section('/', 0, 0));
        ASSERT_TRUE(Solid(size.width(), size.height(), colour).save(m_dir.filePath(name)));
    }

    QTemporaryDir m_dir, m_out;
    int m_pictures = 0;
    std::int64_t m_frames = 0;
};

TEST_F(ExportRunTest, EveryPictureComesWithItsTransitionAndStillFramedAsTheAlbumIsFromTheDialogOrCommandLine)
{
    // Where the album's picture lies in the frame; a stop once that many stills are out (0: none).
    struct Case { const char* file; QSize album; int still; bool needNotMovie; QRect picture; int stopAt; };
    const Case cases[] = {
        {"transitions.avi", {800, 600}, 1, false, {0, 12, 352, 264}, 0},
        {"static.avi", {800, 600}, 1, true, {0, 12, 352, 264}, 0},
        {"stopped.mp4", {800, 600}, 1, false, {0, 12, 352, 264}, 3},
        {"vcd-size-one-frame-stills.avi", {352, 288}, 0, false, {0, 0, 352, 288}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MakeAlbum(c.album);
        const QString file = m_out.filePath(c.file);
        Export(file, c.still, c.needNotMovie, c.stopAt);
        ASSERT_EQ(m_pictures, 8); // background, 2 album covers, 4 + 1 strip entries
        const int shown = c.stopAt ? c.stopAt : m_pictures, stillFrames = c.still == 0 ? 1 : c.still * 25;
        const int transitions = c.needNotMovie ? 0 : (shown - 1) * kBlendFrames;
        // A stop writes one frame more: the one it came in.
        const int expected = shown * stillFrames + transitions + (c.stopAt > 0);
        EXPECT_EQ(m_frames, expected);
        EXPECT_EQ(testing::probedFrames(file), expected);
        // The opening still is the background, centred with black borders.
        const QString png = m_dir.filePath("first.png");
        RunTool("ffmpeg", {"-v", "error", "-y", "-i", file, "-vf", "select=eq(n\\,0)", "-frames:v", "1", png});
        const QImage first(png);
        ASSERT_EQ(first.size(), QSize(352, 288));
        const QRect inner = c.picture.adjusted(4, 4, -4, -4);
        for (int y = 0; y < 288; y += 2) {
            if (!inner.contains(176, y) && c.picture.adjusted(0, -3, 0, 3).contains(176, y))
                continue; // the picture's edge, blurred by the coding
            const QRgb seen = first.pixel(176, y), want = inner.contains(176, y) ? kBackground : qRgb(0, 0, 0);
            EXPECT_LT(std::max({std::abs(qRed(seen) - qRed(want)), std::abs(qGreen(seen) - qGreen(want)),
                                std::abs(qBlue(seen) - qBlue(want))}), 24) << "row " << y;
        }
    }
    Export(QString(), 1, true); // without a file name the album still plays through to its end
    EXPECT_EQ(m_frames, 0);

    // The command line on the last album says what it did, or what is wrong.
    const auto run = [this](const QString& file, const QStringList& options, int* status = nullptr) {
        const QStringList args = QStringList{"--export", m_out.filePath(file)} + options;
        return RunTool(TARNWICK_BIN_DIR "/tarnwick-player", args, status, true);
    };
    int status = -1;
    const QByteArray out = run("cli.mkv", {"--still", "0", "--static", "--size", "320x240", m_dir.path()}, &status);
    EXPECT_EQ(status, 0) << out.constData();
    EXPECT_TRUE(out.contains("cli.mkv: 8 frames")) << out.constData();
    EXPECT_EQ(testing::probedFrames(m_out.filePath("cli.mkv")), 8);
    EXPECT_EQ(Probe(m_out.filePath("cli.mkv"), "a", "stream=codec_name"), "aac"); // the album's music, unless left out
    run("silent.mkv", {"--still", "0", "--static", "--no-music", m_dir.path()});
    EXPECT_EQ(Probe(m_out.filePath("silent.mkv"), "a", "stream=codec_name"), "");
    // Each mistake is said on one line, and nothing is written.
    const std::tuple<const char*, QStringList, int> bad[] = {
        {"x.mpg", {"--size", "320x240", m_dir.path()}, 2}, {"x.avi", {"--still", "1311", m_dir.path()}, 2},
        {"x.avi", {"--exprot", m_dir.path()}, 2}, {"x.avi", {m_out.filePath("no-album")}, 1},
    };
    for (const auto& [file, options, code] : bad) {
        SCOPED_TRACE(options.join(' ').toStdString());
        EXPECT_EQ(run(file, options, &status).count('\n'), 1);
        EXPECT_EQ(status, code);
    }
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files).size(), std::size(cases) + 2); // and cli.mkv, silent.mkv
}

TEST(ExportFigures, FitsThePictureAndShowsTheElapsedTime)
{
    EXPECT_EQ(ExportLoop::FitPicture(704, 288, 800, 600), QSize(384, 288)); // the album runs fit the others
    EXPECT_EQ(frmProcess::ElapsedText(65'000), "0:1:5");
    EXPECT_EQ(frmProcess::ElapsedText(3'661'999), "1:1:1");
}

} // namespace
} // namespace tarnwick

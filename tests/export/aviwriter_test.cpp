// ours
#include "aviwriter.h"

// Qt
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// std
#include <cmath>

// gtest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

QByteArray RunTool(const QString& program, const QStringList& args, int* exitCode = nullptr,
               QProcess::ProcessChannelMode mode = QProcess::SeparateChannels)
{
    QProcess p;
    p.setProcessChannelMode(mode);
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

QImage Solid(int w, int h, QColor colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

enum class Music { None, Tone, Broken };

class AviWriterTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QStringList MusicFiles(Music music, double toneSeconds = 3)
    {
        QFile broken(Path("broken.mp3"));
        broken.open(QIODevice::WriteOnly);
        broken.write("not music at all");
        broken.close();
        if (music == Music::None)
            return {};
        if (music == Music::Broken)
            return {broken.fileName()};
        RunTool("sox", {"-n", "-r", "44100", "-c", "2", Path("tone.wav"), "synth",
                    QString::number(toneSeconds), "sine", "440"});
        return {broken.fileName(), Path("tone.wav")};
    }

    // Red, a green of another size, a blue in another format, 10 x white.
    void WriteSample(AviWriter& w, int width, int height)
    {
        ASSERT_TRUE(w.WRDIANSHI(Solid(width, height, Qt::red), width, height, 1)) << qPrintable(w.LastError());
        ASSERT_TRUE(w.WRDIANSHI(Solid(50, 30, Qt::green), width, height, 1));
        ASSERT_TRUE(w.WRDIANSHI(Solid(width, height, Qt::blue, QImage::Format_RGB888), width, height, 1));
        ASSERT_TRUE(w.WRDIANSHI(Solid(width, height, Qt::white), width, height, 10));
        EXPECT_EQ(w.FramesWritten(), 13);
        ASSERT_TRUE(w.Finish()) << qPrintable(w.LastError());
    }

    QTemporaryDir m_dir;
};

TEST_F(AviWriterTest, WritesEachFormatWithItsCodecsFramesAndColours)
{
    struct Row { const char* name; int width, height; Music music; const char* video; const char* audio; };
    const Row rows[] = {
        {"a.avi", 352, 288, Music::Tone, "mpeg4,352,288,25/1,13", "mp3"},
        {"b.mpg", 352, 288, Music::Tone, "mpeg1video,352,288,25/1,13", "mp2"},
        {"c.mpg", 352, 288, Music::None, "mpeg1video,352,288,25/1,13", "mp2"},
        {"d.MP4", 1920, 1080, Music::Tone, "h264,1920,1080,25/1,13", "aac"},
        {"e.mkv", 320, 240, Music::Broken, "h264,320,240,25/1,13", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString file = Path(row.name);
        {
            AviWriter w;
            w.SetFileName(file);
            w.SetSoundtrack(MusicFiles(row.music));
            WriteSample(w, row.width, row.height);
        }
        const QByteArray video = RunTool("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0",
            "-show_entries", "stream=codec_name,width,height,r_frame_rate,nb_read_frames", "-of", "csv=p=0", file});
        EXPECT_EQ(video.trimmed(), row.video);
        const QByteArray audio = RunTool("ffprobe", {"-v", "error", "-select_streams", "a",
            "-show_entries", "stream=codec_name", "-of", "csv=p=0", file});
        EXPECT_EQ(audio.trimmed(), row.audio);

        const QByteArray rgb = RunTool("ffmpeg", {"-v", "error", "-i", file, "-vf", "scale=2:2",
            "-fps_mode", "passthrough", "-pix_fmt", "rgb24", "-f", "rawvideo", "-"});
        ASSERT_EQ(rgb.size(), 13 * 12);
        const QColor expected[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
        for (int f = 0; f < 13; ++f) {
            const QColor want = expected[std::min(f, 3)];
            const auto* px = reinterpret_cast<const unsigned char*>(rgb.constData()) + f * 12;
            EXPECT_NEAR(px[0], want.red(), 40) << "frame " << f;
            EXPECT_NEAR(px[1], want.green(), 40) << "frame " << f;
            EXPECT_NEAR(px[2], want.blue(), 40) << "frame " << f;
        }
    }
}

TEST_F(AviWriterTest, VideoCdStreamPassesVcdImager)
{
    if (QStandardPaths::findExecutable("vcdimager").isEmpty())
        GTEST_SKIP() << "vcdimager is not installed";
    const QString file = Path("vcd.mpg");
    {
        AviWriter w;
        w.SetFileName(file);
        ASSERT_TRUE(w.WRDIANSHI(Solid(352, 288, Qt::darkCyan), 352, 288, 60));
    }
    int code = 0;
    const QString log = RunTool("vcdimager", {"-t", "vcd2", "-c", Path("v.cue"), "-b", Path("v.bin"), file},
                            &code, QProcess::MergedChannels);
    EXPECT_EQ(code, 0) << qPrintable(log);
    EXPECT_FALSE(log.contains("warn", Qt::CaseInsensitive)) << qPrintable(log);
    EXPECT_FALSE(log.contains("error", Qt::CaseInsensitive)) << qPrintable(log);
}

TEST_F(AviWriterTest, SoundWrapsFollowsTheVideoAndFadesOut)
{
    const QString file = Path("s.mp4");
    {
        AviWriter w;
        w.SetFileName(file);
        w.SetSoundtrack(MusicFiles(Music::Tone, 1.0));
        ASSERT_TRUE(w.WRDIANSHI(Solid(64, 48, Qt::gray), 64, 48, 35));
        ASSERT_TRUE(w.WRDIANSHI(Solid(64, 48, Qt::black), 64, 48, 30));
    }
    const QByteArray raw = RunTool("ffmpeg", {"-v", "error", "-i", file, "-map", "0:a", "-ac", "1", "-ar", "8000",
                                          "-f", "s16le", "-"});
    const auto* s = reinterpret_cast<const qint16*>(raw.constData());
    const int n = int(raw.size() / 2);
    EXPECT_NEAR(n, 65 * 8000 / 25, 400); // 2.6 s, within 50 ms
    auto rms = [&](int from, int count) {
        double sum = 0;
        for (int i = from; i < from + count; ++i)
            sum += double(s[i]) * s[i];
        return std::sqrt(sum / count);
    };
    // The tone over 1.2 s across a wrap of the 1 s music: 440 Hz.
    int crossings = 0;
    for (int i = 2400; i < 12000; ++i)
        crossings += (s[i - 1] < 0) != (s[i] < 0);
    EXPECT_NEAR(crossings / 1.2 / 2, 440, 5);
    EXPECT_GT(rms(2400, 9600), 3000);
    EXPECT_NEAR(rms(n - 4400, 800) / rms(2400, 9600), 0.5, 0.1); // half-way through the fade
    EXPECT_LT(rms(n - 400, 400), 0.05 * rms(2400, 9600));
}

TEST_F(AviWriterTest, RefusesWhatCannotBeWrittenAndWritesNothing)
{
    struct Row { const char* name; int width, height; std::int16_t count; const char* says; };
    const Row rows[] = {
        {"a.xyz", 352, 288, 1, ".avi, .mpg, .mp4, .mkv"},
        {"b.mpg", 320, 240, 1, "352x288"},
        {"c.mp4", 1920, 1080, 1, ""},
        {"d.mp4", 321, 240, 1, "even"},
        {"e.avi", 8192, 288, 1, "8190"},
        {"f.mkv", 8, 8, 1, "16"},
        {"g.mkv", 64, 48, 0, "count 0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString file = Path(row.name);
        const QString problem = AviWriter::Check(file, row.width, row.height);
        if (row.count < 1 || !*row.says)
            EXPECT_TRUE(problem.isEmpty()) << qPrintable(problem);
        else
            EXPECT_TRUE(problem.contains(QLatin1String(row.says))) << qPrintable(problem);
        if (!*row.says)
            continue;
        AviWriter w;
        w.SetFileName(file);
        EXPECT_FALSE(w.WRDIANSHI(Solid(row.width, row.height, Qt::red), row.width, row.height, row.count));
        EXPECT_TRUE(w.LastError().contains(QLatin1String(row.says))) << qPrintable(w.LastError());
        EXPECT_TRUE(w.Finish());
        EXPECT_EQ(w.FramesWritten(), 0);
        EXPECT_FALSE(QFile::exists(file));
    }
}

} // namespace
} // namespace tarnwick

// The video files of the export, judged by ffprobe, ffmpeg and vcdimager:
// codecs, frame counts, colours, the soundtrack and the VideoCD stream.

// ours
#include "aviwriter.h"

// Qt
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// std
#include <cmath>

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

QByteArray RunTool(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(exitCode ? QProcess::MergedChannels : QProcess::SeparateChannels);
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

    // A file that is no music, then (Tone) a 440 Hz sine.
    QStringList MusicFiles(Music music, double toneSeconds = 3)
    {
        QFile broken(Path("broken.mp3"));
        if (broken.open(QIODevice::WriteOnly))
            broken.write("not music at all");
        if (music != Music::Tone)
            return music == Music::None ? QStringList() : QStringList{broken.fileName()};
        RunTool("sox", {"-n", "-r", "44100", "-c", "2", Path("tone.wav"), "synth", QString::number(toneSeconds),
                        "sine", "440"});
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
        EXPECT_EQ(RunTool("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                      "stream=codec_name,width,height,r_frame_rate,nb_read_frames", "-of", "csv=p=0",
                                      file}).trimmed(), row.video);
        EXPECT_EQ(RunTool("ffprobe", {"-v", "error", "-select_streams", "a", "-show_entries", "stream=codec_name",
                                      "-of", "csv=p=0", file}).trimmed(), row.audio);

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
    const QString log = RunTool("vcdimager", {"-t", "vcd2", "-c", Path("v.cue"), "-b", Path("v.bin"), file}, &code);
    EXPECT_EQ(code, 0) << qPrintable(log);
    // vcdimager flags padding, misaligned packs and short streams as "WARN".
    EXPECT_FALSE(log.contains("warn", Qt::CaseInsensitive)) << qPrintable(log);
    EXPECT_FALSE(log.contains("error", Qt::CaseInsensitive)) << qPrintable(log);
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
    auto rms = [&](int from, int count) {
        double sum = 0;
        for (int i = from; i < from + count; ++i)
            sum += double(s[i]) * s[i];
        return std::sqrt(sum / count);
    };
    // 0.3 s to 1.5 s, across the wrap of the 1 s music: 440 Hz throughout.
    int crossings = 0;
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

} // namespace

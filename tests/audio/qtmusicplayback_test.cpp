// Real sound out of QtMusicPlayback: what it reports right after being
// started, whether the tone is heard, its end, a replay and a stop, and files
// that are not sound. Pause and resume are heard through the music timer's
// tests.

// ours
#include "monitorrecorder.h"
#include "qtmusicplayback.h"
#include "tones.h"

// Qt
#include <QFile>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using testing::FindTones;
using testing::MonitorRecorder;
using testing::RunEvents;
using testing::WaitFor;

// Longest a 1-2 s tone may take to play to its end here.
constexpr int kPlayCapMs = 6000;

class QtMusicPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString reason = MonitorRecorder::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        recorder = std::make_unique<MonitorRecorder>();
        ASSERT_EQ(recorder->error(), QString());
    }
    QString tone(const QString& name, double hz, int ms)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testing::WriteToneWav(path, hz, ms));
        return path;
    }

    QTemporaryDir dir;
    std::unique_ptr<MonitorRecorder> recorder;
};

TEST(QtMusicPlaybackLoad, RefusesWhatIsNotAFile)
{
    QTemporaryDir dir;
    const struct {
        QString path;
        bool loads;
    } cases[] = {
        {dir.filePath("missing.wav"), false},
        {dir.path(), false},
        {QString(), false},
    };
    for (const auto& c : cases) {
        QtMusicPlayback playback;
        EXPECT_EQ(playback.load(c.path), c.loads) << c.path.toStdString();
        playback.play();
        EXPECT_EQ(playback.state(), MusicPlayback::Stopped) << c.path.toStdString();
    }
}

TEST(QtMusicPlaybackLoad, FileThatIsNotSoundNeverReportsPlaying)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"text.wav", "this is not sound\n"},
        {"empty.ogg", ""},
        {"header-only.wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16)},
    };
    for (const auto& c : cases) {
        QFile file(dir.filePath(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        QtMusicPlayback playback;
        ASSERT_TRUE(playback.load(file.fileName())) << c.name;
        playback.play();
        EXPECT_NE(playback.state(), MusicPlayback::Playing) << c.name;
        // Stopping what failed must not hang either.
        playback.stop();
        EXPECT_NE(playback.state(), MusicPlayback::Playing) << c.name;
    }
}

TEST_F(QtMusicPlaybackTest, PlaysAToneToItsEndThenAgainFromTheStartUntilStopped)
{
    QtMusicPlayback playback;
    ASSERT_TRUE(playback.load(tone("a.wav", 440, 1000)));
    EXPECT_EQ(playback.state(), MusicPlayback::Stopped);
    playback.play();
    EXPECT_EQ(playback.state(), MusicPlayback::Playing);
    ASSERT_TRUE(WaitFor([&] { return playback.state() == MusicPlayback::Finished; }, kPlayCapMs));

    playback.play();
    EXPECT_EQ(playback.state(), MusicPlayback::Playing);
    RunEvents(400);
    playback.stop();
    EXPECT_EQ(playback.state(), MusicPlayback::Stopped);
    const int stoppedAt = recorder->recordedMs();
    RunEvents(600);
    EXPECT_TRUE(testing::SilentFrom(recorder->samples(), MonitorRecorder::kRate, stoppedAt + 300));

    const auto tones = FindTones(recorder->samples(), MonitorRecorder::kRate);
    ASSERT_EQ(tones.size(), 2u);
    for (const auto& heard : tones)
        EXPECT_NEAR(heard.hz, 440, 15);
    // The whole second first, then a part cut short by the stop.
    EXPECT_GT(tones[0].endMs - tones[0].startMs, 800);
    EXPECT_LT(tones[1].endMs - tones[1].startMs, 700);
}

} // namespace
} // namespace tarnwick

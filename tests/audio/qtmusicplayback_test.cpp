// Real sound out of QtMusicPlayback: the tone is heard to its end, again from
// the start and cut by a stop; paths that are not files are refused.

// ours
#include "qtmusicplayback.h"
#include "soundtest.h"

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using QtMusicPlaybackTest = testing::SoundTest;
using testing::RunEvents;
using testing::WaitFor;

TEST(QtMusicPlaybackLoad, RefusesWhatIsNotAFile)
{
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath("missing.wav"), dir.path(), QString()}) {
        QtMusicPlayback playback;
        EXPECT_FALSE(playback.load(path)) << path.toStdString();
        playback.play();
        EXPECT_EQ(playback.state(), MusicPlayback::Stopped) << path.toStdString();
    }
}

TEST_F(QtMusicPlaybackTest, PlaysAToneToItsEndThenAgainFromTheStartUntilStopped)
{
    QtMusicPlayback playback;
    ASSERT_TRUE(playback.load(writeTone("a.wav", 440, 1000)));
    EXPECT_EQ(playback.state(), MusicPlayback::Stopped);
    // Playing as soon as play() returns: the music timer reads the state right after.
    playback.play();
    EXPECT_EQ(playback.state(), MusicPlayback::Playing);
    ASSERT_TRUE(WaitFor([&] { return playback.state() == MusicPlayback::Finished; }, 6000));

    playback.play();
    EXPECT_EQ(playback.state(), MusicPlayback::Playing);
    RunEvents(400);
    playback.stop();
    EXPECT_EQ(playback.state(), MusicPlayback::Stopped);
    const int stoppedAt = recordedMs();
    RunEvents(600);
    EXPECT_TRUE(silentFrom(stoppedAt + 300));

    const auto tones = heard();
    ASSERT_EQ(tones.size(), 2u);
    for (const auto& tone : tones)
        EXPECT_NEAR(tone.hz, 440, 15);
    // The whole second first, then a part cut short by the stop.
    EXPECT_GT(tones[0].ms(), 800);
    EXPECT_LT(tones[1].ms(), 700);
}

} // namespace
} // namespace tarnwick

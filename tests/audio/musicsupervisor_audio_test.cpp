// The music timer driving real playback: the items heard in album order, the
// Music switch silencing an item within a tick, a paused item resuming, and
// files that are not sound. The heard gaps are kept as test properties for
// bench/music_gaps.sh; no test judges how long anything took beyond the
// one-tick promise of the switch.

// ours
#include "album.h"
#include "musicsupervisor.h"
#include "player/nullstateview.h"
#include "programfolder.h"
#include "qtmusicplayback.h"
#include "session.h"
#include "soundtest.h"

// Qt
#include <QFile>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <vector>

namespace tarnwick {
namespace {

using testing::RunEvents;
using testing::WaitFor;

constexpr int kTickMs = 1000;

class MusicSupervisorSoundTest : public testing::SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        InstallQtMusicPlayback();
        SetProgramFolder(dir.path());
        StartMode = ModeAlbumFolder;
    }
    void TearDown() override
    {
        supervisor.stopAll();
        AlbumMusic::SetPlaybackFactory({});
        ResetSession();
    }
    // An album whose music item i is a tone of hz[i] lasting ms + i * stepMs
    // (hz 0: the test writes the file); the music timer runs as after
    // initialisation.
    void playAlbum(const std::vector<double>& hz, int ms, int stepMs = 0)
    {
        QString text = QString("[Album]\nMusics=%1\n").arg(hz.size());
        for (std::size_t i = 0; i < hz.size(); ++i) {
            text += QString("[Music%1]\nFile=m%1.wav\n").arg(i + 1);
            if (hz[i] > 0)
                writeTone(QString("MainAlbum/m%1.wav").arg(i + 1), hz[i], ms + int(i) * stepMs);
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(dir.path());
        supervisor.tmrSound().start();
    }

    testing::NullStateView view;
    PlayerState state{view};
    MusicSupervisor supervisor{state};
};

TEST_F(MusicSupervisorSoundTest, ItemsAreHeardInAlbumOrderAndWrap)
{
    // Different lengths end the items at different points of the timer's
    // second, so the recorded gaps sample the whole range.
    playAlbum({440, 660, 880}, 1000, 300);
    ASSERT_TRUE(waitForTones(4, 16000));
    const auto tones = heard();
    const double expected[] = {440, 660, 880, 440};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(tones[i].hz, expected[i], 15) << "item " << i;
        if (i > 0)
            RecordProperty(QString("gap_ms_%1").arg(i).toStdString(), tones[i].startMs - tones[i - 1].endMs);
    }
    EXPECT_FALSE(supervisor.mMusicFailed());
}

TEST_F(MusicSupervisorSoundTest, SwitchingOffFallsSilentWithinATickAndOnPlaysAgain)
{
    playAlbum({440}, 2000);
    ASSERT_TRUE(waitForSoundFor(400, kTickMs + 3000));
    supervisor.musicSwitched(false);
    const int switchedAt = recordedMs();
    RunEvents(kTickMs + 300);
    EXPECT_TRUE(silentFrom(switchedAt + kTickMs));
    ASSERT_EQ(heard().size(), 1u);
    RecordProperty("off_to_silence_ms", heard().back().endMs - switchedAt);
    EXPECT_EQ(state.mActiveMusic()->State(), MusicPlayback::Stopped);

    supervisor.musicSwitched(true);
    EXPECT_TRUE(WaitFor([&] { return heard().size() == 2; }, 2 * kTickMs + 500));
    EXPECT_EQ(state.mActiveMusicIndex(), 1);
}

TEST_F(MusicSupervisorSoundTest, PausedItemStaysPausedWhileOffAndResumesWhenOn)
{
    playAlbum({660}, 2000);
    ASSERT_TRUE(waitForSoundFor(500, kTickMs + 3000));
    state.mActiveMusic()->Pause();
    supervisor.musicSwitched(false);
    RunEvents(kTickMs + 300);
    EXPECT_EQ(state.mActiveMusic()->State(), MusicPlayback::Paused);
    EXPECT_EQ(heard().size(), 1u);

    supervisor.musicSwitched(true);
    ASSERT_TRUE(waitForTones(2, 4 * kTickMs));
    const auto tones = heard();
    EXPECT_NEAR(tones[1].hz, 660, 15);
    // Resumed where it paused: both parts together are the whole item.
    EXPECT_NEAR(tones[0].ms() + tones[1].ms(), 2000, 250);
}

TEST_F(MusicSupervisorSoundTest, ItemThatIsNotSoundStopsThePolling)
{
    playAlbum({0, 440}, 1000);
    const QByteArray notSound[] = {"not sound at all\n", "", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16)};
    for (const QByteArray& bytes : notSound) {
        SCOPED_TRACE(bytes.toStdString());
        QFile file(dir.filePath("MainAlbum/m1.wav"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        // The first file is started by the first tick, the others by the tick
        // after the box is clicked again.
        supervisor.musicSwitched(true);
        supervisor.tick();
        EXPECT_TRUE(supervisor.mMusicFailed());
        EXPECT_FALSE(supervisor.tmrSound().isActive());
        EXPECT_EQ(state.mActiveMusicIndex(), 1);
        EXPECT_NE(state.mActiveMusic()->State(), MusicPlayback::Playing);
        supervisor.stopAll();
        EXPECT_NE(state.mActiveMusic()->State(), MusicPlayback::Playing);
    }
}

} // namespace
} // namespace tarnwick

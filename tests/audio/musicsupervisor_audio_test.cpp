// The music timer driving real playback: the order of the items as heard,
// the Music switch silencing and restarting them, a paused item resuming,
// and an item that is not sound. The heard gaps are recorded as test
// properties for bench/music_gaps.sh; no test judges how long anything took
// beyond the one-tick promise of the switch.

// ours
#include "album.h"
#include "monitorrecorder.h"
#include "musicsupervisor.h"
#include "player/nullstateview.h"
#include "programfolder.h"
#include "qtmusicplayback.h"
#include "session.h"
#include "tones.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <vector>

namespace tarnwick {
namespace {

using testing::FindTones;
using testing::MonitorRecorder;
using testing::RunEvents;
using testing::SilentFrom;
using testing::Tone;
using testing::WaitFor;

constexpr int kTickMs = 1000;

// An album of generated music items played by the supervisor with the real
// playback.
class MusicAlbumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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
    // An album whose music items are tones of `hz` (0: a file that is not
    // sound), item i lasting ms + i * stepMs; the music timer runs as after
    // initialisation.
    void playAlbum(const std::vector<double>& hz, int ms, int stepMs = 0)
    {
        QString text = QString("[Album]\nMusics=%1\n").arg(hz.size());
        QDir(dir.path()).mkpath("MainAlbum");
        for (std::size_t i = 0; i < hz.size(); ++i) {
            const QString name = QString("m%1.wav").arg(i + 1);
            text += QString("[Music%1]\nFile=%2\n").arg(i + 1).arg(name);
            const QString path = dir.filePath("MainAlbum/" + name);
            if (hz[i] > 0) {
                ASSERT_TRUE(testing::WriteToneWav(path, hz[i], ms + int(i) * stepMs));
            } else {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("not sound at all\n");
            }
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(dir.path());
        supervisor.tmrSound().start();
    }

    QTemporaryDir dir;
    testing::NullStateView view;
    PlayerState state{view};
    MusicSupervisor supervisor{state};
};

// The same, heard on a sink of the test's own.
class MusicSupervisorSoundTest : public MusicAlbumTest {
protected:
    void SetUp() override
    {
        const QString reason = MonitorRecorder::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        MusicAlbumTest::SetUp();
        recorder = std::make_unique<MonitorRecorder>();
        ASSERT_EQ(recorder->error(), QString());
    }
    void TearDown() override
    {
        MusicAlbumTest::TearDown();
        recorder.reset();
    }
    std::vector<Tone> heard() { return FindTones(recorder->samples(), MonitorRecorder::kRate); }
    // Waits until `count` stretches of sound have been heard and the last
    // has ended.
    bool waitForTones(std::size_t count, int capMs)
    {
        return WaitFor(
            [&] {
                const auto tones = heard();
                return tones.size() >= count && tones.back().endMs + 100 < recorder->recordedMs();
            },
            capMs);
    }
    // Waits until the first item has been heard for `ms`.
    bool waitForSoundFor(int ms)
    {
        return WaitFor(
            [&] {
                const auto tones = heard();
                return !tones.empty() && tones.back().startMs + ms < recorder->recordedMs();
            },
            kTickMs + 3000);
    }

    std::unique_ptr<MonitorRecorder> recorder;
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
    ASSERT_TRUE(waitForSoundFor(400));
    supervisor.musicSwitched(false);
    const int switchedAt = recorder->recordedMs();
    RunEvents(kTickMs + 300);
    EXPECT_TRUE(SilentFrom(recorder->samples(), MonitorRecorder::kRate, switchedAt + kTickMs));
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
    ASSERT_TRUE(waitForSoundFor(500));
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
    EXPECT_NEAR(tones[0].endMs - tones[0].startMs + tones[1].endMs - tones[1].startMs, 2000, 250);
}

TEST_F(MusicAlbumTest, ItemThatIsNotSoundStopsThePolling)
{
    playAlbum({0, 440}, 1000);
    supervisor.tick();
    EXPECT_TRUE(supervisor.mMusicFailed());
    EXPECT_FALSE(supervisor.tmrSound().isActive());
    EXPECT_NE(state.mActiveMusic()->State(), MusicPlayback::Playing);
    EXPECT_EQ(state.mActiveMusicIndex(), 1);
}

} // namespace
} // namespace tarnwick

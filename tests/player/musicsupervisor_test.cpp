// The music timer's tick and the "Music" box, with a scripted playback in
// place of real sound.

// ours
#include "album.h"
#include "musicsupervisor.h"
#include "player/nullstateview.h"
#include "playersettings.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tarnwick {
namespace {

// Logs every call of every item ("load m2.ogg", "play", ...) and reports one
// state for all of them, which the test sets.
struct ScriptedPlayback : MusicPlayback {
    static inline QStringList calls;
    static inline int current = Stopped;
    // What play() leads to: Playing, or Stopped for a file that fails.
    static inline int afterPlay = Playing;

    bool load(const QString& realPath) override
    {
        calls << "load " + QFileInfo(realPath).fileName();
        current = Stopped;
        return true;
    }
    void play() override { calls << "play", current = afterPlay; }
    void stop() override { calls << "stop", current = Stopped; }
    void pause() override { calls << "pause", current = Paused; }
    void resume() override { calls << "resume", current = Playing; }
    int state() const override { return current; }
};

class MusicSupervisorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedPlayback::calls.clear();
        ScriptedPlayback::current = MusicPlayback::Stopped;
        ScriptedPlayback::afterPlay = MusicPlayback::Playing;
        AlbumMusic::SetPlaybackFactory([] { return std::make_unique<ScriptedPlayback>(); });
        SetProgramFolder(dir.path());
        StartMode = ModeAlbumFolder;
        useAlbum(3);
        // As the window's initialisation does.
        supervisor.tmrSound().start();
    }
    void TearDown() override
    {
        AlbumMusic::SetPlaybackFactory({});
        ResetSession();
    }

    // An album with `items` music files m1.ogg, m2.ogg, ... on disk.
    void useAlbum(int items)
    {
        QString text = QString("[Album]\nMusics=%1\n").arg(items);
        QDir(dir.path()).mkpath("MainAlbum");
        for (int i = 1; i <= items; ++i) {
            text += QString("[Music%1]\nFile=m%1.ogg\n").arg(i);
            QFile file(dir.filePath(QString("MainAlbum/m%1.ogg").arg(i)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(dir.path());
    }
    // Calls made since the last look, joined by "; ".
    static QString takeCalls()
    {
        const QString joined = ScriptedPlayback::calls.join("; ");
        ScriptedPlayback::calls.clear();
        return joined;
    }
    static QString storedSwitch() { return ReadPlayerSetting("Current", "MusicOpen", "unset"); }

    QTemporaryDir dir;
    testing::NullStateView view;
    PlayerState state{view};
    MusicSupervisor supervisor{state};
};

TEST_F(MusicSupervisorTest, TickActsOnTheActiveItemsState)
{
    struct Case {
        int stateBefore;
        bool musicOn;
        int afterPlay;
        const char* calls;
        int index;
        bool failed;
    };
    const Case cases[] = {
        {MusicPlayback::Stopped, true, MusicPlayback::Playing, "load m1.ogg; play", 1, false},
        {MusicPlayback::Stopped, true, MusicPlayback::Stopped, "load m1.ogg; play", 1, true},
        {MusicPlayback::Stopped, true, MusicPlayback::Paused, "load m1.ogg; play", 1, true},
        {MusicPlayback::Stopped, false, MusicPlayback::Playing, "", 1, false},
        {MusicPlayback::Playing, true, MusicPlayback::Playing, "", 1, false},
        {MusicPlayback::Playing, false, MusicPlayback::Playing, "stop", 1, false},
        {MusicPlayback::Paused, true, MusicPlayback::Playing, "resume", 1, false},
        {MusicPlayback::Paused, false, MusicPlayback::Playing, "", 1, false},
        {MusicPlayback::Finished, true, MusicPlayback::Playing, "load m2.ogg; play", 2, false},
        {MusicPlayback::Finished, true, MusicPlayback::Stopped, "load m2.ogg; play", 2, true},
        {MusicPlayback::Finished, false, MusicPlayback::Playing, "", 1, false},
        {7, true, MusicPlayback::Playing, "", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << c.stateBefore << " on " << c.musicOn
                                        << " play gives " << c.afterPlay);
        MusicSupervisor music(state);
        music.tmrSound().start();
        if (!state.mActiveMusic())
            music.tick();
        state.setActiveMusicIndex(1);
        music.setMusicOn(c.musicOn);
        ScriptedPlayback::current = c.stateBefore;
        ScriptedPlayback::afterPlay = c.afterPlay;
        takeCalls();
        music.tick();
        EXPECT_EQ(takeCalls(), c.calls);
        EXPECT_EQ(state.mActiveMusicIndex(), c.index);
        EXPECT_EQ(music.mMusicFailed(), c.failed);
        EXPECT_EQ(music.tmrSound().isActive(), !c.failed);
    }
}

TEST_F(MusicSupervisorTest, ItemsPlayInAlbumOrderAndWrap)
{
    struct Case {
        int items;
        const char* loads;
    };
    const Case cases[] = {
        {3, "load m1.ogg; play; load m2.ogg; play; load m3.ogg; play; load m1.ogg; play"},
        {1, "load m1.ogg; play; load m1.ogg; play; load m1.ogg; play; load m1.ogg; play"},
    };
    for (const Case& c : cases) {
        useAlbum(c.items);
        testing::NullStateView otherView;
        PlayerState fresh(otherView);
        MusicSupervisor music(fresh);
        takeCalls();
        for (int round = 0; round < 4; ++round) {
            music.tick();
            // A few polls while the item plays change nothing.
            music.tick();
            music.tick();
            ScriptedPlayback::current = MusicPlayback::Finished;
        }
        EXPECT_EQ(takeCalls(), c.loads) << c.items << " items";
    }
}

TEST_F(MusicSupervisorTest, FailedStartStopsPollingUntilTheBoxIsClicked)
{
    ScriptedPlayback::afterPlay = MusicPlayback::Stopped;
    supervisor.tick();
    ASSERT_TRUE(supervisor.mMusicFailed());
    EXPECT_FALSE(supervisor.tmrSound().isActive());
    takeCalls();
    supervisor.tick();
    supervisor.tick();
    EXPECT_EQ(takeCalls(), "");

    // Off clears the mark too, but the tick then leaves a stopped item alone.
    supervisor.musicSwitched(false);
    EXPECT_FALSE(supervisor.mMusicFailed());
    supervisor.tick();
    EXPECT_EQ(takeCalls(), "");

    ScriptedPlayback::afterPlay = MusicPlayback::Playing;
    supervisor.musicSwitched(true);
    EXPECT_FALSE(supervisor.mMusicFailed());
    EXPECT_TRUE(supervisor.tmrSound().isActive());
    EXPECT_EQ(supervisor.tmrSound().interval(), 1000);
    supervisor.tick();
    EXPECT_EQ(takeCalls(), "load m1.ogg; play");
    EXPECT_EQ(ScriptedPlayback::current, MusicPlayback::Playing);
}

TEST_F(MusicSupervisorTest, SwitchingTheBoxStopsOnlyAPlayingItemAndStoresTheValue)
{
    struct Case {
        int stateBefore;
        bool on;
        const char* calls;
        bool timerActive;
        const char* stored;
    };
    const Case cases[] = {
        {MusicPlayback::Playing, false, "stop", false, "0"},
        {MusicPlayback::Paused, false, "", false, "0"},
        {MusicPlayback::Finished, false, "", false, "0"},
        {MusicPlayback::Paused, true, "", true, "1"},
        {MusicPlayback::Stopped, true, "", true, "1"},
    };
    supervisor.tick();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << c.stateBefore << " switched " << c.on);
        WritePlayerSetting("Current", "MusicOpen", "unset");
        supervisor.tmrSound().setInterval(5);
        supervisor.tmrSound().start();
        ScriptedPlayback::current = c.stateBefore;
        takeCalls();
        supervisor.musicSwitched(c.on);
        EXPECT_EQ(supervisor.musicOn(), c.on);
        EXPECT_EQ(takeCalls(), c.calls);
        EXPECT_EQ(supervisor.tmrSound().isActive(), c.timerActive);
        if (c.timerActive) {
            EXPECT_EQ(supervisor.tmrSound().interval(), 1000);
        }
        EXPECT_EQ(storedSwitch(), c.stored);
    }
}

TEST_F(MusicSupervisorTest, NothingHappensWithoutAnItemOrOutsideThePlayingModes)
{
    struct Case {
        std::int32_t mode;
        int items;
        const char* calls;
    };
    const Case cases[] = {
        {ModeAlbumFolder, 3, "load m1.ogg; play"}, {ModePackedAlbum, 3, "load m1.ogg; play"},
        {ModeSaver, 3, "load m1.ogg; play"},       {ModeExport, 3, ""},
        {ModeSaverPreview, 3, ""},                 {ModeSaverSettings, 3, ""},
        {ModeSaverPassword, 3, ""},                {ModeAlbumFolder, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " items " << c.items);
        useAlbum(c.items);
        StartMode = c.mode;
        testing::NullStateView otherView;
        PlayerState fresh(otherView);
        MusicSupervisor music(fresh);
        music.tmrSound().start();
        takeCalls();
        music.tick();
        music.tick();
        EXPECT_EQ(takeCalls(), c.calls);
        EXPECT_EQ(fresh.mActiveMusic() != nullptr, *c.calls != '\0');
        EXPECT_FALSE(music.mMusicFailed());
        EXPECT_TRUE(music.tmrSound().isActive());

        // Without an active item a click changes only the box.
        if (!fresh.mActiveMusic()) {
            WritePlayerSetting("Current", "MusicOpen", "unset");
            music.musicSwitched(false);
            EXPECT_FALSE(music.musicOn());
            EXPECT_TRUE(music.tmrSound().isActive());
            EXPECT_EQ(storedSwitch(), "unset");
        }
    }
}

TEST_F(MusicSupervisorTest, BoxOffFromTheStartSelectsTheFirstItemButPlaysNothing)
{
    supervisor.setMusicOn(false);
    supervisor.tick();
    supervisor.tick();
    EXPECT_EQ(takeCalls(), "");
    EXPECT_EQ(state.mActiveMusicIndex(), 1);
    EXPECT_TRUE(supervisor.tmrSound().isActive());
    supervisor.musicSwitched(true);
    supervisor.tick();
    EXPECT_EQ(takeCalls(), "load m1.ogg; play");
}

TEST_F(MusicSupervisorTest, ClosingStopsTheActiveItemAndThePolling)
{
    supervisor.tick();
    takeCalls();
    supervisor.stopAll();
    EXPECT_EQ(takeCalls(), "stop");
    EXPECT_FALSE(supervisor.tmrSound().isActive());
}

TEST(ReadMusicOpen, TakesTheAlbumProfilesNumberNonZeroMeaningOn)
{
    struct Case {
        const char* profile; // nullptr: no file
        bool on;
    };
    const Case cases[] = {
        {nullptr, true},
        {"[Current]\r\nMusicOpen=0\r\n", false},
        {"[Current]\r\nMusicOpen=1\r\n", true},
        {"[Current]\r\nMusicOpen= 0 \r\n", false},
        {"[Current]\r\nMusicOpen=2\r\n", true},
        {"[Current]\r\nMusicOpen=off\r\n", true},
        {"[Current]\r\nOther=0\r\n", true},
        {"[Other]\r\nMusicOpen=0\r\n", true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        SetProgramFolder(dir.path());
        if (c.profile) {
            QFile file(dir.filePath("profile.ini"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.profile);
        }
        // The player's own settings file is not where the value comes from.
        WritePlayerSetting("Current", "MusicOpen", c.on ? "0" : "1");
        EXPECT_EQ(ReadMusicOpen(), c.on) << (c.profile ? c.profile : "no profile");
    }
}

} // namespace
} // namespace tarnwick

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
        AlbumMusic::SetPlaybackFactory([] { return std::make_unique<ScriptedPlayback>(); });
        SetProgramFolder(dir.path());
    }
    void TearDown() override
    {
        AlbumMusic::SetPlaybackFactory({});
        ResetSession();
    }

    // An album with `items` music files m1.ogg, m2.ogg, ... on disk, played
    // in `mode`.
    void useAlbum(int items, std::int32_t mode = ModeAlbumFolder)
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
        StartMode = mode;
        ScriptedPlayback::current = MusicPlayback::Stopped;
        ScriptedPlayback::afterPlay = MusicPlayback::Playing;
        ScriptedPlayback::calls.clear();
    }
    // Calls made since the last look, joined by "; ".
    static QString takeCalls()
    {
        const QString joined = ScriptedPlayback::calls.join("; ");
        ScriptedPlayback::calls.clear();
        return joined;
    }

    QTemporaryDir dir;
};

enum Action { Tick, SwitchOn, SwitchOff, Close };
// Item states before the action beyond the playback's own.
constexpr int kNoItem = 0;      // the first tick has not come yet
constexpr int kFailedStart = -1; // the first item did not start

TEST_F(MusicSupervisorTest, TickSwitchAndCloseActOnTheActiveItemsState)
{
    using P = MusicPlayback;
    struct Case {
        int before;
        bool boxOn;
        Action action;
        const char* calls;
        int index;
        bool failed;
        bool timerOn;
        const char* stored = "unset"; // "MusicOpen" in the player settings afterwards
        int afterPlay = P::Playing;
    };
    const Case cases[] = {
        {kNoItem, true, Tick, "load m1.ogg; play", 1, false, true},
        {kNoItem, false, Tick, "", 1, false, true},
        {kNoItem, true, SwitchOff, "", 0, false, true},
        {P::Stopped, true, Tick, "load m1.ogg; play", 1, false, true},
        {P::Stopped, true, Tick, "load m1.ogg; play", 1, true, false, "unset", P::Stopped},
        {P::Stopped, true, Tick, "load m1.ogg; play", 1, true, false, "unset", P::Paused},
        {P::Stopped, false, Tick, "", 1, false, true},
        {P::Playing, true, Tick, "", 1, false, true},
        {P::Playing, false, Tick, "stop", 1, false, true},
        {P::Paused, true, Tick, "resume", 1, false, true},
        {P::Paused, false, Tick, "", 1, false, true},
        {P::Finished, true, Tick, "load m2.ogg; play", 2, false, true},
        {P::Finished, true, Tick, "load m2.ogg; play", 2, true, false, "unset", P::Stopped},
        {P::Finished, false, Tick, "", 1, false, true},
        {7, true, Tick, "", 1, false, true},
        {kFailedStart, true, Tick, "", 1, true, false},
        {P::Playing, true, SwitchOff, "stop", 1, false, false, "0"},
        {P::Paused, true, SwitchOff, "", 1, false, false, "0"},
        {P::Finished, true, SwitchOff, "", 1, false, false, "0"},
        {kFailedStart, true, SwitchOff, "", 1, false, false, "0"},
        {P::Paused, false, SwitchOn, "", 1, false, true, "1"},
        {P::Stopped, false, SwitchOn, "", 1, false, true, "1"},
        {kFailedStart, true, SwitchOn, "", 1, false, true, "1"},
        {P::Playing, true, Close, "stop", 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << c.before << " box " << c.boxOn << " action " << c.action
                                        << " play gives " << c.afterPlay);
        useAlbum(3);
        testing::NullStateView view;
        PlayerState state(view);
        MusicSupervisor music(state);
        // Not the poll interval, so that switching on must set it.
        music.tmrSound().setInterval(5);
        music.tmrSound().start();
        if (c.before != kNoItem) {
            ScriptedPlayback::afterPlay = c.before == kFailedStart ? P::Stopped : P::Playing;
            music.tick();
            if (c.before != kFailedStart)
                ScriptedPlayback::current = c.before;
        }
        music.setMusicOn(c.boxOn);
        ScriptedPlayback::afterPlay = c.afterPlay;
        WritePlayerSetting("Current", "MusicOpen", "unset");
        takeCalls();
        switch (c.action) {
        case Tick: music.tick(); break;
        case SwitchOn: music.musicSwitched(true); break;
        case SwitchOff: music.musicSwitched(false); break;
        case Close: music.stopAll(); break;
        }
        EXPECT_EQ(takeCalls(), c.calls);
        EXPECT_EQ(state.mActiveMusicIndex(), c.index);
        EXPECT_EQ(music.mMusicFailed(), c.failed);
        EXPECT_EQ(music.tmrSound().isActive(), c.timerOn);
        if (c.action == SwitchOn) {
            EXPECT_EQ(music.tmrSound().interval(), 1000);
        }
        EXPECT_EQ(music.musicOn(), c.action == SwitchOn || (c.action != SwitchOff && c.boxOn));
        EXPECT_EQ(ReadPlayerSetting("Current", "MusicOpen", "unset"), c.stored);
    }
}

TEST_F(MusicSupervisorTest, ItemsPlayInAlbumOrderAndWrapOnlyInThePlayingModes)
{
    const char* const three = "load m1.ogg; play; load m2.ogg; play; load m3.ogg; play; load m1.ogg; play";
    struct Case {
        std::int32_t mode;
        int items;
        const char* calls;
    };
    const Case cases[] = {
        {ModeAlbumFolder, 3, three},
        {ModeAlbumFolder, 1, "load m1.ogg; play; load m1.ogg; play; load m1.ogg; play; load m1.ogg; play"},
        {ModePackedAlbum, 3, three},
        {ModeSaver, 3, three},
        {ModeExport, 3, ""},
        {ModeSaverPreview, 3, ""},
        {ModeSaverSettings, 3, ""},
        {ModeSaverPassword, 3, ""},
        {ModeAlbumFolder, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " items " << c.items);
        useAlbum(c.items, c.mode);
        testing::NullStateView view;
        PlayerState state(view);
        MusicSupervisor music(state);
        music.tmrSound().start();
        for (int round = 0; round < 4; ++round) {
            music.tick();
            // A few polls while the item plays change nothing.
            music.tick();
            music.tick();
            ScriptedPlayback::current = MusicPlayback::Finished;
        }
        EXPECT_EQ(takeCalls(), c.calls);
        EXPECT_EQ(state.mActiveMusic() != nullptr, *c.calls != '\0');
        EXPECT_FALSE(music.mMusicFailed());
        EXPECT_TRUE(music.tmrSound().isActive());
    }
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

// The album position (category, photo, music item) with a view that records its calls, the caption text,
// the strip's scrolling, and the music timer with a scripted playback in place of real sound.
#include "album.h"
#include "musicsupervisor.h"
#include "playersettings.h"
#include "playerstate.h"
#include "programfolder.h"
#include "session.h"
#include "thumbnailscroll.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tarnwick {
namespace {

// One text per call of the state to its window.
class RecordingView : public PlayerStateView {
public:
    QStringList calls;
    void hideThumbnails() override { calls << "hideThumbnails"; }
    void loadThumbnails(AlbumCategory& category) override { calls << "load " + category.Name(); }
    void keepThumbnailInView(int thumbnail) override { calls << QString("inView %1").arg(thumbnail); }
    void hideCaption() override { calls << "hideCaption"; }
    void placeCaption(const QString& text) override { calls << "place " + text; }
    void setCaptionShown(bool shown) override { calls << (shown ? "show" : "hide"); }
    void processEvents() override { calls << "events"; }
};

// Logs every call of every item and reports one state for all of them, which the test sets.
struct ScriptedPlayback : MusicPlayback {
    static inline QStringList calls;
    static inline int current = Stopped;
    static inline int afterPlay = Playing; // Stopped for a file that fails
    bool load(const QString& realPath) override { return calls << "load " + QFileInfo(realPath).fileName(), current = Stopped, true; }
    void play() override { calls << "play", current = afterPlay; }
    void stop() override { calls << "stop", current = Stopped; }
    void pause() override { calls << "pause", current = Paused; }
    void resume() override { calls << "resume", current = Playing; }
    int state() const override { return current; }
};

// The album is loaded from `text` into a folder of its own holding the files it names.
class PlayerStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AlbumMusic::SetPlaybackFactory([] { return std::make_unique<ScriptedPlayback>(); });
        SetProgramFolder(dir.path());
    }
    void TearDown() override { AlbumMusic::SetPlaybackFactory({}), ResetSession(); }
    void useAlbum(const QString& text, const QStringList& files = {}, std::int32_t mode = ModeAlbumFolder)
    {
        folder = std::make_unique<QTemporaryDir>();
        for (const QString& path : files) {
            QDir(folder->path()).mkpath(path.section('/', 0, 0));
            QFile file(folder->filePath(path));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(folder->path());
        StartMode = mode;
        view.calls.clear();
        ScriptedPlayback::current = MusicPlayback::Stopped;
        ScriptedPlayback::afterPlay = MusicPlayback::Playing;
        ScriptedPlayback::calls.clear();
    }
    // An album with music items m1.ogg, m2.ogg, ... on disk.
    void useMusic(int items, std::int32_t mode = ModeAlbumFolder)
    {
        QString text = QString("[Album]\nMusics=%1\n").arg(items);
        QStringList files;
        for (int i = 1; i <= items; ++i) {
            text += QString("[Music%1]\nFile=m%1.ogg\n").arg(i);
            files << QString("MainAlbum/m%1.ogg").arg(i);
        }
        useAlbum(text, files, mode);
    }
    static QString takeCalls() { return std::exchange(ScriptedPlayback::calls, {}).join("; "); }
    AlbumPhoto* photoOf(int category, int v)
    {
        AlbumCategory& c = gAlbum->Categories().Item(category);
        return v == 0 ? &c.FrontCover() : v == c.PhotoCount() + 1 ? &c.BackCover() : &c.Photos().Item(v);
    }

    QTemporaryDir dir;
    std::unique_ptr<QTemporaryDir> folder;
    RecordingView view;
};

// "A" with three photos, "B" with one, three music items.
const char* const kAlbumText =
    "[Album]\nCategories=2\nMusics=3\nFields=Title|Date\nHiddenFields=Date\n"
    "[Music1]\nFile=m1.ogg\n[Music2]\nFile=m2.ogg\n[Music3]\nFile=m3.ogg\n"
    "[Category1]\nName=A\nFrontCover=af.jpg|af_t.jpg\nBackCover=ab.jpg|ab_t.jpg\nPhotos=3\n"
    "Photo1=a1.jpg|a1_t.jpg\nPhoto1.Title=Sunrise\nPhoto1.Date=2026\nPhoto2=a2.jpg|a2_t.jpg\nPhoto3=a3.jpg|a3_t.jpg\n"
    "[Category2]\nName=B\nFrontCover=bf.jpg|bf_t.jpg\nBackCover=bb.jpg|bb_t.jpg\nPhotos=1\nPhoto1=b1.jpg|b1_t.jpg\n";

TEST_F(PlayerStateTest, PhotoIndexWalksCoversAndPhotosAndMovesOnPastTheCategory)
{
    const QStringList covers{"ResultPicture/af.jpg", "ResultPicture/ab.jpg", "MainAlbum/af_t.jpg"};
    // files, category before, value set, category after, picture shown (none: no picture), caption shown, calls
    const struct { const char* what; QStringList files; int start, v, category; std::optional<int> shown; bool caption;
                   QStringList calls; } cases[] = {
        {"front cover", covers, 1, 0, 1, 0, false, {"hideCaption"}},
        {"missing front cover stays", {}, 1, 0, 1, std::nullopt, false, {"hideCaption"}},
        {"photo after a front thumbnail", covers, 1, 1, 1, 1, false,
         {"inView 1", "place Title: Sunrise\r\nTitle: Sunrise", "hide", "events"}},
        {"photo without front thumbnail", {}, 1, 3, 1, 3, false, {"inView 2", "place Title: \r\nTitle: ", "hide", "events"}},
        {"visible caption hides while it moves", {}, 1, 3, 1, 3, true,
         {"inView 2", "hideCaption", "place Title: \r\nTitle: ", "show", "events"}},
        {"back cover", covers, 1, 4, 1, 4, false, {"hideCaption"}},
        {"missing back cover moves on", {}, 1, 4, 2, std::nullopt, false, {"hideCaption", "hideThumbnails", "load B"}},
        {"past the back cover moves on", covers, 1, 7, 2, std::nullopt, false, {"hideThumbnails", "load B"}},
        {"below zero moves on", covers, 1, -1, 2, std::nullopt, false, {"hideThumbnails", "load B"}},
        {"last category wraps to the first", {}, 2, 3, 1, std::nullopt, false, {"hideThumbnails", "load A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        useAlbum(kAlbumText, c.files);
        PlayerState s{view};
        s.setActiveCategoryIndex(static_cast<std::int16_t>(c.start));
        s.setThumbnailCursor(5);
        s.setCaptionVisible(c.caption);
        view.calls.clear();
        s.setActivePhotoIndex(static_cast<std::int16_t>(c.v));
        EXPECT_EQ(s.mActiveCategoryIndex(), c.category);
        EXPECT_EQ(s.mActiveCategory(), &gAlbum->Categories().Item(c.category));
        // Moving on asks the new category for its front cover inside the photo setter: that nested call is ignored.
        EXPECT_EQ(s.mActivePhotoIndex(), c.v);
        EXPECT_EQ(s.mActivePhoto(), c.shown ? photoOf(c.category, *c.shown) : nullptr);
        EXPECT_EQ(s.mThumbnailCursor(), c.category == c.start ? 5 : 0);
        EXPECT_EQ(view.calls, c.calls);
    }
}

TEST_F(PlayerStateTest, CategoryIndexOpensClosesWrapsAndIgnoresOutOfRange)
{
    useAlbum(kAlbumText, {"ResultPicture/af.jpg", "ResultPicture/bf.jpg"});
    PlayerState state{view};
    // value set, category after (0: none yet), calls; the category shown, count + 1 wraps
    const struct { int v, category; QStringList calls; } steps[] = {
        {0, 0, {}}, {1, 1, {"load A", "hideCaption"}}, {1, 1, {}}, {2, 2, {"hideThumbnails", "load B", "hideCaption"}},
        {3, 1, {"hideThumbnails", "load A", "hideCaption"}}, {-4, 1, {}}, {0, 1, {}},
    };
    AlbumCategories& categories = gAlbum->Categories();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.v);
        view.calls.clear();
        state.setThumbnailCursor(3);
        state.setActiveCategoryIndex(static_cast<std::int16_t>(step.v));
        EXPECT_EQ(view.calls, step.calls);
        EXPECT_EQ(state.mActiveCategoryIndex(), step.category);
        if (step.category == 0)
            continue;
        EXPECT_EQ(state.mActiveCategory(), &categories.Item(step.category));
        EXPECT_TRUE(categories.Item(step.category).IsOpen());
        EXPECT_FALSE(categories.Item(3 - step.category).IsOpen());
        EXPECT_EQ(state.mActivePhotoIndex(), 0);
        EXPECT_EQ(state.mActivePhoto(), &categories.Item(step.category).FrontCover());
        EXPECT_EQ(state.mThumbnailCursor(), step.calls.empty() ? 3 : 0);
    }
}

TEST_F(PlayerStateTest, MusicIndexWrapsOneStepAndKeepsTheItemOutOfRange)
{
    useAlbum(kAlbumText);
    PlayerState state{view};
    // value set, value stored, the item afterwards
    for (const auto& [v, stored, item] : {std::tuple{2, 2, 2}, {4, 1, 1}, {0, 0, 1}, {7, 4, 1}, {3, 3, 3}, {-1, -1, 3}}) {
        SCOPED_TRACE(v);
        state.setActiveMusicIndex(static_cast<std::int16_t>(v));
        EXPECT_EQ(state.mActiveMusicIndex(), stored);
        EXPECT_EQ(state.mActiveMusic(), &gAlbum->Musics().Item(item));
    }
    gAlbum->LoadText("[Album]\nMusics=1\n[Music1]\nFile=only.ogg\n");
    for (int v : {1, 2}) {
        state.setActiveMusicIndex(static_cast<std::int16_t>(v));
        EXPECT_EQ(state.mActiveMusicIndex(), 1);
        EXPECT_EQ(state.mActiveMusic(), &gAlbum->Musics().Item(1));
    }
}

TEST(CaptionText, FieldLinesBreakEverySixtyAndSkippedFieldsRepeatTheLastLine)
{
    Album album;
    album.LoadText("[Album]\nFields=A|B|Long|Hidden\nHiddenFields=Hidden\n");
    AlbumPhoto photo;
    photo.SetFieldValue("A", "x");
    photo.SetFieldValue("B", "y");
    photo.SetFieldValue("Hidden", "secret");
    const QString n = "\r\n", v60(60, 'v');
    const auto line = [](int total) { return "Long: " + QString(total - 6, 'v'); };
    // fields, length of the "Long" line, caption
    const struct { const char* what; QStringList fields; int longLength; QString expected; } cases[] = {
        {"empty field list", {}, 10, ""}, {"exactly 60 stays one line", {"Long"}, 60, line(60)},
        {"61 becomes 60 + 1", {"Long"}, 61, line(61).left(60) + n + "v"},
        {"120 keeps a trailing break", {"Long"}, 120, line(120).left(60) + n + v60 + n},
        {"130 breaks twice", {"Long"}, 130, line(130).left(60) + n + v60 + n + QString(10, 'v')},
        {"hidden field repeats the last shown line", {"A", "Hidden", "B"}, 10, "A: x" + n + "A: x" + n + "B: y"},
        {"empty name repeats the last shown line", {"A", ""}, 10, "A: x" + n + "A: x"},
        {"one leading empty line is dropped", {"", "A"}, 10, "A: x"},
        {"only one of two leading empty lines is dropped", {"", "", "A"}, 10, n + "A: x"},
        {"nothing shown", {"Hidden"}, 10, ""},
    };
    for (const auto& c : cases) {
        photo.SetFieldValue("Long", line(c.longLength).mid(6));
        EXPECT_EQ(PlayerState::CaptionText(album, c.fields, photo), c.expected) << c.what;
    }
}

TEST(ThumbnailScroll, KeepsTheEntryInsideTheViewportWithItsMargin)
{
    // top, height, viewport height, value, maximum, value after
    const struct { const char* what; int top, height, viewHeight, value, maxValue, expected; } cases[] = {
        {"inside stays", 4, 77, 300, 0, 500, 0}, {"below scrolls up", 259, 77, 300, 0, 500, 40},
        {"above scrolls down", -81, 77, 300, 170, 500, 85}, {"refused value stays", 259, 77, 300, 0, 30, 0},
        {"taller than the view: bottom then top", 4, 400, 300, 0, 500, 0},
        {"below the top after the first scroll", 10, 400, 300, 50, 500, 56},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThumbnailScrollValue(c.top, c.height, c.viewHeight, c.value, c.maxValue), c.expected) << c.what;
}

enum Action { Tick, SwitchOn, SwitchOff, Close };
constexpr int kNoItem = 0;       // the first tick has not come yet
constexpr int kFailedStart = -1; // the first item did not start

TEST_F(PlayerStateTest, MusicTickSwitchAndCloseActOnTheActiveItemsState)
{
    using P = MusicPlayback;
    // item state before, box on, action, calls, item after, failed, timer on, "MusicOpen" stored, what play gives
    const struct { int before; bool boxOn; Action action; const char* calls; int index; bool failed, timerOn;
                   const char* stored = "unset"; int afterPlay = P::Playing; } cases[] = {
        {kNoItem, true, Tick, "load m1.ogg; play", 1, false, true}, {kNoItem, false, Tick, "", 1, false, true},
        {kNoItem, true, SwitchOff, "", 0, false, true}, {P::Stopped, true, Tick, "load m1.ogg; play", 1, false, true},
        {P::Stopped, true, Tick, "load m1.ogg; play", 1, true, false, "unset", P::Stopped},
        {P::Stopped, true, Tick, "load m1.ogg; play", 1, true, false, "unset", P::Paused},
        {P::Stopped, false, Tick, "", 1, false, true}, {P::Playing, true, Tick, "", 1, false, true},
        {P::Playing, false, Tick, "stop", 1, false, true}, {P::Paused, true, Tick, "resume", 1, false, true},
        {P::Paused, false, Tick, "", 1, false, true}, {P::Finished, true, Tick, "load m2.ogg; play", 2, false, true},
        {P::Finished, true, Tick, "load m2.ogg; play", 2, true, false, "unset", P::Stopped},
        {P::Finished, false, Tick, "", 1, false, true}, {7, true, Tick, "", 1, false, true},
        {kFailedStart, true, Tick, "", 1, true, false}, {P::Playing, true, SwitchOff, "stop", 1, false, false, "0"},
        {P::Paused, true, SwitchOff, "", 1, false, false, "0"}, {P::Finished, true, SwitchOff, "", 1, false, false, "0"},
        {kFailedStart, true, SwitchOff, "", 1, false, false, "0"}, {P::Paused, false, SwitchOn, "", 1, false, true, "1"},
        {P::Stopped, false, SwitchOn, "", 1, false, true, "1"}, {kFailedStart, true, SwitchOn, "", 1, false, true, "1"},
        {P::Playing, true, Close, "stop", 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << c.before << " box " << c.boxOn << " action " << c.action
                                        << " play gives " << c.afterPlay);
        useMusic(3);
        PlayerState state(view);
        MusicSupervisor music(state);
        music.tmrSound().setInterval(5); // not the poll interval, so that switching on must set it
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

TEST_F(PlayerStateTest, MusicItemsPlayInAlbumOrderAndWrapOnlyInThePlayingModes)
{
    const QString three = "load m1.ogg; play; load m2.ogg; play; load m3.ogg; play; load m1.ogg; play";
    const QString one = "load m1.ogg; play; load m1.ogg; play; load m1.ogg; play; load m1.ogg; play";
    const struct { std::int32_t mode; int items; QString calls; } cases[] = {
        {ModeAlbumFolder, 3, three}, {ModeAlbumFolder, 1, one}, {ModePackedAlbum, 3, three}, {ModeSaver, 3, three},
        {ModeExport, 3, ""}, {ModeSaverPreview, 3, ""}, {ModeSaverSettings, 3, ""}, {ModeSaverPassword, 3, ""},
        {ModeAlbumFolder, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " items " << c.items);
        useMusic(c.items, c.mode);
        PlayerState state(view);
        MusicSupervisor music(state);
        music.tmrSound().start();
        for (int round = 0; round < 4; ++round) {
            for (int poll = 0; poll < 3; ++poll) // polls while the item plays change nothing
                music.tick();
            ScriptedPlayback::current = MusicPlayback::Finished;
        }
        EXPECT_EQ(takeCalls(), c.calls);
        EXPECT_EQ(state.mActiveMusic() != nullptr, !c.calls.isEmpty());
        EXPECT_FALSE(music.mMusicFailed());
        EXPECT_TRUE(music.tmrSound().isActive());
    }
}

TEST_F(PlayerStateTest, ReadMusicOpenTakesTheAlbumProfilesNumberNonZeroMeaningOn)
{
    // profile (nullptr: no file), box on; the player's own settings file is not where the value comes from
    const std::pair<const char*, bool> cases[] = {
        {nullptr, true}, {"[Current]\r\nMusicOpen=0\r\n", false}, {"[Current]\r\nMusicOpen=1\r\n", true},
        {"[Current]\r\nMusicOpen= 0 \r\n", false}, {"[Current]\r\nMusicOpen=2\r\n", true},
        {"[Current]\r\nMusicOpen=off\r\n", true}, {"[Current]\r\nOther=0\r\n", true}, {"[Other]\r\nMusicOpen=0\r\n", true},
    };
    for (const auto& [profile, on] : cases) {
        QFile file(dir.filePath("profile.ini"));
        file.remove();
        ASSERT_TRUE(!profile || (file.open(QIODevice::WriteOnly) && file.write(profile) > 0));
        file.close();
        WritePlayerSetting("Current", "MusicOpen", on ? "0" : "1");
        EXPECT_EQ(ReadMusicOpen(), on) << (profile ? profile : "no profile");
    }
}

} // namespace
} // namespace tarnwick

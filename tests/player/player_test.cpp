// The player without a display: album position, music timer, player core on a virtual clock, strip, effect choice.
#include "album.h"
#include "effectchoice.h"
#include "musicsupervisor.h"
#include "nullstateview.h"
#include "playercore.h"
#include "playersettings.h"
#include "playerstate.h"
#include "programfolder.h"
#include "session.h"
#include "thumbnailstrip.h"
#include "vbrandom.h"
#include "virtualhost.h"
#include "windowtimer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

// One text per call of the album position to its window.
class CallRecordingView : public PlayerStateView {
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

    QTemporaryDir dir;
    std::unique_ptr<QTemporaryDir> folder;
    CallRecordingView view;
};

// "A" with three photos, "B" with one.
const char* const kAlbumText =
    "[Album]\nCategories=2\nFields=Title|Date\nHiddenFields=Date\n"
    "[Category1]\nName=A\nFrontCover=af.jpg|af_t.jpg\nBackCover=ab.jpg|ab_t.jpg\nPhotos=3\n"
    "Photo1=a1.jpg|a1_t.jpg\nPhoto1.Title=Sunrise\nPhoto1.Date=2026\nPhoto2=a2.jpg|a2_t.jpg\nPhoto3=a3.jpg|a3_t.jpg\n"
    "[Category2]\nName=B\nFrontCover=bf.jpg|bf_t.jpg\nBackCover=bb.jpg|bb_t.jpg\nPhotos=1\nPhoto1=b1.jpg|b1_t.jpg\n";

TEST_F(PlayerStateTest, PhotoIndexWalksCoversAndPhotosAndMovesOnPastTheCategory)
{
    const QStringList covers{"ResultPicture/af.jpg", "ResultPicture/ab.jpg", "MainAlbum/af_t.jpg"};
    // files, category before, value set, caption shown; then category, photo index, picture shown, cursor; calls
    const struct { const char* what; QStringList files; int start, v; bool caption; const char* state;
                   QStringList calls; } cases[] = {
        {"front cover", covers, 1, 0, false, "1 A 0 af.jpg 5", {"hideCaption"}},
        {"missing front cover stays", {}, 1, 0, false, "1 A 0 - 5", {"hideCaption"}},
        {"photo after a front thumbnail", covers, 1, 1, false, "1 A 1 a1.jpg 5",
         {"inView 1", "place Title: Sunrise\r\nTitle: Sunrise", "hide", "events"}},
        {"photo without front thumbnail", {}, 1, 3, false, "1 A 3 a3.jpg 5",
         {"inView 2", "place Title: \r\nTitle: ", "hide", "events"}},
        {"visible caption hides while it moves", {}, 1, 3, true, "1 A 3 a3.jpg 5",
         {"inView 2", "hideCaption", "place Title: \r\nTitle: ", "show", "events"}},
        {"back cover", covers, 1, 4, false, "1 A 4 ab.jpg 5", {"hideCaption"}},
        {"missing back cover moves on", {}, 1, 4, false, "2 B 4 - 0", {"hideCaption", "hideThumbnails", "load B"}},
        {"past the back cover moves on", covers, 1, 7, false, "2 B 7 - 0", {"hideThumbnails", "load B"}},
        {"below zero moves on", covers, 1, -1, false, "2 B -1 - 0", {"hideThumbnails", "load B"}},
        {"last category wraps to the first", {}, 2, 3, false, "1 A 3 - 0", {"hideThumbnails", "load A"}},
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
        // Moving on asks the new category for its front cover inside the photo setter: that nested call is ignored.
        EXPECT_EQ(QString("%1 %2 %3 %4 %5").arg(s.mActiveCategoryIndex()).arg(s.mActiveCategory()->Name())
                      .arg(s.mActivePhotoIndex()).arg(s.mActivePhoto() ? s.mActivePhoto()->FileName() : "-")
                      .arg(s.mThumbnailCursor()), c.state);
        EXPECT_EQ(view.calls, c.calls);
    }
}

TEST(CaptionText, FieldLinesBreakEverySixtyAndSkippedFieldsRepeatTheLastLine)
{
    Album album;
    album.LoadText("[Album]\nFields=A|B|Long|Hidden\nHiddenFields=Hidden\n");
    AlbumPhoto photo;
    for (const auto& [field, value] : {std::pair{"A", "x"}, {"B", "y"}, {"Hidden", "secret"}})
        photo.SetFieldValue(field, value);
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
        EXPECT_EQ(music.tmrSound().interval(), c.action == SwitchOn ? 1000 : 5);
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

// Files are named after the category: <name>_F front cover, <name>_1.. photos, <name>_B back cover.
struct CategorySpec { QString name; int photos = 1; bool coverThumbnails = true; };

struct EventHost : VirtualHost {
    std::function<void()> onEvents; // lets a test act while a transition draws
    void doEvents() override { VirtualHost::doEvents(), onEvents ? onEvents() : void(); }
};

struct RecordingView : testing::NullPlayerView {
    PlayerCore* core = nullptr;
    std::function<QString(const QImage&)> nameOf;
    QStringList shown; // repeats folded
    int closeCalls = 0;
    bool effectRunningAtClose = false;
    void refreshDisplay() override
    {
        if (const QString name = nameOf(core->run().PM(0).picture()); shown.isEmpty() || shown.last() != name)
            shown << name;
    }
    void closeWindow() override // as the window does: a close during a transition waits
    {
        ++closeCalls;
        effectRunningAtClose = core->run().mEffectRunning;
        if (!core->deferCloseDuringTransition())
            core->unload();
    }
    QSize screenSize() const override { return {800, 600}; }
};

class PlayerCoreTest : public ::testing::Test {
protected:
    PlayerCoreTest() { host.setSettingReader(read); }
    void TearDown() override { core.reset(), ResetSession(); }

    // Writes the album, makes it gAlbum and loads a new core in `mode`.
    PlayerCore& open(const std::vector<CategorySpec>& categories, bool albumCovers = true, int mode = ModeAlbumFolder)
    {
        core.reset();
        ResetSession();
        colours.clear();
        dir = std::make_unique<QTemporaryDir>();
        SetProgramFolder(dir->path());
        QFile profile(dir->filePath("profile.ini"));
        EXPECT_TRUE(profile.open(QIODevice::WriteOnly) && profile.write("[Current]\nMusicOpen=0\n") > 0);
        profile.close();
        QString text = QString("[Album]\nTitle=T\nPictureWidth=400\nPictureHeight=300\nFrontCover=front.png|front_t.png\n"
                               "BackCover=back.png|back_t.png\nCategories=%1\n").arg(categories.size());
        picture("BackgroundPicture.jpg", "bg");
        for (const char* cover : {"front", "back"})
            if (albumCovers)
                picture(cover + QString(".png"), cover);
        for (std::size_t i = 0; i < categories.size(); ++i) {
            const CategorySpec& c = categories[i];
            text += QString("[Category%1]\nName=%2\nFrontCover=%2_F.png|%2_F_t.png\nBackCover=%2_B.png|%2_B_t.png\n"
                            "Photos=%3\n").arg(i + 1).arg(c.name).arg(c.photos);
            for (int p = 0; p <= c.photos + 1; ++p) {
                const QString name = c.name + '_' + (p == 0 ? "F" : p > c.photos ? "B" : QString::number(p));
                if (p > 0 && p <= c.photos)
                    text += QString("Photo%1=%2.png|%2_t.png\n").arg(p).arg(name);
                picture(name + ".png", name);
                if (c.coverThumbnails || (p > 0 && p <= c.photos))
                    picture(name + "_t.png", name + "_t", "MainAlbum/");
            }
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(dir->path());
        StartMode = mode;
        core = std::make_unique<PlayerCore>(view, host, read);
        view = RecordingView{};
        view.core = core.get();
        view.nameOf = [this](const QImage& picture) { return nameOf(picture); };
        host.onEvents = nullptr;
        core->Load();
        return *core;
    }
    QString nameOf(const QImage& picture) const
    {
        return picture.isNull() ? "none" : colours.key(picture.pixel(picture.width() / 2, picture.height() / 2), "?");
    }

    // One short fade for every change: two frames of 50 virtual ms.
    QMap<QString, QString> settings{{"Effect/EffectNumber", "1"}, {"Effect/Effect_1", "Blend"},
                                    {"Effect/Percent_1", "100"}, {"Blend/BlendTimes(How many loop times to finish?)", "2"}};
    const SettingReader read = [this](QString s, QString k, QString d) { return settings.value(s + '/' + k, d); };
    EventHost host;
    RecordingView view;
    std::unique_ptr<PlayerCore> core;

private:
    // PNG whatever the name, so the colour comes back exact.
    void picture(const QString& file, const QString& name, const QString& folder = "ResultPicture/")
    {
        const int i = static_cast<int>(colours.size());
        const QRgb colour = qRgb(20 + 40 * (i % 6), 20 + 40 * (i / 6 % 6), 20 + 40 * (i / 36 % 6));
        colours.insert(name, colour);
        QDir(dir->path()).mkpath(folder);
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(dir->filePath(folder + file), "PNG")) << file.toStdString();
    }
    std::unique_ptr<QTemporaryDir> dir;
    QMap<QString, QRgb> colours;
};

TEST_F(PlayerCoreTest, SlideshowWalksEveryCategoryInStripOrderAndWraps)
{
    // categories, ticks; the cover's first tick then one picture per tick, at category:picture
    const struct { const char* what; std::vector<CategorySpec> categories; int ticks; const char* shown; } cases[] = {
        {"covers frame each category", {{"A", 3}, {"B", 1}}, 8, "A_F A_1 A_2 A_3 A_B B_F B_1 B_B A_F at 1:0"},
        {"no cover thumbnails", {{"A", 2, false}, {"B", 1, false}}, 3, "A_1 A_2 B_1 A_1 at 1:1"},
        // A used up: B waits at its front cover
        {"last category wraps to the first", {{"A", 1, false}, {"B", 1, false}, {"C", 1, false}}, 3,
         "A_1 B_1 C_1 A_1 at 2:0"},
        {"one category restarts at thumbnail 0", {{"A", 2}}, 5, "A_F A_1 A_2 A_B A_F A_1 at 1:1"},
        // B's strip leaves A's entries 1..3 hidden: they end B at once.
        {"surplus entries stay hidden", {{"A", 4, false}, {"B", 1, false}}, 6, "A_1 A_2 A_3 A_4 B_1 A_1 A_2 at 1:2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerCore& player = open(c.categories);
        player.PlayAlbumFrontCover();
        QStringList shown{nameOf(player.run().NowPicture)};
        for (int i = 0; i < c.ticks; ++i) {
            player.photoTick();
            shown << nameOf(player.run().NowPicture);
        }
        EXPECT_EQ(QString("%1 at %2:%3").arg(shown.join(' ')).arg(player.state().mActiveCategoryIndex())
                      .arg(player.state().mActivePhotoIndex()), c.shown);
        EXPECT_TRUE(player.tmrPhotoIndexChange.isActive());
    }
}

TEST_F(PlayerCoreTest, LoadTheFrontCoverAndAnExitDuringTheFirstTransition)
{
    // A slideshow tick due before the front cover waits for it, and the first category starts at once after it.
    // timers: photo and cover interval ("off": not all three run); cover: shown (repeats folded), virtual ms
    // (100 per fade), list index, category, photo, cursor, cover timer; exit: close calls, pending, state,
    // virtual ms (back cover 1000), last shown
    const struct { const char* what; int mode; const char* stopTime; bool covers, byTimer, during;
                   const char *timers, *cover, *exit; } cases[] = {
        {"player window, cover by its timer", ModeAlbumFolder, " 2.5 ", true, true, true, "2500 1000",
         "bg front A_F 200 0 1 0 1 off", "1 pending closed 1200 back"},
        {"saver fades back to the desktop", ModeSaver, "5", true, false, true, "5000 1000", "bg front 100 0 1 0 0 on",
         "1 pending closed 1200 bg"},
        {"preview keeps the exit request", ModeSaverPreview, "7", true, false, true, "10 10", "bg front 100 0 1 0 0 on",
         "0 pending playing 100 A_F"},
        {"no album covers, no transition at the exit", ModeAlbumFolder, "abc", false, false, false, "0 1000",
         "bg A_F 100 0 1 0 1 on", "1 - closed 1000 A_F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        settings["Effect/StopTime"] = c.stopTime;
        PlayerCore& player = open({{"A", 2}, {"B", 1}}, c.covers, c.mode);
        const WindowTimer &photos = player.tmrPhotoIndexChange, &cover = player.tmrAlbumCover;
        const bool armed = photos.isActive() && cover.isActive() && player.music().tmrSound().isActive();
        EXPECT_EQ(armed ? QString("%1 %2").arg(photos.interval()).arg(cover.interval()) : "off", c.timers);
        player.photoTick();
        auto start = host.now();
        if (c.byTimer)
            player.albumCoverTick();
        else
            player.PlayAlbumFrontCover();
        const PlayerState& s = player.state();
        EXPECT_EQ(QString("%1 %2 %3 %4 %5 %6 %7").arg(view.shown.join(' ')).arg(host.now() - start)
                      .arg(player.categoryListIndex()).arg(s.mActiveCategoryIndex()).arg(s.mActivePhotoIndex())
                      .arg(s.mThumbnailCursor()).arg(cover.isActive() ? "on" : "off"), c.cover);
        start = host.now();
        if (c.during) {
            host.onEvents = [&player] {
                if (player.run().mEffectRunning)
                    player.exitCommand();
            };
            player.photoTick();
        } else {
            player.exitCommand();
        }
        EXPECT_FALSE(view.effectRunningAtClose);
        const bool timers = photos.isActive() || cover.isActive() || player.music().tmrSound().isActive();
        const char* end = player.closed() ? (timers ? "closed, timers on" : "closed")
                                          : (photos.isActive() ? "playing" : "stopped");
        EXPECT_EQ(QString("%1 %2 %3 %4 %5").arg(view.closeCalls).arg(player.run().mClosePending ? "pending" : "-")
                      .arg(end).arg(host.now() - start).arg(view.shown.last()), c.exit);
        EXPECT_FALSE(player.closed() && player.unload());
    }
}

// count visible max on/off large small value highlight-top (-1 hidden) category:picture
QString stripOf(PlayerCore& player)
{
    const ThumbnailStrip& strip = player.strip();
    int visible = 0;
    for (int k = 0; k < strip.count(); ++k)
        visible += strip.isVisible(k);
    return QString("%1 %2 %3 %4 %5 %6 %7 %8 %9:%10").arg(strip.count()).arg(visible).arg(strip.maximum())
        .arg(strip.scrollEnabled() ? "on" : "off").arg(strip.largeChange()).arg(strip.smallChange()).arg(strip.value())
        .arg(strip.highlightVisible() ? strip.highlightTop() : -1).arg(player.state().mActiveCategoryIndex())
        .arg(player.state().mActivePhotoIndex());
}

TEST_F(PlayerCoreTest, StripScrollsHighlightsAndFollowsClicks)
{
    // Slots of 85 in a viewport of 441: A's ten entries overflow by 409, B's four fit.
    const struct { const char* what; std::function<void(PlayerCore&)> act; QString strip; const char* shownAtOnce = nullptr; }
        steps[] = {
            {"a long category opens", [](PlayerCore& p) { p.PlayAlbumFrontCover(); }, "10 10 409 on 409 85 0 0 1:0"},
            {"a photo above the view scrolls it back", [](PlayerCore& p) { p.scrollChanged(409), p.photoTick(); },
             "10 10 409 on 409 85 85 0 1:1"},
            {"the shown photo is kept in view", [](PlayerCore& p) { for (int i = 0; i < 5; ++i) p.photoTick(); },
             "10 10 409 on 409 85 154 356 1:6"},
            {"scrolling moves entries and highlight", [](PlayerCore& p) { p.scrollChanged(200); },
             "10 10 409 on 409 85 200 310 1:6"},
            {"a value past Max is refused", [](PlayerCore& p) { p.scrollChanged(410); },
             "10 10 409 on 409 85 200 310 1:6"},
            {"the back cover entry selects PhotoCount + 1", [](PlayerCore& p) { p.thumbnailClick(9); },
             "10 10 409 on 409 85 200 565 1:9"},
            {"a later scroll leaves the cover unlit", [](PlayerCore& p) { p.scrollChanged(150); },
             "10 10 409 on 409 85 150 -1 1:9"},
            {"a short category hides the surplus", [](PlayerCore& p) { p.cboCategoryClick(1); },
             "10 4 0 off 409 85 0 0 2:0"},
            {"a hidden entry ignores clicks", [](PlayerCore& p) { p.thumbnailClick(6); }, "10 4 0 off 409 85 0 0 2:0"},
            {"without Auto Play a click shows the photo at once",
             [](PlayerCore& p) { p.setAutoPlay(false), p.thumbnailClick(2); }, "10 4 0 off 409 85 0 170 2:2", "B_2"},
        };
    PlayerCore& player = open({{"A", 8}, {"B", 2}});
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const int frames = host.refreshes();
        step.act(player);
        EXPECT_EQ(stripOf(player), step.strip);
        for (int k = 0; k < player.strip().count(); ++k)
            EXPECT_EQ(player.strip().entryRect(k), QRect(4, k * 85 + 4 - player.strip().value(), 103, 77)) << k;
        if (step.shownAtOnce) {
            EXPECT_EQ(host.refreshes(), frames);
            EXPECT_EQ(nameOf(player.run().NowPicture) + ' ' + nameOf(player.run().PM(0).picture()),
                      QString(step.shownAtOnce) + ' ' + step.shownAtOnce);
            EXPECT_EQ(player.state().mThumbnailCursor(), 2);
        }
    }
}

TEST(PlayerCoreStatic, PictureAreaCentresOnlyWhenLargerBothWays)
{
    const struct { int w, h; QRectF area; } cases[] = {
        {400, 599, {0, 0, 400, 599}}, {649, 300, {0, 0, 649, 300}}, {649, 599, {124.5, 149.5, 400, 300}}};
    for (const auto& c : cases)
        EXPECT_EQ(PlayerCore::PictureArea(c.w, c.h, 400, 300), c.area) << c.w << "x" << c.h;
}

TEST(WindowTimer, FiresOnlyWhileEnabledWithAnIntervalAbove0)
{
    // A "StopTime" that is not a number stops the show instead of racing it.
    const auto ticksWithin = [](WindowTimer& timer, int ms) {
        int ticks = 0;
        const auto c = QObject::connect(&timer, &WindowTimer::timeout, [&] { ++ticks; });
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QObject::disconnect(c);
        return ticks;
    };
    WindowTimer timer;
    timer.setInterval(0);
    timer.start();
    EXPECT_EQ(ticksWithin(timer, 60), 0);
    timer.setInterval(5);
    EXPECT_GT(ticksWithin(timer, 60), 0);
    timer.stop();
    EXPECT_EQ(ticksWithin(timer, 30), 0);
}

using Settings = QMap<QString, QString>;

// "N=2;E1=A;P1=30" stands for EffectNumber=2, Effect_1=A, Percent_1=30.
SettingReader readerOf(const QString& compact)
{
    Settings settings;
    for (const QString& entry : compact.split(';', Qt::SkipEmptyParts)) {
        const QString key = entry.section('=', 0, 0), value = entry.section('=', 1);
        settings[key == "N" ? "EffectNumber" : (key[0] == 'E' ? "Effect_" : "Percent_") + key.mid(1)] = value;
    }
    return [settings](const QString& section, const QString& key, const QString& def) {
        return section == "Effect" && settings.contains(key) ? settings.value(key) : def;
    };
}

// The state one generator step after `seed`, worked out on its own.
std::uint32_t stepOf(std::uint32_t seed) { return (std::uint64_t(seed) * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu; }

TEST(EffectChoiceTest, DrawsFallIntoTheSharesAsTheSettingsHoldThem)
{
    const struct { const char* what; const char* settings; int draw; const char* name; } cases[] = {
        {"shares short of 100, inside", "N=2;E1=A;P1=30;E2=B;P2=30", 60, "B"},
        {"shares short of 100, past", "N=2;E1=A;P1=30;E2=B;P2=30", 61, "mask"},
        {"shares past 100", "N=2;E1=A;P1=90;E2=B;P2=90", 100, "B"},
        {"all zero", "N=2;E1=A;P1=0;E2=B;P2=0", 1, "mask"},
        {"negative weight pushes the draw on", "N=2;E1=A;P1=-10;E2=B;P2=15", 6, "mask"},
        {"missing count", "E1=A;P1=100", 1, "mask"}, {"count not a number", "N=x;E1=A;P1=100", 1, "mask"},
        {"count rounds half to even", "N=1.5;E1=A;P1=1;E2=B;P2=100", 50, "B"},
        {"missing weight is 1", "N=2;E1=A;E2=B;P2=100", 2, "B"},
        {"missing weight is 1, first draw", "N=2;E1=A;E2=B;P2=100", 1, "A"},
        {"first weight not a number is 0", "N=2;E1=A;P1=;E2=B;P2=100", 1, "B"},
        {"later weight not a number keeps the previous", "N=2;E1=A;P1=40;E2=B;P2=abc", 80, "B"},
        {"later weight not a number, past", "N=2;E1=A;P1=40;E2=B;P2=abc", 81, "mask"},
        {"empty winner name", "N=2;P1=100;E2=B;P2=100", 1, "mask"},
        {"name as it stands", "N=1;E1=RndSquare;P1=100", 100, "RndSquare"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EffectNameForDraw(readerOf(c.settings), c.draw), QString(c.name)) << c.what;
    // A seeded choice draws 1..100 from one step of the generator.
    for (const auto& [draw, name] : {std::pair{1, "Blend"}, {50, "Drag"}, {51, "Wipe"}, {100, "Wipe"}}) {
        std::uint32_t seed = 0; // one whose first draw is `draw`
        while (int(std::uint64_t(stepOf(seed)) * 100 / 0x1000000) + 1 != draw)
            ++seed;
        seedRandom(seed);
        EXPECT_EQ(ChooseEffectName(readerOf("N=3;E1=Blend;P1=20;E2=Drag;P2=30;E3=Wipe;P3=50")), QString(name)) << draw;
        EXPECT_EQ(randomState(), stepOf(seed)) << "draw " << draw;
    }
}

} // namespace
} // namespace tarnwick

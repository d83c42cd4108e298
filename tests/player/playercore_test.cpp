// The player core without a display: an album of solid-colour pictures (the colour names the file), a view
// that records what the display came to show, a virtual clock whose event pump can act mid-transition.
#include "album.h"
#include "effectchoice.h"
#include "musicsupervisor.h"
#include "nullstateview.h"
#include "playercore.h"
#include "programfolder.h"
#include "session.h"
#include "thumbnailstrip.h"
#include "vbrandom.h"
#include "virtualhost.h"
#include "windowtimer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tarnwick::test {
namespace {

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
    PlayerCoreTest() { host.setSettingReader([this](QString s, QString k, QString d) { return read(s, k, d); }); }
    void TearDown() override
    {
        core.reset();
        ResetSession();
    }
    QString read(const QString& section, const QString& key, const QString& def) const
    {
        return settings.value(section + '/' + key, def);
    }

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
        core = std::make_unique<PlayerCore>(view, host, [this](QString s, QString k, QString d) { return read(s, k, d); });
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
    // categories, ticks, the cover's first tick then one picture per tick, category and picture at the end
    const struct { const char* what; std::vector<CategorySpec> categories; int ticks; QString shown; int category, picture; }
        cases[] = {
            {"covers frame each category", {{"A", 3}, {"B", 1}}, 8, "A_F A_1 A_2 A_3 A_B B_F B_1 B_B A_F", 1, 0},
            {"no cover thumbnails", {{"A", 2, false}, {"B", 1, false}}, 3, "A_1 A_2 B_1 A_1", 1, 1},
            {"last category wraps to the first", {{"A", 1, false}, {"B", 1, false}, {"C", 1, false}}, 3,
             "A_1 B_1 C_1 A_1", 2, 0}, // A used up: B waits at its front cover
            {"one category restarts at thumbnail 0", {{"A", 2}}, 5, "A_F A_1 A_2 A_B A_F A_1", 1, 1},
            // B's strip leaves A's entries 1..3 hidden: they end B at once.
            {"surplus entries stay hidden", {{"A", 4, false}, {"B", 1, false}}, 6, "A_1 A_2 A_3 A_4 B_1 A_1 A_2", 1, 2},
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
        EXPECT_EQ(shown.join(' '), c.shown);
        EXPECT_EQ(player.state().mActiveCategoryIndex(), c.category);
        EXPECT_EQ(player.state().mActivePhotoIndex(), c.picture);
        EXPECT_TRUE(player.tmrPhotoIndexChange.isActive());
    }
}

TEST_F(PlayerCoreTest, FrontCoverComesOnThenTheFirstCategoryStartsAtOnce)
{
    // front cover file, by the cover timer, display, virtual ms (100 per fade)
    const struct { bool frontCover, byTimer; QString shown; int virtualMs; } cases[] = {
        {true, false, "bg front A_F", 200}, {true, true, "bg front A_F", 200}, {false, true, "bg A_F", 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString() + (c.byTimer ? " by timer" : ""));
        PlayerCore& player = open({{"A", 2}, {"B", 1}}, c.frontCover);
        player.photoTick(); // a slideshow tick due before the cover waits for it
        const auto start = host.now();
        if (c.byTimer)
            player.albumCoverTick();
        else
            player.PlayAlbumFrontCover();
        EXPECT_EQ(view.shown.join(' '), c.shown);
        EXPECT_EQ(host.now() - start, c.virtualMs);
        EXPECT_EQ(QString("%1 %2 %3 %4").arg(player.categoryListIndex()).arg(player.state().mActiveCategoryIndex())
                      .arg(player.state().mActivePhotoIndex()).arg(player.state().mThumbnailCursor()), "0 1 0 1");
        EXPECT_EQ(player.tmrAlbumCover.isActive(), !c.byTimer);
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
            {"the shown photo is kept in view", [](PlayerCore& p) { for (int i = 0; i < 6; ++i) p.photoTick(); },
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

TEST_F(PlayerCoreTest, ExitDuringATransitionClosesAfterItOutsideThePreview)
{
    // mode, exit during a transition, close calls, pending, closed, virtual ms (100 per fade, 1000 for the pause
    // after the back cover), the display at the end
    const struct { const char* what; int mode; bool during; int closeCalls; bool pending, closed; int ms; QString last; }
        cases[] = {
            {"player window", ModeAlbumFolder, true, 1, true, true, 1200, "back"},
            {"saver fades back to the desktop", ModeSaver, true, 1, true, true, 1200, "bg"},
            {"preview keeps the request", ModeSaverPreview, true, 0, true, false, 100, "A_F"},
            {"no transition closes at once", ModeAlbumFolder, false, 1, false, true, 1100, "back"},
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerCore& player = open({{"A", 2}, {"B", 1}}, true, c.mode);
        player.PlayAlbumFrontCover();
        const auto start = host.now();
        if (c.during) {
            host.onEvents = [&player] {
                if (player.run().mEffectRunning)
                    player.exitCommand();
            };
            player.photoTick();
        } else {
            player.exitCommand();
        }
        EXPECT_EQ(view.closeCalls, c.closeCalls);
        EXPECT_FALSE(view.effectRunningAtClose);
        EXPECT_EQ(player.run().mClosePending, c.pending);
        EXPECT_EQ(player.closed(), c.closed);
        EXPECT_EQ(host.now() - start, c.ms);
        EXPECT_EQ(player.tmrPhotoIndexChange.isActive(), !c.closed);
        EXPECT_EQ(view.shown.last(), c.last);
        if (c.closed) {
            EXPECT_FALSE(player.tmrAlbumCover.isActive() || player.music().tmrSound().isActive());
            EXPECT_FALSE(player.unload());
        }
    }
}

TEST_F(PlayerCoreTest, LoadArmsTheTimersByMode)
{
    const struct { int mode; const char* stopTime; int photoInterval, coverInterval; } cases[] = {
        {ModeAlbumFolder, "2.5", 2500, 1000}, {ModeAlbumFolder, "abc", 0, 1000},
        {ModePackedAlbum, "5", 5000, 1000}, {ModeSaverPreview, "7", 10, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopTime);
        settings["Effect/StopTime"] = c.stopTime;
        PlayerCore& player = open({{"A", 1}}, true, c.mode);
        EXPECT_TRUE(player.tmrPhotoIndexChange.isActive() && player.tmrAlbumCover.isActive()
                    && player.music().tmrSound().isActive());
        EXPECT_EQ(player.tmrPhotoIndexChange.interval(), c.photoInterval);
        EXPECT_EQ(player.tmrAlbumCover.interval(), c.coverInterval);
    }
    for (const auto& [text, ms] : {std::pair{"0.3", 300}, {"", 0}, {" 1 ", 1000}})
        EXPECT_EQ(PlayerCore::StopTimeInterval(text), ms) << text;
}

TEST(PlayerCoreStatic, PictureAreaCentresOnlyWhenLargerBothWays)
{
    const struct { int w, h; QRectF area; } cases[] = {
        {400, 599, {0, 0, 400, 599}}, {649, 300, {0, 0, 649, 300}}, {649, 599, {124.5, 149.5, 400, 300}},
        {300, 200, {0, 0, 300, 200}}};
    for (const auto& c : cases)
        EXPECT_EQ(PlayerCore::PictureArea(c.w, c.h, 400, 300), c.area) << c.w << "x" << c.h;
}

// Slots of 50 x 40 in a viewport of 100: sizes other than the panel's, so a range worked out from those shows.
TEST(ThumbnailStripTest, BuildsWorkOutRangeStepsAndPictureEntries)
{
    const QString F = ThumbnailStrip::kFrontCoverTag, B = ThumbnailStrip::kBackCoverTag;
    // entries, max, page and line step (0: left as they were, the bar is off), entry of photo 1
    const struct { std::vector<QString> tags; int max, large, small, entryOfPhoto1; } cases[] = {
        {{"1", "2"}, 0, 0, 0, 0}, {{F}, 0, 0, 0, 1}, {{"1", "2", "3"}, 20, 20, 20, 0},
        {{F, "1", "2", "3", B}, 100, 100, 40, 1}, {{"1", "2", "3", "4", "5", "6", "7"}, 180, 100, 40, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringList(c.tags.begin(), c.tags.end()).join(',').toStdString());
        ThumbnailStrip strip;
        strip.setSlotSize(50, 40);
        strip.setViewportHeight(100);
        strip.beginBuild();
        for (int k = 0; k < static_cast<int>(c.tags.size()); ++k)
            strip.setEntry(k, c.tags[k], QImage(), c.tags[k] != F);
        strip.finishBuild();
        EXPECT_EQ(strip.maximum(), c.max);
        EXPECT_EQ(strip.scrollEnabled(), c.max != 0);
        if (c.large) {
            EXPECT_EQ(QString("%1 %2").arg(strip.largeChange()).arg(strip.smallChange()),
                      QString("%1 %2").arg(c.large).arg(c.small));
        }
        EXPECT_EQ(strip.entryForPicture(1), c.entryOfPhoto1);
        EXPECT_EQ(strip.lastVisible(), static_cast<int>(c.tags.size()) - 1);
        EXPECT_EQ(strip.entryRect(1), QRect(4, 44, 42, 32));
    }
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
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(ticksWithin(timer, 60), 0);
    timer.setInterval(5);
    EXPECT_GT(ticksWithin(timer, 60), 0);
    timer.stop();
    EXPECT_EQ(ticksWithin(timer, 30), 0);
    timer.setInterval(-3);
    EXPECT_EQ(timer.interval(), 0);
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

TEST(EffectChoiceTest, SeededDrawsFallIntoTheirBandAndTakeOneNumber)
{
    for (const auto& [draw, name] : {std::pair{1, "Blend"}, {20, "Blend"}, {21, "Drag"}, {50, "Drag"}, {51, "Wipe"},
                                     {100, "Wipe"}}) {
        std::uint32_t seed = 0; // one whose first draw (1..100) is `draw`
        while (int(std::uint64_t(stepOf(seed)) * 100 / 0x1000000) + 1 != draw)
            ++seed;
        seedRandom(seed);
        EXPECT_EQ(ChooseEffectName(readerOf("N=3;E1=Blend;P1=20;E2=Drag;P2=30;E3=Wipe;P3=50")), QString(name)) << draw;
        EXPECT_EQ(randomState(), stepOf(seed)) << "draw " << draw;
    }
}

TEST(EffectChoiceTest, WeightsCountsAndNamesAsTheSettingsHoldThem)
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
}

} // namespace
} // namespace tarnwick::test

// The player core driven without a display: an album of solid-colour
// pictures in a temporary folder, a window that records what the core asks
// of it, a virtual-clock host whose event pump can act in the middle of a
// transition, and the player settings as a table. Every picture has its own
// colour, so the colour on the display names the file.

// ours
#include "album.h"
#include "musicsupervisor.h"
#include "nullstateview.h"
#include "playercore.h"
#include "programfolder.h"
#include "session.h"
#include "virtualhost.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>

// std
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace tarnwick::test {
namespace {

// A category whose files are named after it: <name>_F.png front cover,
// <name>_1.png.. photos, <name>_B.png back cover, thumbnails with "_t".
struct CategorySpec {
    QString name;
    int photos = 1;
    bool coverThumbnails = true;
};

// Lets a test act while a transition draws (an Exit click, say).
class EventHost : public VirtualHost {
public:
    std::function<void()> onEvents;
    void doEvents() override
    {
        VirtualHost::doEvents();
        if (onEvents)
            onEvents();
    }
};

class RecordingView : public testing::NullPlayerView {
public:
    PlayerCore* core = nullptr;
    std::function<QString(const QImage&)> nameOf;
    QStringList shown; // what the display came to show, repeats folded
    int closeCalls = 0;
    bool effectRunningAtClose = false;

    void refreshDisplay() override
    {
        const QString name = nameOf(core->run().PM(0).picture());
        if (shown.isEmpty() || shown.last() != name)
            shown << name;
    }
    // Closes the way the window does: a close during a transition waits.
    void closeWindow() override
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
    PlayerCoreTest()
    {
        // One short fade for every change: two frames of 50 virtual ms.
        settings = {{"Effect/EffectNumber", "1"}, {"Effect/Effect_1", "Blend"}, {"Effect/Percent_1", "100"},
                    {"Blend/BlendTimes(How many loop times to finish?)", "2"}};
        host.setSettingReader([this](const QString& s, const QString& k, const QString& d) { return read(s, k, d); });
        view.nameOf = [this](const QImage& picture) { return nameOf(picture); };
    }
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
    PlayerCore& open(const std::vector<CategorySpec>& categories, bool albumCovers = true,
                     int mode = ModeAlbumFolder)
    {
        core.reset();
        ResetSession();
        colours.clear();
        dir = std::make_unique<QTemporaryDir>();
        const QString root = dir->path() + '/';
        SetProgramFolder(dir->path());
        QFile profile(root + "profile.ini");
        EXPECT_TRUE(profile.open(QIODevice::WriteOnly));
        profile.write("[Current]\nMusicOpen=0\n");
        profile.close();

        QString text = QString("[Album]\nTitle=T\nPictureWidth=400\nPictureHeight=300\n"
                               "FrontCover=front.png|front_t.png\nBackCover=back.png|back_t.png\nCategories=%1\n")
                           .arg(categories.size());
        writePicture(root + "ResultPicture/BackgroundPicture.jpg", "bg");
        if (albumCovers) {
            writePicture(root + "ResultPicture/front.png", "front");
            writePicture(root + "ResultPicture/back.png", "back");
        }
        for (std::size_t i = 0; i < categories.size(); ++i) {
            const CategorySpec& c = categories[i];
            text += QString("[Category%1]\nName=%2\nFrontCover=%2_F.png|%2_F_t.png\n"
                            "BackCover=%2_B.png|%2_B_t.png\nPhotos=%3\n")
                        .arg(i + 1)
                        .arg(c.name)
                        .arg(c.photos);
            const auto addPicture = [&](const QString& name, bool thumbnail) {
                writePicture(root + "ResultPicture/" + name + ".png", name);
                if (thumbnail)
                    writePicture(root + "MainAlbum/" + name + "_t.png", name + "_t");
            };
            addPicture(c.name + "_F", c.coverThumbnails);
            addPicture(c.name + "_B", c.coverThumbnails);
            for (int p = 1; p <= c.photos; ++p) {
                text += QString("Photo%1=%2_%1.png|%2_%1_t.png\n").arg(p).arg(c.name);
                addPicture(QString("%1_%2").arg(c.name).arg(p), true);
            }
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(dir->path());
        StartMode = mode;
        core = std::make_unique<PlayerCore>(view, host, [this](QString s, QString k, QString d) {
            return read(s, k, d);
        });
        view.shown.clear();
        view.closeCalls = 0;
        view.effectRunningAtClose = false;
        view.core = core.get();
        host.onEvents = nullptr;
        core->Load();
        return *core;
    }

    // The name of the picture whose colour `picture` shows; "none" for no
    // picture.
    QString nameOf(const QImage& picture) const
    {
        if (picture.isNull())
            return "none";
        return colours.key(picture.pixel(picture.width() / 2, picture.height() / 2), "?");
    }

    QMap<QString, QString> settings;
    EventHost host;
    RecordingView view;
    std::unique_ptr<PlayerCore> core;

private:
    // PNG whatever the name, so the colour comes back exact.
    void writePicture(const QString& path, const QString& name)
    {
        const int i = static_cast<int>(colours.size());
        const QRgb colour = qRgb(20 + 40 * (i % 6), 20 + 40 * (i / 6 % 6), 20 + 40 * (i / 36 % 6));
        colours.insert(name, colour);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(colour);
        EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
    }

    std::unique_ptr<QTemporaryDir> dir;
    QMap<QString, QRgb> colours;
};

TEST_F(PlayerCoreTest, SlideshowWalksEveryCategoryInStripOrderAndWraps)
{
    struct Case {
        const char* what;
        std::vector<CategorySpec> categories;
        int ticks;
        QString shown; // the cover's first tick, then one picture per tick
        int category;  // where the show stands at the end
        int picture;
    };
    const std::vector<Case> cases{
        {"covers frame each category", {{"A", 3}, {"B", 1}}, 8, "A_F A_1 A_2 A_3 A_B B_F B_1 B_B A_F", 1, 0},
        {"no cover thumbnails", {{"A", 2, false}, {"B", 1, false}}, 3, "A_1 A_2 B_1 A_1", 1, 1},
        {"last category wraps to the first", {{"A", 1, false}, {"B", 1, false}, {"C", 1, false}}, 3,
         "A_1 B_1 C_1 A_1", 2, 0}, // A used up: B waits at its front cover
        {"one category restarts at thumbnail 0", {{"A", 2}}, 5, "A_F A_1 A_2 A_B A_F A_1", 1, 1},
        // B's strip leaves A's entries 1..3 hidden: they end B at once.
        {"surplus entries stay hidden", {{"A", 4, false}, {"B", 1, false}}, 6, "A_1 A_2 A_3 A_4 B_1 A_1 A_2", 1, 2},
    };
    for (const Case& c : cases) {
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
    struct Case {
        const char* what;
        bool frontCover;
        bool byTimer;
        QString shown;
        int virtualMs; // 100 per fade
    };
    const std::vector<Case> cases{
        {"front cover", true, false, "bg front A_F", 200},
        {"from the cover timer", true, true, "bg front A_F", 200},
        {"no front cover file", false, true, "bg A_F", 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerCore& player = open({{"A", 2}, {"B", 1}}, c.frontCover);
        player.photoTick(); // a slideshow tick due before the cover waits for it
        const auto start = host.now();
        if (c.byTimer)
            player.albumCoverTick();
        else
            player.PlayAlbumFrontCover();
        EXPECT_EQ(view.shown.join(' '), c.shown);
        EXPECT_EQ(host.now() - start, c.virtualMs);
        EXPECT_EQ(player.categoryListIndex(), 0);
        EXPECT_EQ(player.state().mActiveCategoryIndex(), 1);
        EXPECT_EQ(player.state().mActivePhotoIndex(), 0);
        EXPECT_EQ(player.state().mThumbnailCursor(), 1); // the first tick has run
        EXPECT_EQ(player.tmrAlbumCover.isActive(), !c.byTimer);
    }
}

struct StripState {
    int count, visible, max;
    bool enabled;
    int large, small, value;
    int highlight; // top, -1 when hidden
    int category, picture;
    bool operator==(const StripState&) const = default;
};

void PrintTo(const StripState& s, std::ostream* os)
{
    *os << "entries " << s.visible << "/" << s.count << " max " << s.max << (s.enabled ? " on" : " off") << " large "
        << s.large << " small " << s.small << " value " << s.value << " highlight " << s.highlight << " at "
        << s.category << ":" << s.picture;
}

StripState StripOf(PlayerCore& player)
{
    const ThumbnailStrip& strip = player.strip();
    int visible = 0;
    for (int k = 0; k < strip.count(); ++k)
        visible += strip.isVisible(k);
    return {strip.count(), visible, strip.maximum(), strip.scrollEnabled(), strip.largeChange(),
            strip.smallChange(), strip.value(), strip.highlightVisible() ? strip.highlightTop() : -1,
            player.state().mActiveCategoryIndex(), player.state().mActivePhotoIndex()};
}

TEST_F(PlayerCoreTest, StripScrollsHighlightsAndFollowsClicks)
{
    // Slots of 85 in a viewport of 441: A's ten entries overflow by 409,
    // B's four fit.
    struct Step {
        const char* what;
        std::function<void(PlayerCore&)> act;
        StripState strip;
        const char* shownAtOnce = nullptr; // shown without a transition
    };
    const std::vector<Step> steps{
        {"a long category opens", [](PlayerCore& p) { p.PlayAlbumFrontCover(); },
         {10, 10, 409, true, 409, 85, 0, 0, 1, 0}},
        {"the shown photo is kept in view",
         [](PlayerCore& p) {
             for (int i = 0; i < 6; ++i)
                 p.photoTick();
         },
         {10, 10, 409, true, 409, 85, 154, 356, 1, 6}},
        {"scrolling moves entries and highlight", [](PlayerCore& p) { p.scrollChanged(200); },
         {10, 10, 409, true, 409, 85, 200, 310, 1, 6}},
        {"a value past Max is refused", [](PlayerCore& p) { p.scrollChanged(410); },
         {10, 10, 409, true, 409, 85, 200, 310, 1, 6}},
        {"the back cover entry selects PhotoCount + 1", [](PlayerCore& p) { p.thumbnailClick(9); },
         {10, 10, 409, true, 409, 85, 200, 565, 1, 9}},
        {"a later scroll leaves the cover unlit", [](PlayerCore& p) { p.scrollChanged(150); },
         {10, 10, 409, true, 409, 85, 150, -1, 1, 9}},
        {"a short category hides the surplus", [](PlayerCore& p) { p.cboCategoryClick(1); },
         {10, 4, 0, false, 409, 85, 0, 0, 2, 0}},
        {"a hidden entry ignores clicks", [](PlayerCore& p) { p.thumbnailClick(6); },
         {10, 4, 0, false, 409, 85, 0, 0, 2, 0}},
        {"without Auto Play a click shows the photo at once",
         [](PlayerCore& p) {
             p.setAutoPlay(false);
             p.thumbnailClick(2);
         },
         {10, 4, 0, false, 409, 85, 0, 170, 2, 2}, "B_2"},
    };
    PlayerCore& player = open({{"A", 8}, {"B", 2}});
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const int frames = host.refreshes();
        step.act(player);
        EXPECT_EQ(StripOf(player), step.strip);
        for (int k = 0; k < player.strip().count(); ++k)
            EXPECT_EQ(player.strip().entryRect(k), QRect(4, k * 85 + 4 - step.strip.value, 103, 77)) << k;
        if (step.shownAtOnce) {
            EXPECT_EQ(host.refreshes(), frames);
            EXPECT_EQ(nameOf(player.run().NowPicture), step.shownAtOnce);
            EXPECT_EQ(nameOf(player.run().PM(0).picture()), step.shownAtOnce);
            EXPECT_EQ(player.state().mThumbnailCursor(), 2);
        }
    }
}

TEST_F(PlayerCoreTest, ExitDuringATransitionClosesAfterItOutsideThePreview)
{
    struct Case {
        const char* what;
        int mode;
        bool duringTransition;
        int closeCalls;
        bool pending;
        bool closed;
        int virtualMs; // 100 per fade, 1000 for the pause after the back cover
        QString last;  // the display at the end
    };
    const std::vector<Case> cases{
        {"player window", ModeAlbumFolder, true, 1, true, true, 1200, "back"},
        {"saver fades back to the desktop", ModeSaver, true, 1, true, true, 1200, "bg"},
        {"preview keeps the request", ModeSaverPreview, true, 0, true, false, 100, "A_F"},
        {"no transition closes at once", ModeAlbumFolder, false, 1, false, true, 1100, "back"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerCore& player = open({{"A", 2}, {"B", 1}}, true, c.mode);
        player.PlayAlbumFrontCover();
        const auto start = host.now();
        if (c.duringTransition) {
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
        EXPECT_EQ(host.now() - start, c.virtualMs);
        EXPECT_EQ(player.tmrPhotoIndexChange.isActive(), !c.closed);
        EXPECT_EQ(view.shown.last(), c.last);
        if (!c.closed)
            continue;
        EXPECT_FALSE(player.tmrAlbumCover.isActive());
        EXPECT_FALSE(player.music().tmrSound().isActive());
        EXPECT_FALSE(player.unload());
    }
}

TEST_F(PlayerCoreTest, LoadArmsTheTimersByMode)
{
    struct Case {
        int mode;
        const char* stopTime;
        int photoInterval;
        int coverInterval;
    };
    const std::vector<Case> cases{
        {ModeAlbumFolder, "2.5", 2500, 1000},
        {ModeAlbumFolder, "abc", 0, 1000},
        {ModePackedAlbum, "5", 5000, 1000},
        {ModeSaverPreview, "7", 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopTime);
        settings["Effect/StopTime"] = c.stopTime;
        PlayerCore& player = open({{"A", 1}}, true, c.mode);
        EXPECT_TRUE(player.tmrPhotoIndexChange.isActive());
        EXPECT_TRUE(player.tmrAlbumCover.isActive());
        EXPECT_TRUE(player.music().tmrSound().isActive());
        EXPECT_EQ(player.tmrPhotoIndexChange.interval(), c.photoInterval);
        EXPECT_EQ(player.tmrAlbumCover.interval(), c.coverInterval);
    }
}

TEST(PlayerCoreStatic, StopTimeIntervalReadsSecondsAsMilliseconds)
{
    const struct { const char* text; int ms; } cases[] = {
        {"2.5", 2500}, {"abc", 0}, {"5", 5000}, {"0.3", 300}, {"", 0}, {" 1 ", 1000}};
    for (const auto& c : cases)
        EXPECT_EQ(PlayerCore::StopTimeInterval(c.text), c.ms) << c.text;
}

TEST(PlayerCoreStatic, PictureAreaCentresOnlyWhenLargerBothWays)
{
    const struct { int w, h, aw, ah; QRectF area; } cases[] = {
        {400, 599, 400, 300, {0, 0, 400, 599}},       // equal width, taller: fills
        {649, 300, 400, 300, {0, 0, 649, 300}},       // equal height, wider: fills
        {649, 599, 400, 300, {124.5, 149.5, 400, 300}}, // halves kept
        {300, 200, 400, 300, {0, 0, 300, 200}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlayerCore::PictureArea(c.w, c.h, c.aw, c.ah), c.area) << c.w << "x" << c.h;
}

} // namespace
} // namespace tarnwick::test

// ours
#include "album.h"
#include "playerstate.h"
#include "session.h"
#include "thumbnailscroll.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// std
#include <optional>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tarnwick {
namespace {

// Records what the state asks of the window, one text per call.
class RecordingView : public PlayerStateView {
public:
    std::vector<QString> calls;

    void hideThumbnails() override { calls.push_back("hideThumbnails"); }
    void loadThumbnails(AlbumCategory& category) override { calls.push_back("load " + category.Name()); }
    void keepThumbnailInView(int thumbnail) override { calls.push_back(QString("inView %1").arg(thumbnail)); }
    void hideCaption() override { calls.push_back("hideCaption"); }
    void placeCaption(const QString& text) override { calls.push_back("place " + text); }
    void setCaptionShown(bool shown) override { calls.push_back(shown ? "show" : "hide"); }
    void processEvents() override { calls.push_back("events"); }
};

// Two categories ("A" with three photos, "B" with one) and three music
// items; only the picture files a case names exist on disk.
const char* const kAlbumText =
    "[Album]\nCategories=2\nMusics=3\nFields=Title|Date\nHiddenFields=Date\n"
    "[Music1]\nFile=m1.ogg\n[Music2]\nFile=m2.ogg\n[Music3]\nFile=m3.ogg\n"
    "[Category1]\nName=A\nFrontCover=af.jpg|af_t.jpg\nBackCover=ab.jpg|ab_t.jpg\nPhotos=3\n"
    "Photo1=a1.jpg|a1_t.jpg\nPhoto1.Title=Sunrise\nPhoto1.Date=2026\n"
    "Photo2=a2.jpg|a2_t.jpg\nPhoto3=a3.jpg|a3_t.jpg\n"
    "[Category2]\nName=B\nFrontCover=bf.jpg|bf_t.jpg\nBackCover=bb.jpg|bb_t.jpg\nPhotos=1\n"
    "Photo1=b1.jpg|b1_t.jpg\n";

class PlayerStateTest : public ::testing::Test {
protected:
    void SetUp() override { loadAlbum(dir.path()); }
    void TearDown() override { ResetSession(); }

    static void loadAlbum(const QString& folder)
    {
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(kAlbumText);
        gAlbum->SetPath(folder);
    }
    static void makeFiles(const QString& folder, const QStringList& relativePaths)
    {
        for (const QString& path : relativePaths) {
            QDir(folder).mkpath(path.section('/', 0, 0));
            QFile file(QDir(folder).filePath(path));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    AlbumPhoto* photoOf(int category, int v)
    {
        AlbumCategory& c = gAlbum->Categories().Item(category);
        if (v == 0)
            return &c.FrontCover();
        if (v == c.PhotoCount() + 1)
            return &c.BackCover();
        return &c.Photos().Item(v);
    }

    QTemporaryDir dir;
    RecordingView view;
    PlayerState state{view};
};

TEST_F(PlayerStateTest, PhotoIndexWalksCoversAndPhotosAndMovesOnPastTheCategory)
{
    struct Case {
        const char* what;
        QStringList files;
        int startCategory;
        int v;
        int category;             // active category afterwards
        std::optional<int> shown; // picture number shown, none when no picture
        bool captionVisible;
        std::vector<QString> calls;
    };
    const QStringList covers{"ResultPicture/af.jpg", "ResultPicture/ab.jpg", "MainAlbum/af_t.jpg"};
    const std::vector<Case> cases{
        {"front cover", covers, 1, 0, 1, 0, false, {"hideCaption"}},
        {"missing front cover stays", {}, 1, 0, 1, std::nullopt, false, {"hideCaption"}},
        {"photo after a front thumbnail", covers, 1, 1, 1, 1, false,
         {"inView 1", "place Title: Sunrise\r\nTitle: Sunrise", "hide", "events"}},
        {"photo without front thumbnail", {}, 1, 3, 1, 3, false,
         {"inView 2", "place Title: \r\nTitle: ", "hide", "events"}},
        {"visible caption hides while it moves", {}, 1, 3, 1, 3, true,
         {"inView 2", "hideCaption", "place Title: \r\nTitle: ", "show", "events"}},
        {"back cover", covers, 1, 4, 1, 4, false, {"hideCaption"}},
        {"missing back cover moves on", {}, 1, 4, 2, std::nullopt, false,
         {"hideCaption", "hideThumbnails", "load B"}},
        {"past the back cover moves on", covers, 1, 7, 2, std::nullopt, false, {"hideThumbnails", "load B"}},
        {"below zero moves on", covers, 1, -1, 2, std::nullopt, false, {"hideThumbnails", "load B"}},
        {"last category wraps to the first", {}, 2, 3, 1, std::nullopt, false, {"hideThumbnails", "load A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir caseDir;
        loadAlbum(caseDir.path());
        makeFiles(caseDir.path(), c.files);
        PlayerState s{view};
        s.setActiveCategoryIndex(static_cast<std::int16_t>(c.startCategory));
        s.setThumbnailCursor(5);
        s.setCaptionVisible(c.captionVisible);
        view.calls.clear();

        s.setActivePhotoIndex(static_cast<std::int16_t>(c.v));

        EXPECT_EQ(s.mActiveCategoryIndex(), c.category);
        EXPECT_EQ(s.mActiveCategory(), &gAlbum->Categories().Item(c.category));
        // Moving on asks the new category for its front cover while the
        // photo setter still runs; that nested call is ignored.
        EXPECT_EQ(s.mActivePhotoIndex(), c.v);
        EXPECT_EQ(s.mActivePhoto(), c.shown ? photoOf(c.category, *c.shown) : nullptr);
        EXPECT_EQ(s.mThumbnailCursor(), c.category == c.startCategory ? 5 : 0);
        EXPECT_EQ(view.calls, c.calls);
    }
}

TEST_F(PlayerStateTest, CategoryIndexOpensClosesWrapsAndIgnoresOutOfRange)
{
    makeFiles(dir.path(), {"ResultPicture/af.jpg", "ResultPicture/bf.jpg"});
    struct Step {
        int v;
        int category; // 0 = none yet
        std::vector<QString> calls;
    };
    const std::vector<Step> steps{
        {0, 0, {}},
        {1, 1, {"load A", "hideCaption"}},
        {1, 1, {}}, // the category already shown
        {2, 2, {"hideThumbnails", "load B", "hideCaption"}},
        {3, 1, {"hideThumbnails", "load A", "hideCaption"}}, // count + 1 wraps
        {-4, 1, {}},
        {0, 1, {}},
    };
    AlbumCategories& categories = gAlbum->Categories();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.v);
        view.calls.clear();
        state.setThumbnailCursor(3);
        const bool changes = !step.calls.empty();
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
        EXPECT_EQ(state.mThumbnailCursor(), changes ? 0 : 3);
    }
}

TEST_F(PlayerStateTest, MusicIndexWrapsOneStepAndKeepsTheItemOutOfRange)
{
    struct Step {
        int v;
        int stored;
        int item; // the music item afterwards
    };
    const std::vector<Step> threeItems{{2, 2, 2}, {4, 1, 1}, {0, 0, 1}, {7, 4, 1}, {3, 3, 3}, {-1, -1, 3}};
    for (const Step& step : threeItems) {
        SCOPED_TRACE(step.v);
        state.setActiveMusicIndex(static_cast<std::int16_t>(step.v));
        EXPECT_EQ(state.mActiveMusicIndex(), step.stored);
        EXPECT_EQ(state.mActiveMusic(), &gAlbum->Musics().Item(step.item));
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
    const QString crlf = "\r\n";
    const auto value = [](int total) { return QString(total - 6, 'v'); }; // "Long: " is 6
    const auto line = [&](int total) { return "Long: " + value(total); };
    struct Case {
        const char* what;
        QStringList fields;
        int longLength; // length of the "Long" line
        QString expected;
    };
    const std::vector<Case> cases{
        {"empty field list", {}, 10, ""},
        {"exactly 60 stays one line", {"Long"}, 60, line(60)},
        {"61 becomes 60 + 1", {"Long"}, 61, line(61).left(60) + crlf + "v"},
        {"120 keeps a trailing break", {"Long"}, 120, line(120).left(60) + crlf + QString(60, 'v') + crlf},
        {"130 breaks twice", {"Long"}, 130,
         line(130).left(60) + crlf + QString(60, 'v') + crlf + QString(10, 'v')},
        {"hidden field repeats the last shown line", {"A", "Hidden", "B"}, 10,
         "A: x" + crlf + "A: x" + crlf + "B: y"},
        {"empty name repeats the last shown line", {"A", ""}, 10, "A: x" + crlf + "A: x"},
        {"one leading empty line is dropped", {"", "A"}, 10, "A: x"},
        {"only one of two leading empty lines is dropped", {"", "", "A"}, 10, crlf + "A: x"},
        {"nothing shown", {"Hidden"}, 10, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        photo.SetFieldValue("Long", value(c.longLength));
        EXPECT_EQ(PlayerState::CaptionText(album, c.fields, photo), c.expected);
    }
}

TEST(ThumbnailScroll, KeepsTheEntryInsideTheViewportWithItsMargin)
{
    struct Case {
        const char* what;
        int top, height, viewHeight, value, maxValue;
        int expected;
    };
    const std::vector<Case> cases{
        {"inside stays", 4, 77, 300, 0, 500, 0},
        {"below scrolls up", 259, 77, 300, 0, 500, 40},
        {"above scrolls down", -81, 77, 300, 170, 500, 85},
        {"refused value stays", 259, 77, 300, 0, 30, 0},
        {"taller than the view: bottom then top", 4, 400, 300, 0, 500, 0},
        {"below the top after the first scroll", 10, 400, 300, 50, 500, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ThumbnailScrollValue(c.top, c.height, c.viewHeight, c.value, c.maxValue), c.expected);
    }
}

} // namespace
} // namespace tarnwick

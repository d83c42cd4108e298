// The player window as a user watches it, on an X server of the test's
// own, with an album whose every picture is one pure colour: the show's
// order from the background to the wrap, the side panel under the right
// button and the pointer, a thumbnail click with Auto Play off, and Exit
// during a transition.

// ours
#include "colouralbum.h"
#include "displaytrace.h"
#include "x11session.h"

// Qt
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

// std
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwick::test {
namespace {

// Where the tests look and click, in window pixels: the window's design
// layout at 15 twips a pixel. The album is larger than the 649 x 599
// client, so the picture fills it; the side panel lies over its left side.
constexpr QPoint kOnPicture{400, 300};
constexpr QPoint kPictureTopEdge{400, 20};
constexpr QRect kPanel{0, 0, 121, 593};
constexpr QRect kStrip{4, 60, 113, 441};
constexpr int kThumbnailColumn = 59;
// Inside the highlight's left border, left of the thumbnails.
constexpr int kHighlightColumn = 6;
constexpr QPoint kAutoPlay{18, 538};
constexpr QPoint kExit{46, 570};
constexpr QRgb kHighlightBlue = 0x0000FF;

// A run of rows of one picture's colour down a one-pixel-wide column.
struct ColourRun {
    QString name;
    int first;
    int last;
};

// The runs of album colours down `column` (screen rows from `top`).
QList<ColourRun> runsDown(const QImage& column, int top)
{
    QList<ColourRun> runs;
    for (int y = 0; y < column.height(); ++y) {
        const QString name = ColourAlbum::nameOf(column.pixel(0, y));
        if (name == ColourAlbum::kInBetween)
            continue;
        if (!runs.isEmpty() && runs.last().name == name && runs.last().last == top + y - 1)
            runs.last().last = top + y;
        else
            runs.append({name, top + y, top + y});
    }
    return runs;
}

// Polls `condition` until it holds or a generous time-out passes.
bool eventually(const std::function<bool()>& condition, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

class PlayerShow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString why = x11Unavailable();
        if (!why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        display.emplace();
    }

    // Starts the player on the colour album at `pace` and waits for its
    // window.
    void start(Pace pace)
    {
        album.emplace(root.path(), pace);
        ASSERT_TRUE(album->ok());
        player = std::make_unique<PlayerProcess>(album->commandLine(), album->programFolder());
        const QStringList windows = waitForWindows("^" + ColourAlbum::title() + "--Tarnwick Album Player$", 20000);
        ASSERT_EQ(windows.size(), 1) << "no player window appeared";
        window = windows.first();
        pixels = std::make_unique<WindowPixels>(window);
    }

    // Waits until the picture has shown `name` for `forMs` on end.
    bool steady(const QString& name, int forMs)
    {
        QElapsedTimer since;
        return eventually([&] {
            const std::optional<unsigned> rgb = pixels->pixel(kOnPicture);
            if (!rgb || ColourAlbum::nameOf(*rgb) != name)
                since.invalidate();
            else if (!since.isValid())
                since.start();
            return since.isValid() && since.elapsed() >= forMs;
        });
    }

    std::optional<PrivateDisplay> display;
    QTemporaryDir root;
    std::optional<ColourAlbum> album;
    std::unique_ptr<PlayerProcess> player;
    QString window;
    std::unique_ptr<WindowPixels> pixels;
};

TEST_F(PlayerShow, ShowsBackgroundFrontCoverThenEveryCategoryInOrderAndWrapsToTheFirst)
{
    // A photo time above the front cover's one second, so that the cover
    // comes before the first photo tick.
    ASSERT_NO_FATAL_FAILURE(start({"1.2", 2}));
    const QStringList expected = {"background", "front cover", "Beach front cover", "Beach 1",
                                  "Beach 2",    "Harbour 1",   "Harbour back cover", "Beach front cover"};
    DisplayTrace trace(*pixels, kOnPicture);
    trace.until([&](const DisplayTrace& t) { return t.pictures().size() >= expected.size(); }, 60000);
    EXPECT_EQ(joined(trace.pictures().mid(0, expected.size())), joined(expected));
}

TEST_F(PlayerShow, RightButtonTogglesThePanelAndThePictureTopEdgeBringsItUp)
{
    ASSERT_NO_FATAL_FAILURE(start({"60", 2}));
    ASSERT_TRUE(steady("Beach front cover", 300)) << "the category's first picture did not settle";
    // Hidden, the panel's whole area shows the picture; shown, only its
    // first thumbnail has the picture's colour.
    auto panelShown = [&] { return ColourAlbum::shareOf(pixels->grab(kPanel), "Beach front cover") < 0.5; };
    auto panelHidden = [&] { return ColourAlbum::shareOf(pixels->grab(kPanel), "Beach front cover") > 0.99; };
    ASSERT_TRUE(panelShown()) << "the panel is not up at start";

    struct Step {
        const char* what;
        QPoint at;
        int button;
        bool shown;
    };
    const Step steps[] = {
        {"right button hides the panel", kOnPicture, 3, false},
        {"right button shows it again", kOnPicture, 3, true},
        {"right button hides it once more", kOnPicture, 3, false},
        {"the pointer at the picture's top edge brings it up", kPictureTopEdge, 0, true},
    };
    for (const Step& step : steps) {
        pointAt(window, step.at, step.button);
        EXPECT_TRUE(eventually(step.shown ? std::function<bool()>(panelShown) : panelHidden)) << step.what;
    }
}

TEST_F(PlayerShow, WithAutoPlayOffAThumbnailClickShowsItsPhotoAtOnceAndHighlightsIt)
{
    // Enough blend frames that a fade would show in-between colours at the
    // point watched, whichever way its bands run.
    ASSERT_NO_FATAL_FAILURE(start({"60", 10}));
    // A click during the fade to the category's first picture would be
    // handled between its frames: wait until the fade is over (its last
    // frame stays 50 ms, the picture a minute).
    ASSERT_TRUE(steady("Beach front cover", 500)) << "the category's first picture did not settle";
    QList<ColourRun> thumbnails;
    // The strip shows the category's pictures top-down in the show's order.
    EXPECT_TRUE(eventually([&] {
        thumbnails = runsDown(pixels->grab(QRect(kThumbnailColumn, kStrip.top(), 1, kStrip.height())), kStrip.top());
        return thumbnails.size() == 3;
    }));
    ASSERT_EQ(thumbnails.size(), 3);
    EXPECT_EQ(joined({thumbnails[0].name, thumbnails[1].name, thumbnails[2].name}),
              "Beach front cover > Beach 1 > Beach 2");

    pointAt(window, kAutoPlay, 1);
    DisplayTrace trace(*pixels, kOnPicture);
    const ColourRun& photo2 = thumbnails[2];
    pointAt(window, {kThumbnailColumn, (photo2.first + photo2.last) / 2}, 1);
    ASSERT_TRUE(trace.until([](const DisplayTrace& t) { return t.saw("Beach 2"); }, 15000))
        << "seen: " << joined(trace.names());
    // At once: no transition frames between the two pictures.
    EXPECT_EQ(joined(trace.names()), "Beach front cover > Beach 2");

    // The blue highlight frames the clicked thumbnail with four pixels.
    const bool framed = eventually([&] {
        const QImage column = pixels->grab(QRect(kHighlightColumn, kStrip.top(), 1, kStrip.height()));
        int first = -1;
        int last = -1;
        for (int y = 0; y < column.height(); ++y) {
            if ((column.pixel(0, y) & 0xFFFFFF) == kHighlightBlue) {
                first = first < 0 ? kStrip.top() + y : first;
                last = kStrip.top() + y;
            }
        }
        return first == photo2.first - 4 && last == photo2.last + 4;
    });
    EXPECT_TRUE(framed) << "the highlight does not frame the clicked thumbnail";
}

TEST_F(PlayerShow, ExitDuringATransitionClosesAfterItsLastFrameAndTheBackCover)
{
    // Long fades (30 frames) and a photo time that never runs out.
    ASSERT_NO_FATAL_FAILURE(start({"60", 30}));
    DisplayTrace opening(*pixels, kOnPicture);
    ASSERT_TRUE(opening.until([](const DisplayTrace& t) {
        return t.pictures() == QStringList{"background"} && t.names().last() == ColourAlbum::kInBetween;
    })) << "the front cover never began to fade in; seen: " << joined(opening.names());

    pointAt(window, kExit, 1);
    DisplayTrace closing(*pixels, kOnPicture);
    closing.until([](const DisplayTrace& t) { return t.windowGone(); });
    // The fade in hand runs to its end, then the back cover fades in and
    // stays until the window goes; the show does not go on.
    EXPECT_EQ(joined(closing.names()), "~ > front cover > ~ > back cover");
    ASSERT_TRUE(player->process.waitForFinished(15000)) << "the program did not end";
    EXPECT_EQ(player->process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player->process.exitCode(), 0);
}

} // namespace
} // namespace tarnwick::test

// The player started and watched as users do: its windows, command line, "/c" and "/2" dialogs, and the show.

#include "x11test.h"

#include <QSettings>

#include <unistd.h>

namespace tarnwick::test {
namespace {

using PlayerWindow = X11Test;

TEST_F(PlayerWindow, EachFormOfAnAlbumPathOpensTheAlbumsWindowAndOtherArgumentsEndWithoutOne)
{
    const QString album = root.path() + "/demo";
    ASSERT_EQ(QProcess::execute(TARNWICK_BIN_DIR "/tarnwick-album-maker", {"--demo", "--pack", album}), 0);
    for (const QString& path : {album, album + "/album.ini", album + "/packed/album.pak"}) {
        SCOPED_TRACE(path.toStdString());
        QTemporaryDir program;
        PlayerProcess player(path, program.path());
        EXPECT_EQ(waitForWindows("^Tarnwick demo album--Tarnwick Album Player$", 20000).size(), 1);
        player.process.terminate(); // the session's end closes the window as its close button does
        EXPECT_TRUE(player.endsWith(0)) << player.process.readAllStandardError().toStdString();
    }
    // The packed run unpacked beside its container and cleaned up after itself.
    EXPECT_EQ(QDir(album + "/packed/ResultPicture").entryList(QDir::Files), QStringList());

    // error "": not checked, the platform may warn
    const struct { const char *arg, *output, *error; int status; } cases[] = {
        {"--help", "Usage: tarnwick-player", "", 0},
        {"--version", "tarnwick-player ", "", 0},
        {"/X", "", "", 0},
        {"", "", "", 0},
        {"--exprot", "", "tarnwick-player: unknown option \"--exprot\" (see tarnwick-player --help)\n", 2},
        {"/no/such/album", "", "tarnwick-player: \"/no/such/album\": no such file or folder\n", 1},
    };
    for (const auto& [arg, output, error, status] : cases) {
        SCOPED_TRACE(arg);
        PlayerProcess p(arg, root.path());
        EXPECT_TRUE(p.endsWith(status, 10000));
        if (*error) {
            EXPECT_EQ(p.process.readAllStandardError().toStdString(), error);
        }
        EXPECT_TRUE(p.process.readAllStandardOutput().startsWith(output));
    }
}

// The pixels of the "/c" dialog of program `exe` run as `user` (empty: this user) with `home`.
QImage parameterDialogOf(const QString& exe, const QString& user, const QString& home)
{
    QStringList args{"HOME=" + home, "XDG_CONFIG_HOME=", "DISPLAY=" + qEnvironmentVariable("DISPLAY"),
                     "QT_QPA_PLATFORM=xcb", "TARNWICK_PROGRAM_FOLDER=", exe, "/c"};
    const QStringList asUser{"-u", user, "--", "env"};
    QProcess player;
    player.start(user.isEmpty() ? "env" : "runuser", user.isEmpty() ? args : asUser + args);
    const QStringList windows = waitForWindows("^Transform Effect Parameter$", 20000);
    const QImage image = windows.size() == 1 ? WindowPixels(windows.first()).settled({0, 0, 400, 560}) : QImage();
    stop(player);
    return image;
}

using ParameterDialogRun = X11Test;

// A slider click and OK store the shares; then a program copy in a read-only folder, with a read-only home,
// offers the same dialog from the shipped table and writes nothing anywhere.
TEST_F(ParameterDialogRun, SliderClickStoresTheSharesAndAReadOnlyCopyOffersTheShippedEffects)
{
    const QString settings = root.path() + "/playerprofile.ini";
    ASSERT_TRUE(QFile::copy(TARNWICK_BIN_DIR "/playerprofile.ini", settings));
    const auto slideValue = [&] { return QSettings(settings, QSettings::IniFormat).value("Effect/SlideValue_1"); };
    const int before = slideValue().toInt();
    PlayerProcess player("/c:4711", root.path());
    const QStringList windows = waitForWindows("^Transform Effect Parameter$", 20000);
    ASSERT_EQ(windows.size(), 1) << "the parameter dialog did not appear";
    const QString dialog = windows.first();
    EXPECT_EQ(geometryOf(dialog).height(), 560) << "eight rows, three past the design's five";
    const QImage shipped = WindowPixels(dialog).settled({0, 0, 400, 560});
    // The first row's slider spans x 208..448 at y 8..25, its handle near the left end.
    pointAt(dialog, {420, 16}, 1);
    run("xdotool", {"windowfocus", "--sync", dialog, "key", "Return"});
    ASSERT_TRUE(player.endsWith(0, 10000)) << "the program did not end after OK";
    EXPECT_GT(slideValue().toInt(), before) << "the click did not move the slider";

    const QString user = geteuid() == 0 ? "nobody" : ""; // root writes anywhere
    const QString copy = root.path() + "/bin", home = root.path() + "/home";
    ASSERT_TRUE(QDir().mkpath(copy) && QDir().mkpath(home));
    ASSERT_TRUE(QFile::copy(TARNWICK_BIN_DIR "/tarnwick-player", copy + "/tarnwick-player"));
    ASSERT_EQ(QProcess::execute("chmod", {"-R", "a=rX", root.path()}), 0);
    const QImage readOnly = parameterDialogOf(copy + "/tarnwick-player", user, home);
    QProcess::execute("chmod", {"-R", "u+w", root.path()});
    ASSERT_FALSE(shipped.isNull() || readOnly.isNull()) << "no dialog from the copy";
    EXPECT_TRUE(readOnly == shipped) << "the copy's dialog differs from the shipped table's";
    EXPECT_EQ(QDir(copy).entryList(QDir::Files | QDir::Hidden), QStringList{"tarnwick-player"});
    EXPECT_EQ(QDir(home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

using ExportDialog = X11Test;

// "/2" shows the export dialog alone; Start plays the album into the preview and the file.
TEST_F(ExportDialog, RunsTheAlbumToItsEndOrStopsWhenAskedTwiceButRefusesTheCloseBox)
{
    const QPoint kStart{182, 368};
    const QString kTitle = "^Export Avi \\(VCD Source File\\)$";
    // Presses Stop and answers its question with `keys` (Return takes the default, Cancel).
    const auto answerStopQuestion = [](const QString& dialog, const QStringList& keys) {
        pointAt(dialog, {246, 367}, 1);
        const QStringList box = waitForWindows("^tarnwick-player$", 10000);
        run("xdotool", QStringList{"windowfocus", "--sync", box.value(0), "key"} + keys);
        eventually([] { return waitForWindows("^tarnwick-player$", 100).isEmpty(); }, 5000, 50);
        return box.size() == 1;
    };
    // Left alone, the run ends the program at the end of the album.
    QStringList windows = play("0", 2, kTitle, "whole.mp4");
    ASSERT_EQ(windows.size(), 1) << "no export dialog appeared";
    pointAt(windows.first(), kStart, 1);
    ASSERT_TRUE(player->endsWith(0, 60000)) << "the run did not end";
    EXPECT_EQ(probedFrames(root.filePath("whole.mp4")), 8 + 7 * 100); // eight pictures of a frame, seven Blends of 100

    windows = play("30", 2, kTitle, "stopped.avi");
    ASSERT_EQ(windows.size(), 1) << "no export dialog appeared";
    const QString dialog = windows.first();
    EXPECT_TRUE(waitForWindows("Tarnwick Album Player", 500).isEmpty()) << "the player window shows";
    askToClose(dialog);
    QThread::msleep(500);
    EXPECT_EQ(waitForWindows("^Export Avi", 500).size(), 1);

    pointAt(dialog, kStart, 1);
    const WindowPixels pixels(dialog);
    DisplayTrace preview(pixels, {180, 148});
    EXPECT_TRUE(preview.until([](const DisplayTrace& t) { return t.saw("background"); }, 20000))
        << joined(preview.names());
    ASSERT_TRUE(answerStopQuestion(dialog, {"Return"}));
    EXPECT_EQ(player->process.state(), QProcess::Running) << "Cancel ended the run";
    ASSERT_TRUE(answerStopQuestion(dialog, {"shift+Tab", "space"}));
    ASSERT_TRUE(player->endsWith(0)) << "OK did not end the program";
    EXPECT_GE(probedFrames(root.filePath("stopped.avi")), 750); // the opening still alone
}

// Window pixels of the design layout at 15 twips a pixel; the picture fills the 649 x 599 client.
constexpr QPoint kOnPicture{400, 300}, kPictureTopEdge{400, 20}, kAutoPlay{18, 538}, kExit{46, 570};
constexpr QRect kPanel{0, 0, 121, 593};
constexpr int kStripTop = 60, kStripHeight = 441, kThumbnailColumn = 59, kHighlightColumn = 6;

// The runs [first, last] of rows down `column` of the strip where `named` says a picture shows.
QList<std::pair<int, int>> runsDown(const QImage& column, const std::function<bool(QRgb)>& named)
{
    QList<std::pair<int, int>> runs;
    for (int y = 0; y < column.height(); ++y) {
        const QRgb rgb = column.pixel(0, y);
        if (!named(rgb))
            continue;
        if (!runs.isEmpty() && runs.last().second == kStripTop + y - 1 &&
            ColourAlbum::nameOf(column.pixel(0, y - 1)) == ColourAlbum::nameOf(rgb))
            runs.last().second = kStripTop + y;
        else
            runs.append({kStripTop + y, kStripTop + y});
    }
    return runs;
}

using PlayerShow = X11Test;

// One start of the colour album: its one window, a second start, the panel, the strip, then Exit.
TEST_F(PlayerShow, OneWindowWhosePanelAndStripFollowThePointerAndExitClosesItAfterTheBackCover)
{
    // Fades of 10 frames: long enough to be seen at the point watched.
    const QStringList windows = play("60", 10, "^Harbour Lights--Tarnwick Album Player$");
    ASSERT_EQ(windows.size(), 1) << "no player window appeared";
    const QString window = windows.first();
    const WindowPixels pixels(window);
    const auto shown = [&](QPoint at) { return ColourAlbum::nameOf(pixels.pixel(at).value_or(0)); };
    // The background fills the whole client; the side panel lies over its left 121 pixels.
    DisplayTrace opening(pixels, kOnPicture);
    ASSERT_TRUE(opening.until([](const DisplayTrace& t) { return t.saw("background"); })) << joined(opening.names());
    EXPECT_EQ(ColourAlbum::shareOf(pixels.grab({122, 0, 527, 599}), "background"), 1.0);
    EXPECT_LT(ColourAlbum::shareOf(pixels.grab(kPanel), "background"), 0.1);
    PlayerProcess second(album->commandLine(), album->programFolder());
    EXPECT_TRUE(second.endsWith(0, 10000)) << "a second start did not end at once";
    EXPECT_EQ(waitForWindows("Tarnwick Album Player", 1000).size(), 1);

    // The category's first picture settles. Hidden, the panel's area shows it; shown, only its first thumbnail.
    ASSERT_FALSE(opening.steady([](const QString& name) { return name == "Beach front cover"; }, 500).isEmpty())
        << "the fade to the category did not end: " << joined(opening.names());
    const auto panelShown = [&](bool up) {
        return eventually([&] { return up == (ColourAlbum::shareOf(pixels.grab(kPanel), "Beach front cover") < 0.5); });
    };
    ASSERT_TRUE(panelShown(true)) << "the panel is not up at start";
    const struct { const char* what; QPoint at; int button; bool shown; } steps[] = {
        {"right button hides the panel", kOnPicture, 3, false},
        {"right button shows it again", kOnPicture, 3, true},
        {"right button hides it once more", kOnPicture, 3, false},
        {"the pointer at the picture's top edge brings it up", kPictureTopEdge, 0, true},
    };
    for (const auto& step : steps) {
        pointAt(window, step.at, step.button);
        EXPECT_TRUE(panelShown(step.shown)) << step.what;
    }

    // With Auto Play off a thumbnail's photo comes at once, its thumbnail framed by the blue highlight.
    const auto strip = [&](int column) { return pixels.grab({column, kStripTop, 1, kStripHeight}); };
    const auto isPicture = [](QRgb rgb) { return ColourAlbum::nameOf(rgb) != kInBetween; };
    QList<std::pair<int, int>> thumbnails;
    EXPECT_TRUE(eventually([&] { return (thumbnails = runsDown(strip(kThumbnailColumn), isPicture)).size() == 3; }));
    ASSERT_EQ(thumbnails.size(), 3);
    QStringList order;
    for (const auto& [first, last] : thumbnails)
        order << shown({kThumbnailColumn, (first + last) / 2});
    EXPECT_EQ(joined(order), "Beach front cover > Beach 1 > Beach 2");
    pointAt(window, kAutoPlay, 1);
    DisplayTrace trace(pixels, kOnPicture);
    const int first = thumbnails[2].first, last = thumbnails[2].second;
    pointAt(window, {kThumbnailColumn, (first + last) / 2}, 1);
    ASSERT_TRUE(trace.until([](const DisplayTrace& t) { return t.saw("Beach 2"); }, 15000)) << joined(trace.names());
    EXPECT_EQ(joined(trace.names()), "Beach front cover > Beach 2"); // no transition frames
    const auto blue = [](QRgb rgb) { return (rgb & 0xFFFFFF) == 0x0000FF; };
    EXPECT_TRUE(eventually([&] {
        const QList<std::pair<int, int>> frame = runsDown(strip(kHighlightColumn), blue);
        return !frame.isEmpty() && frame.first().first == first - 4 && frame.last().second == last + 4;
    })) << "the highlight does not frame the clicked thumbnail";

    // Exit fades the back cover in, which stays until the window goes.
    DisplayTrace closing(pixels, kOnPicture);
    pointAt(window, kExit, 1);
    closing.until([](const DisplayTrace& t) { return t.windowGone(); });
    EXPECT_EQ(joined(closing.names()), "Beach 2 > ~ > back cover");
    EXPECT_TRUE(player->endsWith(0, 15000)) << "the program did not end";
}

} // namespace
} // namespace tarnwick::test

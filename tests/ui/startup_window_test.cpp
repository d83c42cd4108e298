// The player started as a user starts it: "/1" opens one window titled after
// the album, showing the album's background with the side panel over its
// left side; a second "/1" start while it runs ends at once without a
// window; --help and --version print and end.

// ours
#include "colouralbum.h"
#include "displaytrace.h"
#include "x11session.h"

// Qt
#include <QTemporaryDir>

// std
#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

TEST(PlayerWindow, AlbumFolderStartOpensOneWindowAndASecondStartEndsAtOnce)
{
    const QString why = x11Unavailable();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();

    PrivateDisplay display;
    QTemporaryDir root;
    const ColourAlbum album(root.path(), {"5", 2}, ColourAlbum::Contents::BackgroundOnly);
    ASSERT_TRUE(album.ok());

    PlayerProcess first(album.commandLine(), album.programFolder());
    const QStringList windows = waitForWindows("^Harbour Lights--Tarnwick Album Player$", 20000);
    ASSERT_EQ(windows.size(), 1) << "no player window appeared";

    // The album's background fills the whole client (the album is larger
    // than the window); the side panel lies over its left 121 pixels.
    const WindowPixels pixels(windows.first());
    DisplayTrace centre(pixels, {324, 299});
    ASSERT_TRUE(centre.until([](const DisplayTrace& t) { return t.saw("background"); }))
        << "the centre shows " << joined(centre.names());
    for (const QPoint at : {QPoint(122, 0), QPoint(648, 0), QPoint(648, 598), QPoint(0, 598)}) {
        EXPECT_EQ(ColourAlbum::nameOf(pixels.pixel(at).value_or(0)).toStdString(), "background")
            << at.x() << "," << at.y();
    }
    EXPECT_LT(ColourAlbum::shareOf(pixels.grab({0, 0, 121, 593}), "background"), 0.1);

    PlayerProcess second(album.commandLine(), album.programFolder());
    ASSERT_TRUE(second.process.waitForFinished(10000));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_EQ(waitForWindows("Tarnwick Album Player", 1000).size(), 1);
    EXPECT_EQ(first.process.state(), QProcess::Running);

    // The session's end (SIGTERM) closes the window as its close button does.
    first.process.terminate();
    ASSERT_TRUE(first.process.waitForFinished(20000));
    EXPECT_EQ(first.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.process.exitCode(), 0);
}

TEST(PlayerWindow, HelpVersionAndUnknownSwitchesEndWithoutAWindow)
{
    const QString why = x11Unavailable();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const struct {
        const char *arg, *output, *error;
        int status;
    } cases[] = {
        {"--help", "Usage: tarnwick-player", "", 0},
        {"--version", "tarnwick-player ", "", 0},
        {"/X", "", "", 0},
        {"", "", "", 0},
        {"--exprot", "", "tarnwick-player: unknown option \"--exprot\" (see tarnwick-player --help)\n", 2},
        {"/no/such/album", "", "tarnwick-player: \"/no/such/album\": no such file or folder\n", 1},
    };
    QTemporaryDir program;
    for (const auto& [arg, output, error, status] : cases) {
        PlayerProcess p(QString::fromLatin1(arg), program.path());
        ASSERT_TRUE(p.process.waitForFinished(10000)) << arg;
        EXPECT_EQ(p.process.exitCode(), status) << arg;
        if (*error) { // the silent ones may still get the platform's warnings
            EXPECT_EQ(p.process.readAllStandardError().toStdString(), error) << arg;
        }
        EXPECT_TRUE(p.process.readAllStandardOutput().startsWith(output)) << arg;
    }
}

} // namespace
} // namespace tarnwick::test

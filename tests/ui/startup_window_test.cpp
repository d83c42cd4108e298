// The player started as a user starts it: "/1" opens one window titled after
// the album on the dark grey background; a second "/1" start while it runs
// ends at once without a window; --help and --version print and end.

// ours
#include "x11session.h"

// Qt
#include <QDir>
#include <QFile>
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

    QTemporaryDir root;
    const QString program = root.path() + "/program";
    QDir().mkpath(program);
    QDir().mkpath(root.path() + "/Album/ResultPicture");
    QFile info(root.path() + "/Album/Album.ini");
    ASSERT_TRUE(info.open(QIODevice::WriteOnly));
    info.write("[Album]\r\nTitle=Harbour Lights\r\nCategories=0\r\n");
    info.close();

    PlayerProcess first("/1*" + root.path() + "/Album/Album.ini", program);
    const QStringList windows = waitForWindows("^Harbour Lights--Tarnwick Album Player$", 20000);
    ASSERT_EQ(windows.size(), 1) << "no player window appeared";

    const QImage shot = screenshot(windows.first());
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.pixel(shot.width() / 2, shot.height() / 2) & 0xFFFFFF, 0x404040u);

    PlayerProcess second("/1*" + root.path() + "/Album/Album.ini", program);
    ASSERT_TRUE(second.process.waitForFinished(10000));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_EQ(waitForWindows("Tarnwick Album Player", 1000).size(), 1);
    EXPECT_EQ(first.process.state(), QProcess::Running);
}

TEST(PlayerWindow, HelpVersionAndUnknownSwitchesEndWithoutAWindow)
{
    const QString why = x11Unavailable();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const std::pair<const char*, const char*> cases[] = {
        {"--help", "Usage: tarnwick-player"},
        {"--version", "tarnwick-player "},
        {"/X", ""},
        {"", ""},
    };
    QTemporaryDir program;
    for (const auto& [arg, output] : cases) {
        PlayerProcess p(QString::fromLatin1(arg), program.path());
        ASSERT_TRUE(p.process.waitForFinished(10000)) << arg;
        EXPECT_EQ(p.process.exitCode(), 0) << arg;
        EXPECT_TRUE(p.process.readAllStandardOutput().startsWith(output)) << arg;
    }
}

} // namespace
} // namespace tarnwick::test

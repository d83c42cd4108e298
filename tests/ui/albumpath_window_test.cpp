// The player as a file manager and a new user start it: one path (an album
// folder, its album.ini, a packed album's container) opens the album's
// window; a copy of the program in an empty folder that nothing can be
// written to, with a home that takes nothing either, still offers the
// shipped effect table.

// ours
#include "displaytrace.h"
#include "x11session.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// std
#include <gtest/gtest.h>

// POSIX
#include <unistd.h>

namespace tarnwick::test {
namespace {

TEST(PlayerWindow, EachFormOfAnAlbumPathOpensTheAlbumsWindow)
{
    const QString why = x11Unavailable();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    PrivateDisplay display;
    QTemporaryDir root;
    const QString album = root.path() + "/demo";
    ASSERT_EQ(QProcess::execute(TARNWICK_BIN_DIR "/tarnwick-album-maker", {"--demo", "--pack", album}), 0);

    for (const QString& path : {album, album + "/album.ini", album + "/packed/album.pak"}) {
        SCOPED_TRACE(path.toStdString());
        QTemporaryDir program; // where the settings go; a packed album runs in its own folder
        PlayerProcess player(path, program.path());
        EXPECT_EQ(waitForWindows("^Tarnwick demo album--Tarnwick Album Player$", 20000).size(), 1);
        player.process.terminate();
        ASSERT_TRUE(player.process.waitForFinished(20000));
        EXPECT_EQ(player.process.exitCode(), 0) << player.process.readAllStandardError().toStdString();
    }
    // The packed run unpacked into the packed album's folder and cleaned up after itself.
    EXPECT_EQ(QDir(album + "/packed/ResultPicture").entryList(QDir::Files), QStringList());
}

// The parameter dialog's pixels for the program `exe` run as `user` (empty:
// this user) with `home`, and its program folder found as an installed
// player finds it.
QImage ParameterDialog(const QString& exe, const QString& user, const QString& home)
{
    QProcess player;
    QStringList args{"env", "HOME=" + home, "XDG_CONFIG_HOME=", "DISPLAY=" + qEnvironmentVariable("DISPLAY"),
                     "QT_QPA_PLATFORM=xcb", "TARNWICK_PROGRAM_FOLDER=", exe, "/c"};
    if (!user.isEmpty())
        args = QStringList{"-u", user, "--"} + args;
    player.start(user.isEmpty() ? QStringLiteral("/usr/bin/env") : QStringLiteral("runuser"),
                 user.isEmpty() ? args.mid(1) : args);
    const QStringList windows = waitForWindows("^Transform Effect Parameter$", 20000);
    QImage image;
    if (windows.size() == 1)
        image = WindowPixels(windows.first()).grab({0, 0, 400, 560});
    player.terminate();
    player.waitForFinished(10000);
    return image;
}

TEST(PlayerWindow, AProgramCopyInAReadOnlyFolderWithAReadOnlyHomeOffersTheShippedEffects)
{
    const QString why = x11Unavailable();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    // Root writes wherever it likes: the copy runs as nobody then.
    const QString user = geteuid() == 0 ? QStringLiteral("nobody") : QString();
    PrivateDisplay display;
    QTemporaryDir root;
    const QString copy = root.path() + "/bin", home = root.path() + "/home";
    ASSERT_TRUE(QDir().mkpath(copy) && QDir().mkpath(home));
    ASSERT_TRUE(QFile::copy(TARNWICK_BIN_DIR "/tarnwick-player", copy + "/tarnwick-player"));
    ASSERT_EQ(QProcess::execute("chmod", {"-R", "a=rX", root.path()}), 0);

    QTemporaryDir ownHome;
    const QImage shipped = ParameterDialog(TARNWICK_BIN_DIR "/tarnwick-player", QString(), ownHome.path());
    const QImage readOnly = ParameterDialog(copy + "/tarnwick-player", user, home);
    ASSERT_FALSE(shipped.isNull()) << "no dialog from the built program";
    ASSERT_FALSE(readOnly.isNull()) << "no dialog from the copy";
    EXPECT_TRUE(readOnly == shipped) << "the copy's dialog differs from the shipped table's";
    EXPECT_EQ(QDir(copy).entryList(QDir::Files | QDir::Hidden), QStringList{"tarnwick-player"});
    EXPECT_EQ(QDir(home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    QProcess::execute("chmod", {"-R", "u+w", root.path()});
}

} // namespace
} // namespace tarnwick::test

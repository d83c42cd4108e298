// The player as a screen saver: "/S" and "/P" on a packed album, and as an XScreenSaver hack.

#include "x11test.h"

#include <QRegularExpression>

#include <xcb/xfixes.h>

#include <pwd.h>
#include <unistd.h>

namespace tarnwick::test {
namespace {

// Whether the cursor image XFixes reports has a pixel that is not fully transparent.
bool pointerVisible()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr));
    auto* image = xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr);
    bool visible = false;
    for (int i = 0; image && i < image->width * image->height; ++i)
        visible = visible || (xcb_xfixes_get_cursor_image_cursor_image(image)[i] >> 24) != 0;
    std::free(image);
    xcb_disconnect(c);
    return visible;
}

using SaverWindow = X11Test;

// Two categories of one solid photo each, packed by the album maker, with short Blends and a second a photo.
// Full screen the saver hides the pointer and ends on a key or a left click, not the right button; as a preview
// it lives in a window of the test's own, follows its size and ends with it. Neither leaves unpacked files behind.
TEST_F(SaverWindow, FullScreenAndPreviewRunsOfAPackedAlbum)
{
    for (const int i : {0, 1}) {
        QImage photo(320, 240, QImage::Format_RGB32);
        photo.fill(QColor(i ? "#40d040" : "#d04040"));
        ASSERT_TRUE(QDir().mkpath(root.filePath(QString("photos/c%1").arg(i))));
        photo.save(root.filePath(QString("photos/c%1/p.png").arg(i)));
    }
    const QStringList out = run(TARNWICK_BIN_DIR "/tarnwick-album-maker",
        {root.filePath("photos"), root.filePath("album"), "--size", "320x240", "--pack"}, 60000);
    const QString offset = out.filter(QRegularExpression("^offset=")).value(0).mid(7);
    ASSERT_FALSE(offset.isEmpty()) << "the album maker did not pack";
    const QString folder = root.filePath("album/packed");
    const QString pieces = QString("*OFFSET=%1*FILE=%2").arg(offset, folder + "/album.pak");
    ASSERT_TRUE(writeBytes(folder + "/playerprofile.ini",
                          "[Effect]\nEffectNumber=1\nEffect_1=Blend\nPercent_1=100\nStopTime=1\n"
                          "[Blend]\nBlendTimes(How many loop times to finish?)=5\n"));
    const auto unpackedFiles = [&] {
        return QDir(folder + "/ResultPicture").entryList(QDir::Files).size() +
               QDir(folder + "/MainAlbum").entryList(QDir::Files).size();
    };

    for (const QStringList& ending : {QStringList{"key", "space"}, QStringList{"click", "1"}}) {
        SCOPED_TRACE(ending.join(' ').toStdString());
        PlayerProcess saver("/S" + pieces, folder);
        const QStringList windows = waitForWindows("Tarnwick Album Player", 20000);
        ASSERT_EQ(windows.size(), 1);
        EXPECT_EQ(geometryOf(windows.first()), QRect(0, 0, 1024, 768)); // the private display's screen
        run("xdotool", {"mousemove", "640", "512"});
        EXPECT_TRUE(eventually([] { return !pointerVisible(); }, 5000, 50)) << "the pointer shows";
        ASSERT_TRUE(eventually([&] { return unpackedFiles() > 0; }, 10000, 50));
        run("xdotool", {"click", "3"});
        QThread::msleep(1500);
        EXPECT_EQ(saver.process.state(), QProcess::Running) << "the right button ended the saver";
        run("xdotool", ending);
        ASSERT_TRUE(saver.endsWith(0)) << "the saver did not end";
        EXPECT_EQ(unpackedFiles(), 0);
        EXPECT_TRUE(pointerVisible());
    }

    // A window of the test's own, as a saver settings dialog's preview area.
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const auto disconnect = qScopeGuard([c] { xcb_disconnect(c); });
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t host = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, host, screen->root, 40, 40, 152, 112, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL, &screen->black_pixel);
    xcb_map_window(c, host);
    xcb_flush(c);
    PlayerProcess preview(QString("/P %1").arg(host) + pieces, folder);
    QString child;
    ASSERT_TRUE(eventually([&] {
        auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, host), nullptr);
        child = tree && tree->children_len ? QString::number(*xcb_query_tree_children(tree)) : QString();
        std::free(tree);
        return !child.isEmpty() && geometryOf(child).width() == 152;
    }, 20000, 50)) << "no player inside the window";
    EXPECT_EQ(geometryOf(child), QRect(0, 0, 152, 112));
    ASSERT_TRUE(eventually([&] { return unpackedFiles() > 0; }, 10000, 50));
    const uint32_t size[] = {200, 150};
    xcb_configure_window(c, host, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(c);
    EXPECT_TRUE(eventually([&] { return geometryOf(child).size() == QSize(200, 150); }, 5000, 50))
        << "the player kept its size";
    xcb_destroy_window(c, host);
    xcb_flush(c);
    ASSERT_TRUE(preview.endsWith(0, 10000)) << "the player outlived its window";
    EXPECT_EQ(unpackedFiles(), 0);
}

bool command(const QString& what) { return QProcess::execute("xscreensaver-command", {what}) == 0; }

// xscreensaver run as nobody in a session of its own, with `programs` as its one hack.
struct SaverDaemon {
    SaverDaemon(const QString& root, const QByteArray& programs) : home(root + "/home")
    {
        ok = writeBytes(home + "/.xscreensaver",
                       "timeout: 1:00:00\ncycle: 0\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
                       "dpmsEnabled: False\nmode: one\nselected: 0\nprograms: " + programs + "\n") &&
             QProcess::execute("chmod", {"-R", "a+rX", root}) == 0 &&
             QProcess::execute("chmod", {"-R", "a+rwX", root + "/config"}) == 0;
        // Into a file: an unread pipe would stall the daemon. No bus: libdbus would start one that stays.
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(home + "/daemon.log");
        process.start("setsid", {"runuser", "-u", "nobody", "--", "env", "HOME=" + home,
                                 "XDG_CONFIG_HOME=" + root + "/config", "DISPLAY=" + qEnvironmentVariable("DISPLAY"),
                                 "QT_QPA_PLATFORM=xcb", "DBUS_SESSION_BUS_ADDRESS=unix:path=" + home + "/no-bus",
                                 "xscreensaver", "-no-splash", "-verbose"});
        session = QString::number(process.processId());
    }
    ~SaverDaemon()
    {
        command("-exit");
        process.waitForFinished(5000);
        if (session != "0") // a hack outlives the daemon that started it
            QProcess::execute("pkill", {"-KILL", "-s", session});
        process.waitForFinished(2000);
    }
    // Neither gone nor unreaped zombies.
    QStringList players() const { return run("pgrep", {"-s", session, "-r", "D,R,S,T", "-x", "tarnwick-player"}); }
    std::string log() const
    {
        QFile file(home + "/daemon.log");
        return file.open(QIODevice::ReadOnly) ? file.readAll().right(3000).toStdString() : std::string();
    }
    QString home, session;
    bool ok = false;
    QProcess process;
};

using ScreenSaverHack = X11Test;

TEST_F(ScreenSaverHack, DaemonShowsTheAlbumOnActivateAndEndsThePlayerOnDeactivate)
{
    for (const char* tool : {"xscreensaver", "xscreensaver-command", "runuser"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    if (geteuid() != 0 || !getpwnam("nobody"))
        GTEST_SKIP() << "needs root, to run the daemon as nobody (it launches no hacks as root)";
    // A slow show that --still overrules, its settings in the per-user folder.
    const ColourAlbum album(root.path(), "30", 2);
    const QString settings = root.path() + "/config/tarnwick-album-player/";
    ASSERT_TRUE(album.ok && QDir().mkpath(settings));
    for (const QString file : {"playerprofile.ini", "profile.ini"})
        ASSERT_TRUE(QFile::copy(album.programFolder() + '/' + file, settings + file));
    SaverDaemon daemon(root.path(), TARNWICK_BIN_DIR "/tarnwick-player --root --album " + root.path().toUtf8() +
                                        "/Album --still 1 --no-music");
    ASSERT_TRUE(daemon.ok);
    ASSERT_TRUE(eventually([] { return command("-time"); }, 15000, 100)) << daemon.log();
    const QString rootId = run("xwininfo", {"-root"}).filter("Window id:").value(0);
    const WindowPixels screen(QString::number(rootId.section(' ', 3, 3).toUInt(nullptr, 0)));
    DisplayTrace centre(screen, {512, 384});
    const auto last = [&] { return joined(centre.names().mid(std::max<qsizetype>(0, centre.names().size() - 12))); };

    ASSERT_TRUE(command("-activate"));
    // Each picture stands 400 ms at least, a daemon's flash does not.
    const QString first = centre.steady([](const QString& name) { return name != kInBetween; }, 400);
    ASSERT_FALSE(first.isEmpty()) << "the screen centre shows " << last() << "\n" << daemon.log();
    const QStringList players = daemon.players();
    ASSERT_EQ(players.size(), 1) << daemon.log();
    const auto next = [&](const QString& name) { return name != kInBetween && name != first; };
    EXPECT_FALSE(centre.steady(next, 400).isEmpty()) << "no next picture: " << last();
    // Drawn into the daemon's window: no window of the player's own on the screen.
    EXPECT_TRUE(run("xdotool", {"search", "--onlyvisible", "--maxdepth", "1", "--name", "Tarnwick"}).isEmpty());

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(command("-deactivate"));
    eventually([&] { return !daemon.players().contains(players.first()); }, 3000, 5);
    EXPECT_LE(clock.elapsed(), 500) << daemon.log();
    QThread::msleep(500);
    EXPECT_TRUE(daemon.players().isEmpty()) << "started anew after -deactivate";
}

} // namespace
} // namespace tarnwick::test

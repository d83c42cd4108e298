// The player as an XScreenSaver hack. The daemon, run as an unprivileged
// user on an X server of the test's own, starts it on -activate with the
// programs: line of ~/.xscreensaver (no shell, nice 10, XSCREENSAVER_WINDOW
// set); it fills the screen with the album, plays on, and ends within half a
// second of -deactivate (SIGTERM). As a player its user cannot write beside
// does, it finds its settings under XDG_CONFIG_HOME.

// ours
#include "colouralbum.h"
#include "displaytrace.h"
#include "x11session.h"

// Qt
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

// std
#include <algorithm>
#include <csignal>
#include <iostream>
#include <pwd.h>
#include <tuple>
#include <unistd.h>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

QString saverUnavailable()
{
    for (const char* tool : {"xscreensaver", "xscreensaver-command", "runuser", "xwininfo"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    if (geteuid() != 0 || !getpwnam("nobody"))
        return QStringLiteral("needs root, to run the daemon as nobody (it launches no hacks as root)");
    return x11Unavailable();
}

// The command name, state and parent of a process; empty once it is reaped.
QByteArrayList procStat(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
    if (open < 0 || close < open)
        return {};
    return QByteArrayList{text.mid(open + 1, close - open - 1)} + text.mid(close + 2).split(' ').mid(0, 2);
}

// An ended process is gone or a zombie that no one has reaped yet.
bool alive(int pid) { return procStat(pid).value(1, "Z") != "Z"; }

// The live processes below `parent`, or only those called `name`.
QList<int> descendants(qint64 parent, const QByteArray& name = {})
{
    QList<int> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (const int pid = entry.toInt(); pid > 0 && procStat(pid).value(2).toLongLong() == parent) {
            if (alive(pid) && (name.isEmpty() || procStat(pid).value(0) == name))
                found << pid;
            found << descendants(pid, name);
        }
    }
    return found;
}

bool command(const QString& what)
{
    QProcess p;
    p.start(QStringLiteral("xscreensaver-command"), {what});
    return p.waitForFinished(10000) && p.exitCode() == 0;
}

// xscreensaver run as nobody on DISPLAY with `programs` as its one hack,
// HOME `root`/home and XDG_CONFIG_HOME `root`/config. At the end it is told
// to -exit, and what it started and left alive is killed.
struct SaverDaemon {
    SaverDaemon(const QString& root, const QByteArray& programs) : home(root + QStringLiteral("/home"))
    {
        QDir().mkpath(home);
        QFile rc(home + QStringLiteral("/.xscreensaver"));
        ok = rc.open(QIODevice::WriteOnly)
             && rc.write("timeout: 1:00:00\ncycle: 0\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
                         "dpmsEnabled: False\nmode: one\nselected: 0\nprograms: " + programs + "\n") > 0;
        rc.close();
        // For nobody: the album and the home to read, the settings to write.
        ok = ok && QProcess::execute(QStringLiteral("chmod"), {"-R", "a+rX", root}) == 0
             && QProcess::execute(QStringLiteral("chmod"), {"-R", "a+rwX", root + QStringLiteral("/config")}) == 0;
        // A file: a pipe that no one reads while the test polls fills up and stalls the daemon.
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(home + QStringLiteral("/daemon.log"));
        // A session has its bus; without one, libdbus would start one that outlives the test.
        process.start(QStringLiteral("runuser"),
                      {"-u", "nobody", "--", "env", "HOME=" + home, "XDG_CONFIG_HOME=" + root + "/config",
                       "DISPLAY=" + qEnvironmentVariable("DISPLAY"), "QT_QPA_PLATFORM=xcb",
                       "DBUS_SESSION_BUS_ADDRESS=unix:path=" + home + "/no-bus", "xscreensaver", "-no-splash",
                       "-verbose"});
    }
    ~SaverDaemon()
    {
        const QList<int> tree = descendants(process.processId()); // a hack outlives the helper that started it
        command(QStringLiteral("-exit"));
        process.waitForFinished(5000);
        for (const int pid : tree)
            if (alive(pid))
                ::kill(pid, SIGKILL);
        process.kill();
        process.waitForFinished(2000);
    }
    QList<int> players() const { return descendants(process.processId(), "tarnwick-player"); }
    std::string log() const
    {
        QFile file(home + QStringLiteral("/daemon.log"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().right(3000).toStdString() : std::string();
    }
    QString home;
    bool ok = false;
    QProcess process;
};

// Samples `trace` until a picture of the album other than `previous` has
// stood for 400 ms (a still stands a second; what the daemon flashes while
// a hack keeps failing does not stand); returns it and the `clock` time it
// came, or an empty name.
std::pair<QString, qint64> steadyPicture(DisplayTrace& trace, const QElapsedTimer& clock, const QString& previous)
{
    QString current;
    qint64 since = 0;
    const bool seen = trace.until([&](const DisplayTrace& t) {
        if (t.names().last() != current)
            std::tie(current, since) = std::pair(t.names().last(), clock.elapsed());
        return current != ColourAlbum::kInBetween && current != previous && clock.elapsed() - since >= 400;
    }, 20000);
    return {seen ? current : QString(), since};
}

std::string lastOf(const DisplayTrace& t) { return joined(t.names().mid(std::max(0, int(t.names().size()) - 12))); }

TEST(ScreenSaverHack, DaemonShowsTheAlbumOnActivateAndEndsThePlayerOnDeactivate)
{
    const QString why = saverUnavailable();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();

    PrivateDisplay display;
    QTemporaryDir root;
    // The album's settings, of a slow show that --still overrules, in the per-user folder.
    const ColourAlbum album(root.path(), {"30", 2});
    const QString settings = root.path() + QStringLiteral("/config/tarnwick-album-player/");
    ASSERT_TRUE(album.ok() && QDir().mkpath(settings));
    for (const QString file : {"playerprofile.ini", "profile.ini"})
        ASSERT_TRUE(QFile::copy(album.programFolder() + '/' + file, settings + file));
    SaverDaemon daemon(root.path(), TARNWICK_BIN_DIR "/tarnwick-player --root --album " + root.path().toUtf8()
                                        + "/Album --still 1 --no-music");
    ASSERT_TRUE(daemon.ok);

    QElapsedTimer clock;
    clock.start();
    while (!command(QStringLiteral("-time")) && clock.elapsed() < 15000)
        QThread::msleep(100);
    ASSERT_TRUE(command(QStringLiteral("-time"))) << daemon.log();
    const QString rootId = run(QStringLiteral("xwininfo"), {QStringLiteral("-root")}).filter("Window id:").value(0);
    const WindowPixels screen(QString::number(rootId.section(' ', 3, 3).toUInt(nullptr, 0)));
    DisplayTrace centre(screen, {512, 384});

    clock.restart();
    ASSERT_TRUE(command(QStringLiteral("-activate")));
    const auto [first, came] = steadyPicture(centre, clock, {});
    ASSERT_FALSE(first.isEmpty()) << "the screen centre shows " << lastOf(centre) << "\n" << daemon.log();
    std::cout << "[ figure ] -activate to the first album picture (" << first.toStdString() << "): " << came << " ms\n";
    const QList<int> players = daemon.players();
    ASSERT_EQ(players.size(), 1) << daemon.log();
    EXPECT_FALSE(steadyPicture(centre, clock, first).first.isEmpty()) << "no next picture: " << lastOf(centre);
    // Drawn into the daemon's window: no window of the player's own on the screen.
    EXPECT_TRUE(
        run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--maxdepth", "1", "--name", "Tarnwick"}).isEmpty());

    clock.restart();
    ASSERT_TRUE(command(QStringLiteral("-deactivate")));
    while (alive(players.first()) && clock.elapsed() < 3000)
        QThread::msleep(5);
    const qint64 ended = clock.elapsed();
    std::cout << "[ figure ] -deactivate to the player's end: " << ended << " ms\n";
    EXPECT_LE(ended, 500) << daemon.log();
    QThread::msleep(500);
    EXPECT_TRUE(daemon.players().isEmpty()) << "started anew after -deactivate";
}

} // namespace
} // namespace tarnwick::test

// The player's entry point: the arguments after the program name, joined by
// single blanks, are the command line the start-up routine reads.

// ours
#include "albumpath.h"
#include "appwindows.h"
#include "batchexport.h"
#include "programfolder.h"
#include "signalcloser.h"
#include "qtmusicplayback.h"
#include "saverhack.h"
#include "session.h"
#include "startup.h"

// Qt
#include <QApplication>
#include <QStringList>

// std
#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "Usage: tarnwick-player PATH\n"
    "       tarnwick-player SWITCH[*ARGUMENTS]\n"
    "Plays electronic photo albums as a slideshow with transition effects.\n"
    "\n"
    "  PATH                         play an album: its folder, its album.ini, or a\n"
    "                               packed album's container (MainpicFileInfo.ini beside it)\n"
    "  /1*ALBUM.INI                 play the album whose information file is ALBUM.INI\n"
    "  /2*ALBUM.INI*VIDEO.AVI       export the album's slideshow as a video (a dialog)\n"
    "  *S*OFFSET=N*FILE=CONTAINER   play a packed album (its index files in the program folder)\n"
    "  /S*OFFSET=N*FILE=CONTAINER   run a packed album as a full-screen screen saver\n"
    "  /P ID*OFFSET=N*FILE=CONTAINER  run it as a screen-saver preview in window ID\n"
    "  /C                           edit the transition effects and the still time\n"
    "  --export VIDEO [--size WxH] [--still SECONDS] [--static] [--no-music] ALBUM\n"
    "                               export ALBUM (its folder or information file) as\n"
    "                               VIDEO without a window; .avi (MPEG-4), .mpg (VideoCD,\n"
    "                               352x288 only), .mp4 or .mkv (H.264); default 352x288\n"
    "  /A                           change the screen-saver password (there is none: ends)\n"
    "  --help, --version            print this help or the version and end\n"
    "\n"
    "As a screen saver program's hack (XScreenSaver):\n"
    "  --root [--album PATH] [--still SECONDS] [--no-music]\n"
    "                               full screen, in $XSCREENSAVER_WINDOW when it is set\n"
    "  --window-id ID --album PATH  the preview inside window ID (wins over --root)\n"
    "                               PATH: an album folder or its information file,\n"
    "                               played in place; or *OFFSET=N*FILE=CONTAINER\n"
    "\n"
    "Switches are not case-sensitive. The settings live in playerprofile.ini in the\n"
    "program folder: the executable's folder, or ~/.config/tarnwick-album-player when\n"
    "that is not writable or the player is installed, or the folder named by\n"
    "TARNWICK_PROGRAM_FOLDER; a packed album opened by PATH runs in its own folder.\n"
    "\n"
    "Examples:\n"
    "  tarnwick-player ~/Albums/Holiday\n"
    "  tarnwick-player ~/Albums/Holiday/album.ini\n"
    "  tarnwick-player /media/disc/album.pak\n"
    "  tarnwick-player \"/1*$HOME/Albums/Holiday/album.ini\"\n"
    "  tarnwick-player --export holiday.mp4 --size 1280x720 ~/Albums/Holiday\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        std::printf("tarnwick-player %s\n", TARNWICK_VERSION);
        return 0;
    }

    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const QByteArray folder = qgetenv("TARNWICK_PROGRAM_FOLDER");
    if (!folder.isEmpty())
        tarnwick::SetProgramFolder(QString::fromLocal8Bit(folder));

    if (tarnwick::IsBatchExport(words)) {
        // No display is needed: the album is drawn and written off screen.
        QCoreApplication app(argc, argv);
        QString error;
        const auto options = tarnwick::ParseExportOptions(words, error);
        if (!options) {
            std::fprintf(stderr, "tarnwick-player: %s\n", qPrintable(error));
            return 2;
        }
        return tarnwick::RunBatchExport(*options);
    }

    if (tarnwick::IsAlbumPath(words)) {
        QString error;
        const auto start = tarnwick::StartForAlbumPath(words.first(), error);
        if (!start) {
            std::fprintf(stderr, "tarnwick-player: %s\n", qPrintable(error));
            return 1;
        }
        if (!start->programFolder.isEmpty())
            tarnwick::SetProgramFolder(start->programFolder);
        words = QStringList{start->commandLine};
    } else if (tarnwick::IsMissingPath(words)) {
        std::fprintf(stderr, "tarnwick-player: \"%s\": no such file or folder\n", qPrintable(words.first()));
        return 1;
    } else if (!tarnwick::IsSaverHack(words)) {
        // The player's own switches end silently on what they do not know;
        // a mistyped option is said, so that it is not taken for a run.
        if (const auto unknown = tarnwick::UnknownOption(words)) {
            std::fprintf(stderr, "tarnwick-player: unknown option \"%s\" (see tarnwick-player --help)\n",
                         qPrintable(*unknown));
            return 2;
        }
    }

    // A saver started outside a desktop session (a saver program run as
    // another user) has no session bus; left unset, the bus library would
    // try to start one, stalling the start for seconds and leaving it behind.
    const QString first = words.value(0).trimmed().left(2).toUpper();
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")
        && (tarnwick::IsSaverHack(words) || first == QLatin1String("/S") || first == QLatin1String("/P")))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-no-session-bus");

    QApplication app(argc, argv);
    tarnwick::SignalCloser signalCloser;
    tarnwick::InstallQtMusicPlayback();
    QApplication::setApplicationName(QStringLiteral("tarnwick-player"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tarnwick-album-player"));

    tarnwick::AppWindows windows;
    if (tarnwick::IsSaverHack(words)) {
        QString error;
        const auto hack = tarnwick::ParseSaverHack(words, qEnvironmentVariable("XSCREENSAVER_WINDOW"), error);
        if (!hack) {
            std::fprintf(stderr, "tarnwick-player: %s\n", qPrintable(error));
            return 2;
        }
        if (!tarnwick::RunSaverHack(*hack, windows))
            return 1;
    } else if (!tarnwick::RunStartup(words.join(QLatin1Char(' ')), windows) || !windows.AnyWindowShown()) {
        return 0;
    }
    // The session's end (or a saver program's) is obeyed at once, within a
    // transition's frame, with the clean-up done.
    signalCloser.onSignal = [&windows] { windows.EndNow(); };
    return QApplication::exec();
}

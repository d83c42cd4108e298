// Measurements of the player window, printed as "name: figures" lines:
//
//   playerwindow_bench album FOLDER       writes the bench album (1000 photos
//                                         of 1600x1200 in 2 categories)
//   playerwindow_bench startup FOLDER     start of tarnwick-player to the front
//                                         cover on screen [--runs N]
//   playerwindow_bench memory FOLDER      peak memory after N photos
//                                         [--pictures N]
//   playerwindow_bench strip FOLDER       strip build of a 500-photo category
//                                         [--switches N]
//   playerwindow_bench transition         Blend and Drag at 1920x1080 against
//                                         their nominal length [--repeats N]
//                                         [--panel shown|hidden|hidden-first]
//
// All but "album" need an X server without a window manager in DISPLAY
// (bench/playerwindow.sh starts one). The album is written when missing.

// ours
#include "benchalbum.h"
#include "benchsession.h"
#include "framemeter.h"
#include "playerprocessbench.h"
#include "stripbench.h"
#include "transitionbench.h"

// Qt
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// std
#include <cstdio>

using namespace tarnwick::bench;

namespace {

const char* const kUsage =
    "usage: playerwindow_bench album|startup|memory|strip FOLDER [--runs N|--pictures N|--switches N]\n"
    "       playerwindow_bench transition [--repeats N] [--panel shown|hidden|hidden-first]\n";

const QString kBlendTimes = QStringLiteral("BlendTimes(How many loop times to finish?)");

// The value after `option`, or `def`.
int optionValue(const QStringList& args, const char* option, int def)
{
    const int i = args.indexOf(QLatin1String(option));
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : def;
}

// The --panel option: shown, hidden, hidden-first, or both in the order
// shown then hidden.
PanelStates panelStates(const QStringList& args)
{
    const int i = args.indexOf(QLatin1String("--panel"));
    const QString v = i >= 0 ? args.value(i + 1) : QString();
    if (v == QLatin1String("shown"))
        return PanelStates::Shown;
    if (v == QLatin1String("hidden"))
        return PanelStates::Hidden;
    if (v == QLatin1String("hidden-first"))
        return PanelStates::HiddenThenShown;
    return PanelStates::ShownThenHidden;
}

// One frame of Blend for every picture change: the covers and photos come
// on at once, so the figures are the player's own work.
std::vector<SettingValue> fastShow(const QString& stopTime)
{
    return {{QStringLiteral("Blend"), kBlendTimes, QStringLiteral("1")},
            {QStringLiteral("Effect"), QStringLiteral("StopTime"), stopTime}};
}

} // namespace

int main(int argc, char** argv)
{
    FrameMeter app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.value(0);
    const bool needsAlbum = command != QLatin1String("transition");
    if (command.isEmpty() || (needsAlbum && args.size() < 2)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    QString albumIni;
    if (needsAlbum) {
        albumIni = WriteBenchAlbum(QDir(args[1]).absolutePath(), BenchAlbumShape{});
        if (albumIni.isEmpty()) {
            std::fprintf(stderr, "cannot write the album into %s\n", qPrintable(args[1]));
            return 1;
        }
    }
    if (command == QLatin1String("album"))
        return 0;

    // The figures are wall-clock times: the machine's load belongs with them.
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly))
        Report(QStringLiteral("machine.loadavg"), QString::fromLatin1(loadavg.readAll()).trimmed());

    QTemporaryDir programFolder;
    const std::vector<SettingValue> values = command == QLatin1String("memory") ? fastShow(QStringLiteral("0.2"))
        : command == QLatin1String("transition")                               ? std::vector<SettingValue>{}
                                                                               : fastShow(QStringLiteral("5"));
    if (!programFolder.isValid() || !MakeProgramFolder(programFolder.path(), QStringLiteral("Blend"), values)) {
        std::fputs("cannot make the program folder (is playerprofile.ini beside this program?)\n", stderr);
        return 1;
    }
    qputenv("TARNWICK_PROGRAM_FOLDER", programFolder.path().toLocal8Bit());
    const PlayerProcessRun player{QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick-player"), albumIni};

    if (command == QLatin1String("startup"))
        return RunStartupBench(player, optionValue(args, "--runs", 5));
    if (command == QLatin1String("memory"))
        return RunMemoryBench(player, optionValue(args, "--pictures", 50));
    if (command == QLatin1String("strip"))
        return LoadAlbumFolder(albumIni) ? RunStripBench(app, optionValue(args, "--switches", 7)) : 1;
    if (command == QLatin1String("transition"))
        return RunTransitionBench(app, optionValue(args, "--repeats", 1), panelStates(args));
    std::fputs(kUsage, stderr);
    return 2;
}

// tarnwick-album-maker: makes a Tarnwick album folder from a folder of photos (see
// --help for the options and the layout it writes).

// ours
#include "albumbuilder.h"
#include "demoalbum.h"
#include "makererror.h"
#include "makeroptions.h"

// Qt
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

// std
#include <cstdio>
#include <cstdlib>

using namespace tarnwick;

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

void fail(const char* what)
{
    // One line, whatever the message holds.
    QString line = QString::fromUtf8(what);
    line.replace(u'\n', u' ');
    QTextStream(stderr) << "tarnwick-album-maker: " << line << Qt::endl;
}

// Qt's own warnings (a missing XDG_RUNTIME_DIR, font notes) would break the
// promise of one line on stderr; the tool reports its own failures.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << "tarnwick-album-maker: " << message << Qt::endl;
}

} // namespace

int main(int argc, char** argv)
{
    // Title cards need fonts, not a display.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnwick-album-maker"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));

    MakerOptions options;
    try {
        options = MakerOptions::parse(QCoreApplication::arguments());
    } catch (const MakerError& error) {
        fail(error.what());
        return ExitUsage;
    }

    try {
        QTemporaryDir demoSources;
        if (options.demo) {
            if (!demoSources.isValid())
                throw MakerError(QStringLiteral("cannot create a temporary folder: %1").arg(demoSources.errorString()));
            DemoAlbum::prepare(demoSources.path(), options);
        }
        // The build puts the default settings beside the tool.
        // The player's defaults, as built into it: an installed maker has no
        // settings file beside it.
        const QString shipped = QStringLiteral(":/tarnwick/playerprofile.ini");
        const BuildOutcome outcome = AlbumBuilder(options, shipped).build();

        QTextStream out(stdout);
        out << "album=" << outcome.albumFolder << Qt::endl;
        out << "categories=" << outcome.categories << " photos=" << outcome.photos << Qt::endl;
        if (outcome.pack) {
            out << "offset=" << outcome.pack->offset << Qt::endl;
            out << "container=" << outcome.pack->container << Qt::endl;
            out << "play: " << outcome.pack->command << Qt::endl;
        }
        if (!outcome.skipped.isEmpty())
            QTextStream(stderr) << "tarnwick-album-maker: " << AlbumBuilder::unreadableLine(outcome.skipped) << Qt::endl;
    } catch (const MakerError& error) {
        fail(error.what());
        return ExitFailure;
    }
    return 0;
}

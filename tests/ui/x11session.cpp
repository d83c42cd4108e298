#include "x11session.h"

// Qt
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

namespace tarnwick::test {

QString x11Unavailable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("no X server: DISPLAY is not set (scripts/test starts Xvfb)");
    for (const char* tool : {"xdotool", "import"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    return {};
}

PlayerProcess::PlayerProcess(const QString& commandLine, const QString& programFolder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("TARNWICK_PROGRAM_FOLDER"), programFolder);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARNWICK_BIN_DIR "/tarnwick-player"), {commandLine});
    process.waitForStarted();
}

PlayerProcess::~PlayerProcess()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
}

QStringList run(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList waitForWindows(const QString& titleRegex, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    do {
        const QStringList ids =
            run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                            QStringLiteral("--name"), titleRegex});
        if (!ids.isEmpty())
            return ids;
        QThread::msleep(100);
    } while (clock.elapsed() < timeoutMs);
    return {};
}

QImage screenshot(const QString& windowId)
{
    // A window that has just been mapped may not be viewable yet: try again
    // for a few seconds.
    for (int attempt = 0; attempt < 30; ++attempt) {
        QProcess p;
        p.start(QStringLiteral("import"),
                {QStringLiteral("-window"), windowId, QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("png:-")});
        if (p.waitForFinished(10000) && p.exitCode() == 0) {
            const QImage shot = QImage::fromData(p.readAllStandardOutput(), "PNG");
            if (!shot.isNull())
                return shot;
        }
        QThread::msleep(100);
    }
    return {};
}

} // namespace tarnwick::test

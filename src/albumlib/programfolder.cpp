#include "programfolder.h"

// Qt
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarnwick {

namespace {

QString& overriddenFolder()
{
    static QString folder;
    return folder;
}

bool isWritableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

// The per-user folder, made on first use (the settings store seeds it with
// the defaults). When it cannot be made the settings read as the defaults.
QString userFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = base + QStringLiteral("/tarnwick-album-player");
    QDir().mkpath(folder);
    return folder;
}

// An installed executable (bin/ beside share/tarnwick-album-player) never
// keeps settings in its own folder, even when it could write there (root).
bool isInstalled(const QString& exeFolder)
{
    return QFileInfo(exeFolder + QStringLiteral("/../share/tarnwick-album-player")).isDir();
}

} // namespace

QString ExecutableFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty())
        dir = QDir::currentPath();
    return QDir::cleanPath(dir);
}

QString ProgramFolder()
{
    QString& folder = overriddenFolder();
    if (folder.isEmpty()) {
        const QString exe = ExecutableFolder();
        folder = isWritableFolder(exe) && !isInstalled(exe) ? exe : userFolder();
    }
    return folder;
}

void SetProgramFolder(const QString& folder)
{
    overriddenFolder() = QDir::cleanPath(folder);
}

} // namespace tarnwick

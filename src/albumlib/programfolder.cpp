#include "programfolder.h"

// Qt
#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

// The per-user folder, made on first use and given the shipped defaults so
// that the effect list is not empty on a first run.
QString userFolder(const QString& shippedFolder)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = base + QStringLiteral("/tarnwick-album-player");
    QDir().mkpath(folder);
    const QString settings = folder + QStringLiteral("/playerprofile.ini");
    if (!QFileInfo::exists(settings))
        QFile::copy(shippedFolder + QStringLiteral("/playerprofile.ini"), settings);
    return folder;
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
        folder = isWritableFolder(exe) ? exe : userFolder(exe);
    }
    return folder;
}

void SetProgramFolder(const QString& folder)
{
    overriddenFolder() = QDir::cleanPath(folder);
}

} // namespace tarnwick

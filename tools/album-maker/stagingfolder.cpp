#include "stagingfolder.h"

// ours
#include "makererror.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarnwick {

void StagingFolder::checkTarget(const QString& target)
{
    const QFileInfo info(target);
    if (!info.exists() && !info.isSymLink())
        return;
    if (!info.isDir())
        throw MakerError(QStringLiteral("album folder %1 exists and is not a folder").arg(target));
    const QDir dir(info.absoluteFilePath());
    if (dir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return;
    if (!QFileInfo(dir.filePath(QString::fromLatin1(AlbumMarker))).isFile()) {
        throw MakerError(
            QStringLiteral("album folder %1 is not empty and holds no album (no %2)").arg(target, AlbumMarker));
    }
}

StagingFolder::StagingFolder(const QString& target)
    : m_target(QDir::cleanPath(QFileInfo(target).absoluteFilePath()))
{
    const QString parent = QFileInfo(m_target).absolutePath();
    if (!QDir().mkpath(parent))
        throw MakerError(QStringLiteral("cannot create folder %1").arg(parent));
    m_dir = std::make_unique<QTemporaryDir>(m_target + QStringLiteral(".partial-XXXXXX"));
    if (!m_dir->isValid())
        throw MakerError(QStringLiteral("cannot create a folder beside %1: %2").arg(m_target, m_dir->errorString()));
    // A temporary folder is private; an album is an ordinary folder.
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                             | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

StagingFolder::~StagingFolder() = default;

QString StagingFolder::path() const
{
    return m_dir->path();
}

void StagingFolder::commit()
{
    QDir root;
    QString old;
    if (QFileInfo::exists(m_target)) {
        // Keep the old album aside until the new one is in place.
        QTemporaryDir aside(m_target + QStringLiteral(".old-XXXXXX"));
        if (!aside.isValid() || !root.rmdir(aside.path()))
            throw MakerError(QStringLiteral("cannot replace %1").arg(m_target));
        aside.setAutoRemove(false);
        old = aside.path();
        if (!root.rename(m_target, old))
            throw MakerError(QStringLiteral("cannot replace %1").arg(m_target));
    }
    if (!root.rename(m_dir->path(), m_target)) {
        if (!old.isEmpty())
            root.rename(old, m_target);
        throw MakerError(QStringLiteral("cannot move the album into %1").arg(m_target));
    }
    m_dir->setAutoRemove(false);
    if (!old.isEmpty())
        QDir(old).removeRecursively();
}

} // namespace tarnwick

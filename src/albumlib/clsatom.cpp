#include "clsatom.h"

// ours
#include "programfolder.h"

// Qt
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

// std
#include <mutex>
#include <set>

namespace tarnwick {

namespace {

// QLockFile does not see a lock of its own process as taken, so the locks
// this process holds are also kept here.
std::mutex heldMutex;
std::set<QString>& heldLocks()
{
    static std::set<QString> held;
    return held;
}

} // namespace

QString clsAtom::LockPath()
{
    // Asked only when set: Qt warns on every call when it is not.
    QString dir = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")
        ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
        : QString();
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QByteArray id = QCryptographicHash::hash((ProgramFolder() + QLatin1Char('/') + exe).toUtf8(),
                                                   QCryptographicHash::Sha1)
                              .toHex()
                              .left(16);
    return dir + QStringLiteral("/tarnwick-") + exe + QLatin1Char('-') + QString::fromLatin1(id)
        + QStringLiteral(".lock");
}

clsAtom::clsAtom()
{
    const QString path = LockPath();
    std::lock_guard<std::mutex> guard(heldMutex);
    if (heldLocks().count(path))
        return;
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        heldLocks().insert(path);
        m_lock = std::move(lock);
    }
}

clsAtom::~clsAtom()
{
    if (!m_lock)
        return;
    std::lock_guard<std::mutex> guard(heldMutex);
    heldLocks().erase(m_lock->fileName());
    m_lock->unlock();
}

bool clsAtom::IsFirstThread() const
{
    return m_lock != nullptr;
}

} // namespace tarnwick

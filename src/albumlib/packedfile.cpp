#include "packedfile.h"

// ours
#include "pathresolver.h"

// Qt
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>

// std
#include <algorithm>
#include <cerrno>
#include <cstdio>

// POSIX
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr qint64 kChunkSize = 256 * 1024;

// True when the name is free or holds a file or a symbolic link, which the
// rename replaces; never follows a link.
bool isReplaceable(const QString& realPath)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(realPath).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode);
}

} // namespace

std::optional<qint64> PackedFile::HeaderOffset(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(kMagicBytes + 4);
    if (head.size() < kMagicBytes + 4 || !head.startsWith(QByteArrayView(kMagic, kMagicBytes)))
        return std::nullopt;
    return qFromLittleEndian<quint32>(head.constData() + kMagicBytes);
}

bool PackedFile::CopyTo(qint64 start, PackedFile& target, int /*mode*/, qint64 length) const
{
    if (start < 1 || length < 0 || !isPlainFileName(systemFileName(target.OutputFile())))
        return false;
    QFile container(resolvePath(m_fileName));
    if (m_fileName.isEmpty() || !QFileInfo(container).isFile()
        || !container.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = container.size();
    if (start - 1 > size || length > size - (start - 1))
        return false;
    if (!container.seek(start - 1))
        return false;

    const QString outputPath = resolvePath(target.OutputFile());
    if (!isReplaceable(outputPath))
        return false;
    // Not QSaveFile: it writes through a symbolic link standing under the
    // output name, where rename() replaces the link.
    QTemporaryFile output(QFileInfo(outputPath).absolutePath() + QStringLiteral("/.unpack-XXXXXX"));
    if (!output.open())
        return false;
    QByteArray chunk;
    for (qint64 left = length; left > 0;) {
        chunk = container.read(std::min(left, kChunkSize));
        if (chunk.isEmpty() || output.write(chunk) != chunk.size())
            return false;
        left -= chunk.size();
    }
    // On disk before it takes the name, so a crash never leaves a cut-off
    // picture that a later run would take as already unpacked.
    if (!output.flush() || ::fsync(output.handle()) != 0)
        return false;
    const QByteArray from = QFile::encodeName(output.fileName());
    if (::rename(from.constData(), QFile::encodeName(outputPath).constData()) != 0)
        return false;
    output.setAutoRemove(false);
    return true;
}

} // namespace tarnwick

#include "packedfile.h"

// ours
#include "pathresolver.h"

// Qt
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// std
#include <algorithm>

namespace tarnwick {

namespace {

constexpr qint64 kChunkSize = 256 * 1024;

} // namespace

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

    QSaveFile output(resolvePath(target.OutputFile()));
    if (!output.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    for (qint64 left = length; left > 0;) {
        chunk = container.read(std::min(left, kChunkSize));
        if (chunk.isEmpty() || output.write(chunk) != chunk.size()) {
            output.cancelWriting();
            return false;
        }
        left -= chunk.size();
    }
    return output.commit();
}

} // namespace tarnwick

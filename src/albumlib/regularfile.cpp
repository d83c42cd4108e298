// ours
#include "regularfile.h"

// std
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

bool OpenRegularFile(QFile& file, const QString& realPath)
{
    if (realPath.isEmpty())
        return false;
    // O_NONBLOCK makes opening a FIFO return at once; the kind is then
    // checked on what was opened, so nothing can be swapped in between.
    const int fd = ::open(QFile::encodeName(realPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace tarnwick

#include "packedindex.h"

// ours
#include "inifile.h"
#include "pathresolver.h"

// Qt
#include <QFile>

// POSIX
#include <sys/stat.h>

namespace tarnwick {

PackedIndex::Stamp PackedIndex::stampOf(const QString& realPath)
{
    struct stat st {};
    if (realPath.isEmpty() || ::stat(QFile::encodeName(realPath).constData(), &st) != 0)
        return Stamp();
    constexpr std::int64_t kNs = 1000000000;
    return Stamp{true,
                 std::uint64_t(st.st_dev),
                 std::uint64_t(st.st_ino),
                 std::int64_t(st.st_size),
                 std::int64_t(st.st_mtim.tv_sec) * kNs + st.st_mtim.tv_nsec,
                 std::int64_t(st.st_ctim.tv_sec) * kNs + st.st_ctim.tv_nsec};
}

QString PackedIndex::Entry(const QString& section, const QString& name, const QString& file)
{
    const QString realPath = resolvePath(file);
    const Stamp stamp = stampOf(realPath);
    if (!m_loaded || realPath != m_realPath || !(stamp == m_stamp)) {
        // Stamp first, text second: a change in between is seen next time.
        m_entries = IniText(stamp.exists ? IniFile().ReadTextFile(file) : QString());
        m_realPath = realPath;
        m_stamp = stamp;
        m_loaded = true;
    }
    return m_entries.value(section, name).value_or(QString());
}

} // namespace tarnwick

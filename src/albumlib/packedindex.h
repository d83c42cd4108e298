#pragma once
// The picture index of a packed album ("MainFile.ini" in the program
// folder): for each picture ([PicResultFile]) and thumbnail
// ([PicThumbnailFile]) the "start,length" of its bytes in the container.
// An album can index a hundred thousand pictures, so the file is read and
// hashed once and read again only when it has changed on disk; a look-up is
// then a hash probe and one stat of the file. Window thread only.

// ours
#include "initext.h"

// Qt
#include <QString>

// std
#include <cstdint>

namespace tarnwick {

class PackedIndex {
public:
    // The value of `name` in `section` of the index file `file` (a path as
    // IniFile takes it), exactly as IniFile::ReadValue reads it: trimmed,
    // section and name ignoring letter case, the first entry winning; empty
    // when the file, the section or the name is missing.
    QString Entry(const QString& section, const QString& name, const QString& file);

private:
    // What tells one version of the file from another: a file replaced
    // through a temporary one is a new inode, one written in place a new
    // change time (a file system with a coarse clock may miss a rewrite in
    // place of the same size within one tick; the set-up writes the index
    // once, by rename).
    struct Stamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& realPath);

    bool m_loaded = false;
    QString m_realPath;
    Stamp m_stamp;
    IniText m_entries;
};

} // namespace tarnwick

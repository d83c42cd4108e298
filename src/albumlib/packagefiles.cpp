#include "packagefiles.h"

// ours
#include "inifile.h"
#include "numbertext.h"
#include "packedfile.h"
#include "packedindex.h"
#include "pathresolver.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

// std
#include <algorithm>
#include <vector>

// POSIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// A file ExtractPicture wrote: the real path of its folder at the time and
// its name, and which file it was, so that the clean-up can tell it from
// anything that took its name since.
struct UnpackedFile {
    QString folder;
    QString name;
    dev_t device;
    ino_t inode;
};

std::vector<UnpackedFile>& unpackedFiles()
{
    static std::vector<UnpackedFile> files;
    return files;
}

PackedIndex& packedIndex()
{
    static PackedIndex index;
    return index;
}

void makeFolderIfMissing(const QString& albumFolder, const QString& folder)
{
    IniFile ini;
    if (!ini.FolderExists(albumFolder + folder + QLatin1Char('\\')))
        QDir().mkpath(resolvePath(albumFolder + folder));
}

// The real path of album folder + folder when pictures may be unpacked into
// it: a folder, or a symbolic link to a folder inside the album folder; an
// empty string otherwise.
QString unpackFolder(const QString& albumFolder, const QString& folder)
{
    const QFileInfo info(resolvePath(albumFolder + folder));
    const QString real = info.canonicalFilePath();
    if (real.isEmpty() || !info.isDir())
        return QString();
    if (info.isSymLink()) {
        const QString album = QFileInfo(resolvePath(albumFolder)).canonicalFilePath();
        if (album.isEmpty() || !real.startsWith(album + QLatin1Char('/')))
            return QString();
    }
    return real;
}

// True when the name still holds the very file that was written; `folder`
// is an open descriptor of its folder.
bool isStillUnpacked(int folder, const UnpackedFile& file)
{
    struct stat st {};
    return ::fstatat(folder, QFile::encodeName(file.name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISREG(st.st_mode) && st.st_dev == file.device && st.st_ino == file.inode;
}

// Calls action(file, still, folder) for each recorded file: whether it is
// still the file that was written, and a descriptor of its folder, opened
// without following a link (-1 when it could not be).
template <typename Action>
void forEachUnpacked(Action action)
{
    for (const UnpackedFile& file : unpackedFiles()) {
        const int folder =
            ::open(QFile::encodeName(file.folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        action(file, folder >= 0 && isStillUnpacked(folder, file), folder);
        if (folder >= 0)
            ::close(folder);
    }
}

void recordUnpacked(const QString& folder, const QString& name)
{
    std::vector<UnpackedFile>& files = unpackedFiles();
    // Files removed by someone else drop out now and then, so the record
    // stays the size of what is unpacked however often names come back.
    static std::size_t pruneAt = 1024;
    if (files.size() >= pruneAt) {
        std::vector<UnpackedFile> kept;
        forEachUnpacked([&](const UnpackedFile& file, bool still, int) {
            if (still)
                kept.push_back(file);
        });
        files.swap(kept);
        pruneAt = std::max<std::size_t>(1024, 2 * files.size());
    }
    struct stat st {};
    if (::lstat(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), &st) == 0 && S_ISREG(st.st_mode))
        files.push_back({folder, name, st.st_dev, st.st_ino});
}

} // namespace

void ExtractPicture(const QString& name, const QString& folder)
{
    // An album played in place (a saver run on an album folder) has no
    // container and nothing to unpack.
    if (!IsPackedMode(StartMode) || !gAlbum || !gPackReader)
        return;
    const QString albumFolder = gAlbum->Path();
    makeFolderIfMissing(albumFolder, QLatin1String(kResultPicture));
    makeFolderIfMissing(albumFolder, QLatin1String(kMainAlbum));

    QString section;
    if (folder == QLatin1String(kResultPicture))
        section = QStringLiteral("PicResultFile");
    else if (folder == QLatin1String(kMainAlbum))
        section = QStringLiteral("PicThumbnailFile");
    else
        return;
    if (!isPlainFileName(name))
        return;

    const QString target = albumFolder + folder + QLatin1Char('\\') + name;
    IniFile ini;
    if (ini.FileExists(target))
        return;
    const QString realFolder = unpackFolder(albumFolder, folder);
    if (realFolder.isEmpty())
        return;
    const QString entry =
        packedIndex().Entry(section, name, ProgramFolder() + QStringLiteral("/MainFile.ini")).trimmed();
    if (entry.isEmpty() || !gPackReader)
        return;

    // A number that does not convert leaves its statement skipped, so the
    // position stays 0 and the copy below refuses it; no second piece
    // means a length of 0.
    const QStringList pieces = entry.split(QLatin1Char(','));
    std::int32_t start = 0;
    std::int32_t length = 0;
    if (const auto s = ToInt32(LeadingNumber(pieces.at(0)) + gPackOffset + 1))
        start = *s;
    if (pieces.size() > 1) {
        if (const auto l = ToInt32(LeadingNumber(pieces.at(1))))
            length = *l;
    }
    // The name as it stands in the folder when it differs only in case.
    const QString fileName = QFileInfo(resolvePath(target)).fileName();
    PackedFile out;
    out.SetOutputFile(realFolder + QLatin1Char('/') + fileName);
    if (gPackReader->CopyTo(start, out, 1, length))
        recordUnpacked(realFolder, fileName);
}

void CleanUpUnpackedFiles()
{
    const QString program = ProgramFolder();
    if (IsPackedMode(StartMode) && gPackReader) {
        // Deleting every file of the two folders, as the player once did,
        // gives the same result where they hold only unpacked pictures; but
        // a packed album run from its album folder, a program folder set to
        // an album or the home folder, or a folder that is a link, holds the
        // user's files there, and those are never the files recorded here.
        forEachUnpacked([](const UnpackedFile& file, bool still, int folder) {
            if (still)
                ::unlinkat(folder, QFile::encodeName(file.name).constData(), 0);
        });
        unpackedFiles().clear();
        // The run's unpacking ends with its clean-up: a strip still being
        // built as the window closes must not unpack pictures that would
        // then stay behind.
        gPackReader.reset();
    }
    // The launcher of old left three files one folder above the program
    // folder and this clean-up took them away. Nothing here writes them, and
    // that folder may be an album's parent or the home folder: a file of
    // the user's with one of those names is never this player's to remove.
}

} // namespace tarnwick

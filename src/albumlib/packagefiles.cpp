#include "packagefiles.h"

// ours
#include "inifile.h"
#include "numbertext.h"
#include "packedfile.h"
#include "pathresolver.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace tarnwick {

namespace {

void makeFolderIfMissing(const QString& albumFolder, const QString& folder)
{
    IniFile ini;
    if (!ini.FolderExists(albumFolder + folder + QLatin1Char('\\')))
        QDir().mkpath(resolvePath(albumFolder + folder));
}

// Deletes every file directly inside `folder`, leaving sub-folders.
void deleteFilesIn(const QString& folder)
{
    const QDir dir(resolvePath(folder));
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& file : files)
        QFile::remove(dir.filePath(file));
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
    const QString entry =
        ini.ReadValue(section, name, QString(), ProgramFolder() + QStringLiteral("/MainFile.ini")).trimmed();
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
    PackedFile out;
    out.SetOutputFile(resolvePath(target));
    gPackReader->CopyTo(start, out, 1, length);
}

void CleanUpUnpackedFiles()
{
    const QString program = ProgramFolder();
    if (IsPackedMode(StartMode) && gPackReader) {
        deleteFilesIn(program + QLatin1Char('/') + QLatin1String(kMainAlbum));
        deleteFilesIn(program + QLatin1Char('/') + QLatin1String(kResultPicture));
    }
    if (StartMode >= ModePackedAlbum && StartMode <= ModeSaverPassword) {
        // The launcher of a packed album leaves these beside the program folder.
        const QDir up(program + QStringLiteral("/.."));
        for (const char* file : {"twkalbum.dll", "msvbvm60.dll", "twunpack.exe"})
            QFile::remove(up.absoluteFilePath(QLatin1String(file)));
    }
}

} // namespace tarnwick

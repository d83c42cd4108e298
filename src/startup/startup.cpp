#include "startup.h"

// ours
#include "albumutility.h"
#include "commandline.h"
#include "inifile.h"
#include "numbertext.h"
#include "programfolder.h"
#include "session.h"
#include "startupactions.h"

// Qt
#include <QDir>
#include <QFileInfo>
#include <QStringList>

// std
#include <cstdio>

namespace tarnwick {

namespace {

// The run goes on with what it has (an empty album shows an empty
// window), but whoever started it from a terminal learns why.
void warnUnreadable(const char* what, const QString& path)
{
    if (!IniFile().FileExists(path))
        std::fprintf(stderr, "tarnwick-player: cannot read the %s \"%s\"\n", what, qPrintable(path));
}

// "/1" and "/2": the information file named by piece 1 fills the album,
// and its folder becomes the album folder.
void loadAlbumFolder(const CommandLine& line)
{
    const QString file = line.Piece(1).value_or(QString());
    warnUnreadable("album information file", file);
    if (!file.isEmpty())
        gAlbum->LoadText(IniFile().ReadTextFile(file));
    gAlbum->SetPath(CommandLine::FolderOf(file));
}

} // namespace

bool LoadAlbumInPlace(const QString& file)
{
    IniFile ini;
    if (file.isEmpty() || !ini.FileExists(file))
        return false;
    if (!gAlbum)
        gAlbum = std::make_unique<Album>();
    gAlbum->LoadText(ini.ReadTextFile(file));
    gAlbum->SetPath(CommandLine::FolderOf(QFileInfo(file).absoluteFilePath()));
    return true;
}

QString FindAlbumFile(const QString& album)
{
    const QFileInfo info(album);
    if (info.isFile())
        return info.absoluteFilePath();
    if (!info.isDir())
        return QString();
    const QDir dir(info.absoluteFilePath());
    const QStringList inis = dir.entryList({QStringLiteral("*.ini"), QStringLiteral("*.INI")}, QDir::Files, QDir::Name);
    for (const QString& name : inis) {
        if (name.compare(QLatin1String("album.ini"), Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    QStringList albums;
    for (const QString& name : inis) {
        if (IniFile().ReadTextFile(dir.filePath(name)).contains(QLatin1String("[Album]"), Qt::CaseInsensitive))
            albums << dir.filePath(name);
    }
    return albums.size() == 1 ? albums.first() : QString();
}

void SetUpPackedAlbum(const CommandLine& line)
{
    const QString program = ProgramFolder();
    IniFile ini;
    warnUnreadable("packed album's information file", program + QStringLiteral("/MainpicFileInfo.ini"));
    const QString text = ini.ReadTextFile(program + QStringLiteral("/MainpicFileInfo.ini"));
    gAlbum->LoadText(text);
    gAlbum->SetPath(program + QLatin1Char('/'));

    const QStringList index = AlbumUtility().SplitBetween(text, QStringLiteral("[PicResultFile]"),
                                                          QStringLiteral("[Splitter]"), -1, 0);
    if (!index.isEmpty())
        ini.WriteTextFile(index.at(0), program + QStringLiteral("/MainFile.ini"), false);

    gPackReader = std::make_unique<PackedFile>();
    gPackReader->SetFileName(line.ValuePart(-1).value_or(QString()));
    warnUnreadable("album container", line.ValuePart(-1).value_or(QString()));
    // With fewer than two pieces there is no offset piece and it stays 0.
    if (line.Pieces().size() >= 2) {
        if (const auto offset = TextToInt32(*line.ValuePart(-2)))
            gPackOffset = *offset;
    }
}

bool RunStartup(const QString& commandLine, StartupActions& actions)
{
    gAlbum = std::make_unique<Album>();
    const CommandLine line(commandLine);

    switch (line.Mode()) {
    case ModeAlbumFolder:
        if (actions.PreviousInstance())
            return false;
        StartMode = ModeAlbumFolder;
        loadAlbumFolder(line);
        actions.ShowPlayer();
        return true;
    case ModeExport:
        StartMode = ModeExport;
        loadAlbumFolder(line);
        actions.LoadPlayer();
        actions.StopSlideshow();
        actions.ShowExport(line.WrittenPiece(2));
        return true;
    case ModePackedAlbum:
        if (actions.PreviousInstance())
            return false;
        StartMode = ModePackedAlbum;
        SetUpPackedAlbum(line);
        actions.ShowPlayer();
        return true;
    case ModeSaver:
        if (actions.PreviousInstance())
            return false;
        StartMode = ModeSaver;
        SetUpPackedAlbum(line);
        actions.ShowPlayer();
        actions.PrepareSaverWindow();
        actions.StartScreenSaver(std::nullopt);
        return true;
    case ModeSaverPreview: {
        StartMode = ModeSaverPreview;
        SetUpPackedAlbum(line);
        actions.LoadPlayer();
        // A handle that does not convert skips the saver start; the preview
        // still gets its picture.
        if (const auto handle = line.WindowHandle())
            actions.StartScreenSaver(handle);
        actions.LoadPreviewBackground();
        actions.DoEvents();
        actions.ShowPlayer();
        return true;
    }
    case ModeSaverPassword:
        StartMode = ModeSaverPassword;
        actions.ChangePassword(line.WindowHandle());
        return false;
    case ModeSaverSettings:
        StartMode = ModeSaverSettings;
        actions.ShowParameterDialog();
        actions.UnloadAll();
        return false;
    default:
        return false;
    }
}

} // namespace tarnwick

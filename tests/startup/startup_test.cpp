// The command line, album paths, the saver's start and stop and the start-up routine, on recording stand-ins.

#include "albumpath.h"
#include "commandline.h"
#include "programfolder.h"
#include "screensaver.h"
#include "session.h"
#include "startup.h"
#include "startupactions.h"

#include <QtCore>

#include <tuple>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section('/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
}

TEST(CommandLine, TheFirstTwoUpperCasedCharactersChooseTheMode)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {"/1*/home/me/album.ini", ModeAlbumFolder}, {"  /2*a.ini*b.avi", ModeExport},
        {"*s*OFFSET=1*FILE=x", ModePackedAlbum},    {"/s*O=1*F=x", ModeSaver},
        {"/p 1234*O=1*F=x", ModeSaverPreview},      {"/a:99", ModeSaverPassword},
        {"/c:4711", ModeSaverSettings},             {"/C", ModeSaverSettings},
        {"", ModeNone}, {"--help-me", ModeNone}, {"/3", ModeNone}, {"/", ModeNone}, {"1/", ModeNone},
    };
    for (const auto& [line, mode] : cases)
        EXPECT_EQ(CommandLine(QString::fromLatin1(line)).Mode(), mode) << line;
}

TEST(CommandLine, PiecesValuePartsFoldersAndHandles)
{
    // Pieces are upper-cased, empty ones count, negative indices count from the end.
    const CommandLine line("/1**/Home/Me/Album.ini*");
    EXPECT_EQ(line.Pieces(), (QStringList{"/1", "", "/HOME/ME/ALBUM.INI", ""}));
    EXPECT_EQ(line.Piece(2).value(), "/HOME/ME/ALBUM.INI");
    EXPECT_FALSE(line.Piece(4).has_value());
    EXPECT_EQ(line.Piece(-1).value(), QString());
    // Only the text after the last "=" counts.
    const std::tuple<const char*, int, const char*> values[] = {
        {"/p 1234*offset=100*pack=C:\\x.scr", -2, "100"}, {"/p 1234*offset=100*pack=C:\\x.scr", -1, "C:\\X.SCR"},
        {"*S*A=B=7*F=/a=b", -2, "7"},                      {"*S*/tmp/c.pak", -1, "/TMP/C.PAK"},
    };
    for (const auto& [text, index, value] : values)
        EXPECT_EQ(CommandLine(QString::fromLatin1(text)).ValuePart(index).value(), value) << text << index;
    // Cut after the last separator of either kind.
    const std::pair<const char*, const char*> folders[] = {
        {"C:\\ALBUMS\\SEA\\ALBUM.INI", "C:\\ALBUMS\\SEA\\"}, {"/HOME/ME/SEA/ALBUM.INI", "/HOME/ME/SEA/"},
        {"/HOME/ME\\SEA/X", "/HOME/ME\\SEA/"},               {"ALBUM.INI", ""},
    };
    for (const auto& [path, folder] : folders)
        EXPECT_EQ(CommandLine::FolderOf(QString::fromLatin1(path)), QString::fromLatin1(folder)) << path;
    const std::pair<const char*, std::optional<std::int32_t>> handles[] = {
        {"/p 1234*offset=100*pack=C:\\x.scr", 1234}, {"/P:77", 77}, {"/P", std::nullopt}, {"/P xyz", std::nullopt},
        {"/P 2.5", 2}, {"/P 3.5", 4}, {"/A 99999999999", std::nullopt},
    };
    for (const auto& [text, handle] : handles)
        EXPECT_EQ(CommandLine(QString::fromLatin1(text)).WindowHandle(), handle) << text;
}

TEST(AlbumPath, EachFormBecomesTheSwitchThatPlaysIt)
{
    QTemporaryDir root;
    const QString r = root.path();
    QByteArray container("TWKALBUM\0\0\0\0\0\0\0\0", 16);
    qToLittleEndian<quint32>(4096, container.data() + 8);
    const std::pair<const char*, QByteArray> files[] = {
        {"/plain/album.ini", "[Album]\r\nTitle=A\r\n"}, {"/named/holiday.ini", "[Album]\r\nTitle=B\r\n"},
        {"/packed/MainpicFileInfo.ini", "[Album]\r\n"}, {"/packed/album.pak", container + QByteArray(64, 'x')},
        {"/packed/notes.txt", "not a container"},      {"/raw/MainpicFileInfo.ini", "[Album]\r\n"},
        {"/raw/pictures.pak", "no header at all"},     {"/empty/readme.txt", ""},
        {"/other/settings.ini", "[Stop]\r\nStopTime=5\r\n"}, {"/twopacks/MainpicFileInfo.ini", "[Album]\r\n"},
        {"/twopacks/a.pak", ""}, {"/twopacks/b.pak", ""},
    };
    for (const auto& [path, bytes] : files)
        put(r + path, bytes);
    const QString packed = "*S*OFFSET=4096*FILE=" + r + "/packed/album.pak";
    const struct {
        QString path, commandLine, programFolder; // empty command line: refused
    } cases[] = {
        {"/plain", "/1*" + r + "/plain/album.ini", ""},
        {"/plain/", "/1*" + r + "/plain/album.ini", ""},
        {"/plain/album.ini", "/1*" + r + "/plain/album.ini", ""},
        {"/named", "/1*" + r + "/named/holiday.ini", ""},
        {"/named/holiday.ini", "/1*" + r + "/named/holiday.ini", ""},
        {"/packed", packed, r + "/packed"},
        {"/packed/album.pak", packed, r + "/packed"},
        {"/packed/MainpicFileInfo.ini", packed, r + "/packed"},
        {"/raw/pictures.pak", "*S*OFFSET=0*FILE=" + r + "/raw/pictures.pak", r + "/raw"},
        {"/empty", "", ""}, {"/empty/readme.txt", "", ""}, {"/other/settings.ini", "", ""}, {"/twopacks", "", ""},
    };
    for (const auto& c : cases) {
        const QString path = r + c.path;
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(IsAlbumPath({path}));
        QString error;
        const auto start = StartForAlbumPath(path, error);
        EXPECT_EQ(start ? start->commandLine.toStdString() : "", c.commandLine.toStdString()) << error.toStdString();
        EXPECT_EQ(start ? start->programFolder.toStdString() : "", c.programFolder.toStdString());
        EXPECT_TRUE(start || error.startsWith('"' + path + '"')) << error.toStdString();
    }
}

TEST(AlbumPath, SwitchesStaySwitchesAndOnlyForeignOptionsAreUnknown)
{
    const struct {
        QStringList words;
        bool path, missing;
        const char* unknown;
    } cases[] = {
        {{"/1*/tmp/album.ini"}, false, false, ""}, {{"/C"}, false, false, ""},
        {{"/p", "1234*OFFSET=1*FILE=x"}, false, false, ""}, {{"/tmp"}, true, false, ""},
        {{"/tmp/no-such-album-here"}, false, true, ""}, {{"no-such-word"}, false, false, ""},
        {{"--exprot", "x"}, false, false, "--exprot"}, {{"--help"}, false, false, ""},
        {{"/1*a", "--Version"}, false, false, "--Version"}, {{"-x"}, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        EXPECT_EQ(IsAlbumPath(c.words), c.path);
        EXPECT_EQ(IsMissingPath(c.words), c.missing);
        EXPECT_EQ(UnknownOption(c.words).value_or("").toStdString(), c.unknown);
    }
}

struct RecordingPlatform : SaverPlatform {
    QRect desktop{0, 0, 2560, 1024};
    std::optional<bool> password;
    QStringList calls;

    QRect desktopRect() override { return desktop; }
    QRect hostRect(std::int32_t) override { return {0, 0, 152, 112}; }
    void coverDesktop(const QRect& r) override { calls << QString("cover %1x%2").arg(r.width()).arg(r.height()); }
    void embedInto(std::int32_t host, const QRect& r) override
    {
        calls << QString("embed %1 %2,%3 %4x%5").arg(host).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    void showCursor(bool show) override { calls << (show ? "cursor+" : "cursor-"); }
    void inhibitDesktopSaver(bool on) override { calls << (on ? "inhibit" : "uninhibit"); }
    std::optional<bool> verifyPassword() override { return calls << "password?", password; }
};

TEST(ScreenSaverControl, StartsAndStopsInOrderAndKeepsRunningWhenItMust)
{
    const struct {
        const char* name;
        std::optional<bool> password;
        bool desktopChanged, ended;
        QStringList stopCalls;
    } cases[] = {
        {"no password check", std::nullopt, false, true, {"cursor+", "password?", "cursor+", "uninhibit"}},
        {"password accepted", true, false, true, {"cursor+", "password?", "cursor+", "uninhibit"}},
        {"password refused", false, false, false, {"cursor+", "password?", "cursor-"}},
        {"desktop width changed", std::nullopt, true, false, {"cover 1280x1024"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPlatform platform;
        platform.password = c.password;
        ScreenSaverControl control(platform);
        control.StartScreenSaver(std::nullopt);
        EXPECT_EQ(platform.calls, QStringList({"cover 2560x1024", "cursor-", "inhibit"}));
        EXPECT_EQ(control.gSaverRect, platform.desktop);
        platform.calls.clear();
        if (c.desktopChanged)
            platform.desktop = QRect(0, 0, 1280, 1024);
        EXPECT_EQ(control.StopScreenSaver(), c.ended);
        EXPECT_EQ(platform.calls, c.stopCalls);
        // After a change of the desktop the next stop ends the run.
        EXPECT_TRUE(!c.desktopChanged || control.StopScreenSaver());
    }
    // The preview goes into its window at the window's size, at 0,0.
    RecordingPlatform platform;
    ScreenSaverControl(platform).StartScreenSaver(4711);
    EXPECT_EQ(platform.calls, QStringList{"embed 4711 0,0 152x112"});
}

class Recorder : public StartupActions {
public:
    bool running = false;
    QStringList calls;

    bool PreviousInstance() override { return calls << "prev?", running; }
    void LoadPlayer() override { calls << "load"; }
    void ShowPlayer() override { calls << "show"; }
    void StopSlideshow() override { calls << "stop-slideshow"; }
    void ShowExport(const QString& avi) override { calls << "export " + avi; }
    void PrepareSaverWindow() override { calls << "prepare"; }
    void StartScreenSaver(std::optional<std::int32_t> w) override { calls << QString("saver %1").arg(w.value_or(-1)); }
    void LoadPreviewBackground() override { calls << "background"; }
    void DoEvents() override { calls << "events"; }
    void ShowParameterDialog() override { calls << "parameters"; }
    void UnloadAll() override { calls << "unload"; }
    void ChangePassword(std::optional<std::int32_t> w) override { calls << QString("password %1").arg(w.value_or(-1)); }
};

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSession();
        SetProgramFolder(program.path());
    }
    void TearDown() override { ResetSession(); }
    QTemporaryDir program;
};

TEST_F(Startup, EachSwitchOpensItsWindowsInOrder)
{
    const struct {
        const char* line;
        bool running;
        std::int32_t mode;
        bool keepsRunning;
        QStringList calls;
    } cases[] = {
        {"/1*x.ini", false, ModeAlbumFolder, true, {"prev?", "show"}},
        {"/1*x.ini", true, ModeNone, false, {"prev?"}},
        {"/2*x.ini*out.avi", true, ModeExport, true, {"load", "stop-slideshow", "export out.avi"}},
        {"*S*O=0*F=c.pak", false, ModePackedAlbum, true, {"prev?", "show"}},
        {"*S*O=0*F=c.pak", true, ModeNone, false, {"prev?"}},
        {"/S*O=0*F=c.pak", false, ModeSaver, true, {"prev?", "show", "prepare", "saver -1"}},
        {"/S*O=0*F=c.pak", true, ModeNone, false, {"prev?"}},
        {"/P 1234*O=0*F=c.pak", true, ModeSaverPreview, true, {"load", "saver 1234", "background", "events", "show"}},
        {"/P x*O=0*F=c.pak", false, ModeSaverPreview, true, {"load", "background", "events", "show"}},
        {"/a 77", true, ModeSaverPassword, false, {"password 77"}},
        {"/c:4711", true, ModeSaverSettings, false, {"parameters", "unload"}},
        {"", false, ModeNone, false, {}},
        {"--version", false, ModeNone, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ResetSession();
        Recorder r;
        r.running = c.running;
        EXPECT_EQ(RunStartup(QString::fromLatin1(c.line), r), c.keepsRunning);
        EXPECT_EQ(StartMode, c.mode);
        EXPECT_EQ(r.calls, c.calls);
        EXPECT_TRUE(gAlbum);
    }
}

TEST_F(Startup, AlbumFolderComesFromTheUpperCasedInformationFile)
{
    const QString file = program.path() + "/Sea Side/Album.ini";
    put(file, "[Album]\r\nTitle=Summer by the sea\r\nCategories=0\r\n");
    Recorder r;
    ASSERT_TRUE(RunStartup("/1*" + file, r));
    EXPECT_EQ(gAlbum->Title(), "Summer by the sea");
    EXPECT_EQ(gAlbum->Path(), (program.path() + "/Sea Side/").toUpper());
}

TEST_F(Startup, PackedSetUpWritesTheIndexAndNamesTheContainer)
{
    put(program.path() + "/MainpicFileInfo.ini",
        "[Album]\r\nTitle=Packed\r\nCategories=0\r\n[PicResultFile]\r\n"
        "p001.jpg=0,1500\r\n[PicThumbnailFile]\r\np001_t.jpg=1500,20\r\n[Splitter]\r\n");
    // With one piece there is no offset; "*S" alone is two pieces, the first empty, so it does not convert.
    const std::tuple<const char*, std::int32_t, const char*> cases[] = {
        {"*S*offset=4096*file=/tmp/Album.pak", 4096, "/TMP/ALBUM.PAK"}, {"/S", 0, "/S"}, {"*S", 0, "S"},
    };
    for (const auto& [line, offset, container] : cases) {
        SCOPED_TRACE(line);
        ResetSession();
        Recorder r;
        RunStartup(line, r);
        EXPECT_EQ(gAlbum->Title(), "Packed");
        EXPECT_EQ(gAlbum->Path(), program.path() + "/");
        EXPECT_EQ(gPackOffset, offset);
        ASSERT_TRUE(gPackReader);
        EXPECT_EQ(gPackReader->FileName(), container);
    }
    QFile index(program.path() + "/MainFile.ini");
    EXPECT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(index.readAll().toStdString(),
              "[PicResultFile]\r\np001.jpg=0,1500\r\n[PicThumbnailFile]\r\np001_t.jpg=1500,20\r\n");
}

} // namespace
} // namespace tarnwick

// The command line, album paths, the saver's start and stop and the start-up routine, on recording stand-ins.

#include "albumpath.h"
#include "commandline.h"
#include "programfolder.h"
#include "screensaver.h"
#include "session.h"
#include "startup.h"
#include "startupactions.h"
#include "testfiles.h"

#include <QtCore>

#include <tuple>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using testing::writeBytes;

TEST(CommandLine, ValuePartsFoldersAndHandles)
{
    // Only the text after the last "=" counts; negative indices count from the end.
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
        ASSERT_TRUE(writeBytes(r + path, bytes));
    const QString plain = "/1*" + r + "/plain/album.ini", named = "/1*" + r + "/named/holiday.ini";
    const QString packed = "*S*OFFSET=4096*FILE=" + r + "/packed/album.pak";
    // An empty command line: refused.
    const struct { QString path, commandLine, programFolder; } cases[] = {
        {"/plain", plain, ""}, {"/plain/", plain, ""}, {"/plain/album.ini", plain, ""},
        {"/named", named, ""}, {"/named/holiday.ini", named, ""},
        {"/packed", packed, r + "/packed"}, {"/packed/album.pak", packed, r + "/packed"},
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
    for (const QString& word : {plain, QString("/C"), r + "/missing"})
        EXPECT_FALSE(IsAlbumPath({word})) << word.toStdString();
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
    struct Case { const char* name; std::optional<bool> password; bool resized, ended; QStringList stopCalls; };
    const Case cases[] = {
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
        platform.calls.clear();
        if (c.resized)
            platform.desktop = QRect(0, 0, 1280, 1024);
        EXPECT_EQ(control.StopScreenSaver(), c.ended);
        EXPECT_EQ(platform.calls, c.stopCalls);
        // After a change of the desktop the next stop ends the run.
        EXPECT_TRUE(!c.resized || control.StopScreenSaver());
    }
    // The preview goes into its window at the window's size, at 0,0.
    RecordingPlatform platform;
    ScreenSaverControl(platform).StartScreenSaver(4711);
    EXPECT_EQ(platform.calls, QStringList{"embed 4711 0,0 152x112"});
}

struct Recorder : StartupActions {
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
    // `running`: another instance is running.
    struct Case { const char* line; bool running; std::int32_t mode; bool keepsRunning; QStringList calls; };
    const Case cases[] = {
        {"/1*x.ini", false, ModeAlbumFolder, true, {"prev?", "show"}},
        {"/1*x.ini", true, ModeNone, false, {"prev?"}},
        {"/2*x.ini*out.avi", true, ModeExport, true, {"load", "stop-slideshow", "export out.avi"}},
        {"*S*O=0*F=c.pak", false, ModePackedAlbum, true, {"prev?", "show"}},
        {"/S*O=0*F=c.pak", false, ModeSaver, true, {"prev?", "show", "prepare", "saver -1"}},
        {"/S*O=0*F=c.pak", true, ModeNone, false, {"prev?"}},
        {"/P 1234*O=0*F=c.pak", true, ModeSaverPreview, true, {"load", "saver 1234", "background", "events", "show"}},
        {"/P x*O=0*F=c.pak", false, ModeSaverPreview, true, {"load", "background", "events", "show"}},
        {"/a 77", true, ModeSaverPassword, false, {"password 77"}},
        {"/c:4711", true, ModeSaverSettings, false, {"parameters", "unload"}},
        {"", false, ModeNone, false, {}},
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

TEST_F(Startup, AlbumsLoadFromTheirInformationFileOrThePackedIndex)
{
    const QString file = program.path() + "/Sea Side/Album.ini", folder = program.path() + "/";
    ASSERT_TRUE(writeBytes(file, "[Album]\r\nTitle=Summer by the sea\r\nCategories=0\r\n"));
    ASSERT_TRUE(writeBytes(folder + "MainpicFileInfo.ini", "[Album]\r\nTitle=Packed\r\nCategories=0\r\n"
        "[PicResultFile]\r\np001.jpg=0,1500\r\n[PicThumbnailFile]\r\np001_t.jpg=1500,20\r\n[Splitter]\r\n"));
    // With one piece there is no offset; "*S" alone is two pieces, the first empty, so it does not convert.
    // Container "": none.
    const struct { QString line, title, path; std::int32_t offset; QString container; } cases[] = {
        {"/1*" + file, "Summer by the sea", (program.path() + "/Sea Side/").toUpper(), 0, ""},
        {"*S*offset=4096*file=/tmp/Album.pak", "Packed", folder, 4096, "/TMP/ALBUM.PAK"},
        {"/S", "Packed", folder, 0, "/S"}, {"*S", "Packed", folder, 0, "S"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        ResetSession();
        Recorder r;
        EXPECT_TRUE(RunStartup(c.line, r));
        EXPECT_EQ(gAlbum->Title(), c.title);
        EXPECT_EQ(gAlbum->Path(), c.path);
        EXPECT_EQ(gPackOffset, c.offset);
        EXPECT_EQ(gPackReader ? gPackReader->FileName() : "", c.container);
    }
    EXPECT_EQ(testing::readBytes(folder + "MainFile.ini").toStdString(),
              "[PicResultFile]\r\np001.jpg=0,1500\r\n[PicThumbnailFile]\r\np001_t.jpg=1500,20\r\n");
}

} // namespace
} // namespace tarnwick

// The start-up routine's branches: which windows each switch opens, in what
// order, what it records, and the packed album's set-up.

// ours
#include "inifile.h"
#include "programfolder.h"
#include "session.h"
#include "startup.h"
#include "startupactions.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// std
#include <tuple>

namespace tarnwick {
namespace {

// Records the routine's calls as short words.
class Recorder : public StartupActions {
public:
    bool running = false;
    QStringList calls;

    bool PreviousInstance() override { calls << "prev?"; return running; }
    void LoadPlayer() override { calls << "load"; }
    void ShowPlayer() override { calls << "show"; }
    void StopSlideshow() override { calls << "stop-slideshow"; }
    void ShowExport(const QString& avi) override { calls << "export " + avi; }
    void PrepareSaverWindow() override { calls << "prepare"; }
    void StartScreenSaver(std::optional<std::int32_t> w) override
    {
        calls << (w ? QStringLiteral("saver %1").arg(*w) : QStringLiteral("saver"));
    }
    void LoadPreviewBackground() override { calls << "background"; }
    void DoEvents() override { calls << "events"; }
    void ShowParameterDialog() override { calls << "parameters"; }
    void UnloadAll() override { calls << "unload"; }
    void ChangePassword(std::optional<std::int32_t> w) override { calls << QStringLiteral("password %1").arg(w.value_or(-1)); }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

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
    struct Case {
        const char* line;
        bool running;
        std::int32_t mode;
        bool keepsRunning;
        QStringList calls;
    };
    const Case cases[] = {
        {"/1*x.ini", false, ModeAlbumFolder, true, {"prev?", "show"}},
        {"/1*x.ini", true, ModeNone, false, {"prev?"}},
        {"/2*x.ini*out.avi", true, ModeExport, true, {"load", "stop-slideshow", "export out.avi"}},
        {"*S*O=0*F=c.pak", false, ModePackedAlbum, true, {"prev?", "show"}},
        {"*S*O=0*F=c.pak", true, ModeNone, false, {"prev?"}},
        {"/S*O=0*F=c.pak", false, ModeSaver, true, {"prev?", "show", "prepare", "saver"}},
        {"/S*O=0*F=c.pak", true, ModeNone, false, {"prev?"}},
        {"/P 1234*O=0*F=c.pak", true, ModeSaverPreview, true, {"load", "saver 1234", "background", "events", "show"}},
        {"/P x*O=0*F=c.pak", false, ModeSaverPreview, true, {"load", "background", "events", "show"}},
        {"/a 77", true, ModeSaverPassword, false, {"password 77"}},
        {"/c:4711", true, ModeSaverSettings, false, {"parameters", "unload"}},
        {"", false, ModeNone, false, {}},
        {"--version", false, ModeNone, false, {}},
    };
    for (const auto& c : cases) {
        ResetSession();
        Recorder r;
        r.running = c.running;
        EXPECT_EQ(RunStartup(QString::fromLatin1(c.line), r), c.keepsRunning) << c.line;
        EXPECT_EQ(StartMode, c.mode) << c.line;
        EXPECT_EQ(r.calls, c.calls) << c.line;
        EXPECT_TRUE(gAlbum) << c.line;
    }
}

TEST_F(Startup, AlbumFolderComesFromTheUpperCasedInformationFile)
{
    QDir(program.path()).mkpath("Sea Side");
    const QString file = program.path() + "/Sea Side/Album.ini";
    writeFile(file, "[Album]\r\nTitle=Summer by the sea\r\nCategories=0\r\n");
    Recorder r;
    ASSERT_TRUE(RunStartup("/1*" + file, r));
    EXPECT_EQ(gAlbum->Title(), QStringLiteral("Summer by the sea"));
    EXPECT_EQ(gAlbum->Path(), (program.path() + "/Sea Side/").toUpper());
}

TEST_F(Startup, PackedSetUpWritesTheIndexAndNamesTheContainer)
{
    writeFile(program.path() + "/MainpicFileInfo.ini",
              "[Album]\r\nTitle=Packed\r\nCategories=0\r\n"
              "[PicResultFile]\r\np001.jpg=0,1500\r\n"
              "[PicThumbnailFile]\r\np001_t.jpg=1500,20\r\n[Splitter]\r\n");
    // With one piece there is no offset; "*S" alone is two pieces, the
    // first empty, so the offset does not convert.
    const std::tuple<const char*, std::int32_t, const char*> cases[] = {
        {"*S*offset=4096*file=/tmp/Album.pak", 4096, "/TMP/ALBUM.PAK"}, {"/S", 0, "/S"}, {"*S", 0, "S"},
    };
    for (const auto& [line, offset, container] : cases) {
        SCOPED_TRACE(line);
        ResetSession();
        Recorder r;
        RunStartup(line, r);
        EXPECT_EQ(gAlbum->Title(), QStringLiteral("Packed"));
        EXPECT_EQ(gAlbum->Path(), program.path() + "/");
        EXPECT_EQ(gPackOffset, offset);
        ASSERT_TRUE(gPackReader);
        EXPECT_EQ(gPackReader->FileName(), QString::fromLatin1(container));
    }
    const QString index = program.path() + "/MainFile.ini";
    IniFile ini;
    EXPECT_EQ(ini.ReadValue("PicResultFile", "p001.jpg", "", index), QStringLiteral("0,1500"));
    EXPECT_EQ(ini.ReadValue("PicThumbnailFile", "p001_t.jpg", "", index), QStringLiteral("1500,20"));
    EXPECT_EQ(ini.ReadValue("Album", "Title", "none", index), QStringLiteral("none"));
}

} // namespace
} // namespace tarnwick

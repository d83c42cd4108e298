// The player settings store: where its file lies, a first run in a fresh
// folder, and the whole-section reader's own grammar (single values go
// through the INI file, tested on its own).

// ours
#include "albumtestfiles.h"
#include "playersettings.h"
#include "programfolder.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

class PlayerSettings : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(folder.path()); }
    void write(const QByteArray& text) { ASSERT_TRUE(testing::writeBytes(PlayerSettingsFile(), text)); }
    QByteArray read() { return testing::readBytes(PlayerSettingsFile()); }
    QTemporaryDir folder;
};

TEST_F(PlayerSettings, MissingFileReadsDefaultsAndAWriteCreatesIt)
{
    EXPECT_EQ(ReadPlayerSetting("Effect", "StopTime", "5"), QStringLiteral("5"));
    QString name = "Effect";
    EXPECT_TRUE(ReadPlayerSection(name).isEmpty());

    WritePlayerSetting("Current", "MusicOpen", "0");
    EXPECT_EQ(ReadPlayerSetting("current", "musicopen", "1"), QStringLiteral("0"));
    EXPECT_EQ(read(), QByteArray("[Current]\r\nMusicOpen=0\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"playerprofile.ini"});
}

TEST_F(PlayerSettings, SectionReaderFollowsItsOwnGrammar)
{
    // The first occurrence wins; a key needs something but blanks after "=", and its value stops at the
    // next "="; key and value stay untrimmed; a line beginning with "[" ends the section.
    write("[Effect]\r\nStopTime=5\r\n[FRMABOUT]\r\nLeft=10\r\nEmpty=\r\nBlank=   \r\nNoEquals\r\nPair=B=C\r\n"
          " Spaced = 7 \r\nLeft=20\r\n[not a header\r\nAfter=1\r\n");
    QString name = "  frmAbout ";
    EXPECT_EQ(ReadPlayerSection(name), (SettingsSection{{"Left", "10"}, {"Pair", "B"}, {" Spaced ", " 7 "}}));
    EXPECT_EQ(name, QStringLiteral("frmAbout"));

    // Window settings clear the flag whatever the file holds.
    bool flag = true;
    LoadWindowSettings("frmAbout", flag);
    EXPECT_FALSE(flag);
}

} // namespace
} // namespace tarnwick

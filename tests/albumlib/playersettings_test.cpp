// The player settings store: single values through the INI file, the
// whole-section reader's own grammar, and a first run in a fresh folder.

// ours
#include "playersettings.h"
#include "programfolder.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// std
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

class PlayerSettings : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(folder.path()); }
    void write(const QByteArray& text)
    {
        QFile f(PlayerSettingsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray read()
    {
        QFile f(PlayerSettingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
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

TEST_F(PlayerSettings, AWriteChangesOneValueAndKeepsEveryOtherLine)
{
    write("; shipped defaults\r\n[Effect]\r\nEffectNumber=2\r\nEffect_1=Blend\r\n\r\n[Stop]\r\nStopTime=5\r\n");
    WritePlayerSetting("Effect", "EffectNumber", "3");
    WritePlayerSetting("Stop", "Other", "x");
    EXPECT_EQ(read(), QByteArray("; shipped defaults\r\n[Effect]\r\nEffectNumber=3\r\nEffect_1=Blend\r\n\r\n"
                                 "[Stop]\r\nStopTime=5\r\nOther=x\r\n"));
}

TEST_F(PlayerSettings, SectionReaderFollowsItsOwnGrammar)
{
    write("[Effect]\r\nStopTime=5\r\n"
          "[FRMABOUT]\r\n"
          "Left=10\r\n"
          "Empty=\r\n"
          "Blank=   \r\n"
          "NoEquals\r\n"
          "Pair=B=C\r\n"
          " Spaced = 7 \r\n"
          "Left=20\r\n"
          "[not a header\r\n"
          "After=1\r\n");
    struct Case {
        const char* key;
        const char* value; // null: not in the section
    };
    const Case cases[] = {
        {"Left", "10"},       // the first occurrence wins
        {"Empty", nullptr},   // nothing after "="
        {"Blank", nullptr},   // only blanks after "="
        {"NoEquals", nullptr},
        {"Pair", "B"},        // the value stops at the next "="
        {" Spaced ", " 7 "},  // key and value kept untrimmed
        {"After", nullptr},   // a line beginning with "[" ends the section
        {"StopTime", nullptr},
    };
    QString name = "  frmAbout ";
    const SettingsSection entries = ReadPlayerSection(name);
    EXPECT_EQ(name, QStringLiteral("frmAbout"));
    for (const auto& c : cases) {
        if (c.value)
            EXPECT_EQ(entries.value(c.key), QString::fromLatin1(c.value)) << c.key;
        else
            EXPECT_FALSE(entries.contains(c.key)) << c.key;
    }
    EXPECT_EQ(entries.size(), 3);
}

TEST_F(PlayerSettings, WindowSettingsClearTheFlagWhateverTheFileHolds)
{
    bool flag = true;
    LoadWindowSettings("frmMain", flag);
    EXPECT_FALSE(flag);
}

} // namespace
} // namespace tarnwick

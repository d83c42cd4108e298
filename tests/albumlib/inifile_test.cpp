// ours
#include "albumtestfiles.h"
#include "inifile.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <optional>

namespace tarnwick {
namespace {

using testing::entriesOf;
using testing::readBytes;
using testing::writeBytes;

const QByteArray kSettings = "; shipped settings\r\n"
                             "[Effect]\r\n"
                             "EffectNumber = 5 \r\n"
                             "Effect_1=Blend\r\n"
                             "EFFECT_1=Second\r\n"
                             ";Commented=yes\r\n"
                             "Key=B=C\r\n"
                             "Empty=\r\n"
                             "Blank=   \r\n"
                             "no entry here\r\n"
                             "[effect]\r\n"
                             "Late=1\r\n"
                             "Effect_1=Third\r\n"
                             "[Other]\r\n"
                             "Name=other\r\n"
                             "[Broken\r\n"
                             "Hidden=x\r\n";

TEST(IniFileRead, FindsValuesByTheGrammar)
{
    struct Case {
        const char* name;
        QByteArray content; // empty: no file
        const char* section;
        const char* key;
        const char* expected; // with default "def"
    };
    const Case cases[] = {
        {"trimmed value", kSettings, "Effect", "EffectNumber", "5"},
        {"header and key ignore case", kSettings, "EFFECT", "effectnumber", "5"},
        {"section name trimmed", kSettings, " Effect ", "EffectNumber", "5"},
        {"first entry wins", kSettings, "Effect", "Effect_1", "Blend"},
        {"value keeps later equals signs", kSettings, "Effect", "Key", "B=C"},
        {"key with nothing after =", kSettings, "Effect", "Empty", ""},
        {"key with blanks after =", kSettings, "Effect", "Blank", ""},
        {"comment is no entry", kSettings, "Effect", "Commented", "def"},
        {"repeated header continues", kSettings, "Effect", "Late", "1"},
        {"other section", kSettings, "Other", "Name", "other"},
        {"broken header ends section", kSettings, "Other", "Hidden", "def"},
        {"missing key", kSettings, "Effect", "Nothing", "def"},
        {"missing section", kSettings, "Nothing", "Name", "def"},
        {"missing file", QByteArray(), "Effect", "EffectNumber", "def"},
        {"LF line ends", "[A]\nx=1\ny=2\n", "A", "y", "2"},
        {"no final line end", "[A]\r\nx=1", "a", "X", "1"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "1"},
        {"UTF-8 text", "[A]\r\nname=Caf\xC3\xA9\r\n", "A", "name", "Caf\xC3\xA9"},
        {"Latin-1 text", "[A]\r\nname=Caf\xE9\r\n", "A", "name", "Caf\xC3\xA9"},
        {"entry before any header", "x=1\r\n[A]\r\n", "A", "x", "def"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        if (!c.content.isEmpty()) {
            ASSERT_TRUE(writeBytes(dir.path() + "/Settings.ini", c.content));
        }
        // The player names its files Windows-style.
        const QString file = dir.path() + "\\SETTINGS.INI";
        EXPECT_EQ(IniFile().ReadValue(c.section, c.key, "def", file).toStdString(),
                  std::string(c.expected));
    }
}

TEST(IniFileWrite, EditsOnlyTheEntryItWrites)
{
    const QByteArray before = "; top\r\n"
                              "[Effect]\r\n"
                              "A=1\r\n"
                              "B = 2\r\n"
                              "odd line\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "C=3\r\n";
    struct Case {
        const char* name;
        std::optional<QByteArray> content; // nullopt: no file yet
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    };
    const Case cases[] = {
        {"value replaced in place", before, "effect", "b", "7",
         "; top\r\n[Effect]\r\nA=1\r\nB =7\r\nodd line\r\n\r\n[Other]\r\nC=3\r\n"},
        {"new key after the section's last line", before, "EFFECT", "D", "4",
         "; top\r\n[Effect]\r\nA=1\r\nB = 2\r\nodd line\r\nD=4\r\n\r\n[Other]\r\nC=3\r\n"},
        {"new section at the end", before, "New", "K", "V",
         "; top\r\n[Effect]\r\nA=1\r\nB = 2\r\nodd line\r\n\r\n[Other]\r\nC=3\r\n[New]\r\nK=V\r\n"},
        {"empty value", before, "Other", "C", "",
         "; top\r\n[Effect]\r\nA=1\r\nB = 2\r\nodd line\r\n\r\n[Other]\r\nC=\r\n"},
        {"LF file comes back CR LF", QByteArray("[A]\nx=1\n"), "A", "x", "2", "[A]\r\nx=2\r\n"},
        {"no final line end", QByteArray("[A]\r\nx=1"), "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"empty section gets its first key", QByteArray("[A]\r\n[B]\r\n"), "A", "k", "v",
         "[A]\r\nk=v\r\n[B]\r\n"},
        {"file created", std::nullopt, "Current", "MusicOpen", "0", "[Current]\r\nMusicOpen=0\r\n"},
        {"empty file", QByteArray(), "S", "K", "V", "[S]\r\nK=V\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString file = dir.path() + "/playerprofile.ini";
        if (c.content) {
            ASSERT_TRUE(writeBytes(file, *c.content));
        }
        ASSERT_TRUE(IniFile().WriteValue(c.section, c.key, c.value, file));
        EXPECT_EQ(readBytes(file).toStdString(), c.after.toStdString());
        EXPECT_EQ(entriesOf(dir.path()), QStringList{"playerprofile.ini"});
        EXPECT_EQ(IniFile().ReadValue(c.section, c.key, "def", file), QString(c.value));
    }
}

TEST(IniFileWrite, RefusesWhatCannotBeWrittenAndLeavesTheFile)
{
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        const char* file; // below the test folder
    };
    const Case cases[] = {
        {"line break in value", "A", "k", "one\r\ntwo", "/p.ini"},
        {"equals sign in key", "A", "k=x", "v", "/p.ini"},
        {"empty key", "A", " ", "v", "/p.ini"},
        {"bracket in section", "A]", "k", "v", "/p.ini"},
        {"missing folder", "A", "k", "v", "/missing/p.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QByteArray before = "[A]\r\nk=old\r\n";
        ASSERT_TRUE(writeBytes(dir.path() + "/p.ini", before));
        EXPECT_FALSE(IniFile().WriteValue(c.section, c.key, c.value, dir.path() + c.file));
        EXPECT_EQ(readBytes(dir.path() + "/p.ini"), before);
        EXPECT_EQ(entriesOf(dir.path()), QStringList{"p.ini"});
    }
}

TEST(IniFileFiles, TellsFilesFromFoldersAndReadsAndWritesText)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(writeBytes(base + "/Album/ResultPicture/p001.jpg", "jpeg"));

    struct Case {
        const char* path; // below the test folder
        bool file;
        bool folder;
    };
    const Case cases[] = {
        {"/Album/ResultPicture/p001.jpg", true, false},
        {"\\ALBUM\\RESULTPICTURE\\P001.JPG", true, false},
        {"\\ALBUM\\RESULTPICTURE\\", false, true},
        {"/Album/ResultPicture", false, true},
        {"\\ALBUM\\MAINALBUM\\", false, false},
        {"\\ALBUM\\RESULTPICTURE\\P002.JPG", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IniFile().FileExists(base + c.path), c.file);
        EXPECT_EQ(IniFile().FolderExists(base + c.path), c.folder);
    }
    EXPECT_FALSE(IniFile().FileExists(""));
    EXPECT_FALSE(IniFile().FolderExists(""));

    const QString text = base + "\\ALBUM\\MainFile.ini";
    EXPECT_EQ(IniFile().ReadTextFile(text), "");
    EXPECT_EQ(IniFile().ReadTextFile(base + "/Album"), "");
    ASSERT_TRUE(IniFile().WriteTextFile("[A]\r\n", text, false));
    ASSERT_TRUE(IniFile().WriteTextFile("x=1\r\n", text, true));
    EXPECT_EQ(readBytes(base + "/Album/MainFile.ini"), "[A]\r\nx=1\r\n");
    ASSERT_TRUE(IniFile().WriteTextFile("whole\n", text, false));
    EXPECT_EQ(IniFile().ReadTextFile(text), "whole\n");
    EXPECT_FALSE(IniFile().WriteTextFile("x", base + "/missing/file.txt", false));
    EXPECT_FALSE(IniFile().WriteTextFile("x", base + "/missing/file.txt", true));
    EXPECT_EQ(entriesOf(base + "/Album"), (QStringList{"MainFile.ini", "ResultPicture"}));
}

} // namespace
} // namespace tarnwick

// Reading and writing INI entries and whole text files, by the paths the
// player writes.

// ours
#include "albumtestfiles.h"
#include "inifile.h"

// Qt
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <chrono>
#include <tuple>

namespace tarnwick {
namespace {

using testing::entriesOf;
using testing::readBytes;
using testing::writeBytes;

TEST(IniFile, ReadFindsValuesByTheGrammar)
{
    const QByteArray settings = "; top\r\n[Effect]\r\nNumber = 5 \r\nE_1=Blend\r\nE_1=Second\r\n;Commented=yes\r\n"
                                "Key=B=C\r\nBlank=   \r\nno entry here\r\n[effect]\r\nLate=1\r\ne_1=Third\r\n"
                                "[Other]\r\nName=other\r\n[Broken\r\nHidden=x\r\n";
    const std::tuple<QByteArray, const char*, const char*, const char*> cases[] = {
        // content (empty: no file), section, key, value with default "def"
        {settings, " EFFECT ", "number", "5"}, {settings, "Effect", "Key", "B=C"},
        {settings, "Effect", "e_1", "Blend"}, // the first entry wins, also over a repeated header
        {settings, "Effect", "Commented", "def"}, {settings, "Effect", "Late", "1"},
        {settings, "Other", "Hidden", "def"},     {settings, "Effect", "Nothing", "def"},
        {settings, "Nothing", "Name", "def"},     {QByteArray(), "Effect", "Number", "def"},
        {"[A]\nx=1\ny=2", "A", "y", "2"},           {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "1"},
        {"[A]\r\nname=Caf\xC3\xA9\r\n", "A", "name", "Caf\xC3\xA9"},
        {"[A]\r\nname=Caf\xE9\r\n", "A", "name", "Caf\xC3\xA9"}, // Latin-1 when not UTF-8
        {"x=1\r\n[A]\r\n", "A", "x", "def"},
    };
    for (const auto& [content, section, key, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << section << ' ' << key);
        QTemporaryDir dir;
        if (!content.isEmpty()) {
            ASSERT_TRUE(writeBytes(dir.path() + "/Settings.ini", content));
        }
        // The player names its files Windows-style.
        EXPECT_EQ(IniFile().ReadValue(section, key, "def", dir.path() + "\\SETTINGS.INI"), QString::fromUtf8(expected));
    }
}

TEST(IniFile, WriteEditsOnlyTheEntryItWritesInPlace)
{
    const QByteArray before = "; top\r\n[Effect]\r\nA=1\r\nB = 2\r\nodd line\r\n\r\n[Other]\r\nC=3\r\n";
    const std::tuple<QByteArray, const char*, const char*, const char*, QByteArray> cases[] = {
        // content ("-": no file yet), section, key, value, file after ("": refused, left as it was)
        {before, "effect", "b", "7", "; top\r\n[Effect]\r\nA=1\r\nB =7\r\nodd line\r\n\r\n[Other]\r\nC=3\r\n"},
        {before, "EFFECT", "D", "4", "; top\r\n[Effect]\r\nA=1\r\nB = 2\r\nodd line\r\nD=4\r\n\r\n[Other]\r\nC=3\r\n"},
        {before, "New", "K", "V", before + "[New]\r\nK=V\r\n"},
        {"[A]\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        {"-", "Current", "MusicOpen", "0", "[Current]\r\nMusicOpen=0\r\n"},
        {before, "Other", "C", "one\r\ntwo", ""}, {before, "Other", "C=x", "v", ""},
        {before, "Other", " ", "v", ""},          {before, "Other]", "C", "v", ""},
    };
    for (const auto& [content, section, key, value, after] : cases) {
        SCOPED_TRACE(::testing::Message() << section << ' ' << key);
        QTemporaryDir dir;
        const QString file = dir.path() + "/playerprofile.ini";
        if (content != "-") {
            ASSERT_TRUE(writeBytes(file, content));
        }
        EXPECT_EQ(IniFile().WriteValue(section, key, value, file), !after.isEmpty());
        EXPECT_EQ(readBytes(file).toStdString(), (after.isEmpty() ? content : after).toStdString());
        EXPECT_EQ(entriesOf(dir.path()), QStringList{"playerprofile.ini"});
    }
    EXPECT_FALSE(IniFile().WriteValue("A", "k", "v", "/missing/p.ini"));
}

TEST(IniFile, WriteValuesSetsAGroupInOneReplacement)
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/playerprofile.ini";
    ASSERT_TRUE(writeBytes(file, "[Effect]\r\nPercent_1=50\r\nX=1\r\n"));
    QString why;
    // Refused names are left out and make the result false; the rest are written, in order.
    EXPECT_FALSE(IniFile().WriteValues("effect", {{"percent_1", "30"}, {"", "v"}, {"Percent_2", "70"}}, file, &why));
    EXPECT_TRUE(IniFile().WriteValues("Stop", {{"StopTime", "5"}, {"stoptime", "6"}}, file, &why));
    const QByteArray after = "[Effect]\r\nPercent_1=30\r\nX=1\r\nPercent_2=70\r\n[Stop]\r\nStopTime=6\r\n";
    EXPECT_EQ(readBytes(file), after);
    EXPECT_FALSE(IniFile().WriteValues("Effect", {{"A=B", "1"}, {";c", "2"}}, file, &why));
    EXPECT_TRUE(IniFile().WriteValues("Effect", {}, file, &why));
    EXPECT_EQ(readBytes(file), after);
    EXPECT_EQ(why, "") << "no file trouble so far";
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"playerprofile.ini"});
    EXPECT_FALSE(IniFile().WriteValues("A", {{"k", "v"}}, dir.path() + "/missing/p.ini", &why));
    EXPECT_NE(why, "");
}

TEST(IniFile, RemovesOnlyStaleTemporariesOfItsFile)
{
    const std::tuple<const char*, int, bool> cases[] = {
        // name, age in seconds, removed
        {"playerprofile.ini.a1B2c3", 90, true},   {"playerprofile.ini.Zz9yY8", 3600, true},
        {"playerprofile.ini.a1B2c4", 30, false},  {"playerprofile.ini.a1B2c3x", 90, false},
        {"playerprofile.ini.bak", 90, false},     {"playerprofile.ini.a1B-c3", 90, false},
        {"PLAYERPROFILE.INI.a1B2c3", 90, false},  {"other.ini.a1B2c3", 90, false},
        {"playerprofile.ini", 90, false},
    };
    QTemporaryDir dir;
    for (const auto& [name, age, removed] : cases) {
        QFile file(dir.path() + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(IniFile().RemoveStaleTemporaries(dir.path() + "\\PLAYERPROFILE.INI", std::chrono::minutes(1)), 2);
    for (const auto& [name, age, removed] : cases)
        EXPECT_EQ(QFile::exists(dir.path() + '/' + name), !removed) << name;
}

TEST(IniFile, TellsFilesFromFoldersAndReadsAndWritesText)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(writeBytes(base + "/Album/ResultPicture/p001.jpg", "jpeg"));
    // Paths the player writes, resolved against the real names.
    const QString file = base + "\\ALBUM\\RESULTPICTURE\\P001.JPG";
    const QString folder = base + "\\ALBUM\\RESULTPICTURE\\";
    EXPECT_TRUE(IniFile().FileExists(file) && IniFile().FolderExists(folder));
    EXPECT_FALSE(IniFile().FileExists(folder) || IniFile().FolderExists(file) || IniFile().FileExists(""));

    const QString text = base + "\\ALBUM\\MainFile.ini";
    EXPECT_EQ(IniFile().ReadTextFile(text), "");
    ASSERT_TRUE(IniFile().WriteTextFile("[A]\r\n", text, false));
    ASSERT_TRUE(IniFile().WriteTextFile("x=1\r\n", text, true));
    EXPECT_EQ(readBytes(base + "/Album/MainFile.ini"), "[A]\r\nx=1\r\n");
    ASSERT_TRUE(IniFile().WriteTextFile("whole\n", text, false));
    EXPECT_EQ(IniFile().ReadTextFile(text), "whole\n");
    for (bool append : {false, true})
        EXPECT_FALSE(IniFile().WriteTextFile("x", base + "/missing/file.txt", append));
    EXPECT_EQ(entriesOf(base + "/Album"), (QStringList{"MainFile.ini", "ResultPicture"}));
}

TEST(IniFile, AFileReadsTheSameAfterAWriteWhateverMarksItBeginsWith)
{
    // Found by fuzzing: byte-order marks shed one by one over writes turned
    // a line that was no section header into one, and an older key won.
    const char mark[] = "\xEF\xBB\xBF";
    for (int marks = 0; marks <= 3; ++marks) {
        QTemporaryDir dir;
        const QString path = dir.filePath("s.ini");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < marks; ++i)
            file.write(mark);
        file.write("[s]\nk=old\n");
        file.close();
        IniFile ini;
        const QString before = ini.ReadValue("s", "k", "<none>", path);
        ASSERT_TRUE(ini.WriteValue("s", "k", "new", path));
        EXPECT_EQ(ini.ReadValue("s", "k", "<none>", path), "new") << marks << " marks, read " << before.toStdString();
    }
}

} // namespace
} // namespace tarnwick

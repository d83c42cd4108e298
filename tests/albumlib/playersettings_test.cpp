// The player settings store: where its file lies, a first run in a fresh
// folder, the whole-section reader's own grammar (single values go through
// the INI file, tested on its own), writers killed mid-write and files that
// cannot be written.

// ours
#include "albumtestfiles.h"
#include "playersettings.h"
#include "programfolder.h"

// Qt
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

// POSIX
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

class PlayerSettings : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(folder.path()); }
    void write(const QByteArray& text) { ASSERT_TRUE(testing::writeBytes(PlayerSettingsFile(), text)); }
    QByteArray read() { return testing::readBytes(PlayerSettingsFile()); }
    QTemporaryDir folder;
};

TEST_F(PlayerSettings, AMissingFileIsSeededWithTheBuiltInDefaults)
{
    EXPECT_EQ(ReadPlayerSetting("Effect", "EffectNumber", "0"), QStringLiteral("8"));
    EXPECT_EQ(read(), DefaultPlayerSettingsText().toUtf8());
    EXPECT_TRUE(read().startsWith("[Effect]") && read().contains("Caption_8=")) << read().left(40).toStdString();

    WritePlayerSetting("Current", "MusicOpen", "0");
    EXPECT_EQ(ReadPlayerSetting("current", "musicopen", "1"), QStringLiteral("0"));
    EXPECT_EQ(ReadPlayerSetting("Effect", "Caption_1", ""), QStringLiteral("Blend"));
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

// The effect table the writer below stores: two shares summing to 100.
QByteArray effectTable(int p)
{
    const QString table = QStringLiteral("[Effect]\r\nEffectNumber=2\r\nPercent_1=%1\r\nPercent_2=%2\r\n");
    return table.arg(p).arg(100 - p).toUtf8();
}

TEST_F(PlayerSettings, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewTable)
{
    // The writer is a fork of this process, killed after a random while:
    // cheap enough for hundreds of kills in a second or two.
    write(effectTable(50));
    std::mt19937 random(20240611);
    int kills = 0, torn = 0;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(6);
         kills < 300 && std::chrono::steady_clock::now() < end; ++kills) {
        const int first = int(random() % 101);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int p = first;; p = (p + 37) % 101)
                WritePlayerSettings("Effect", {{"EffectNumber", "2"}, {"Percent_1", QString::number(p)},
                                               {"Percent_2", QString::number(100 - p)}});
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const QByteArray table = read();
        bool whole = false;
        for (int p = 0; p <= 100 && !whole; ++p)
            whole = table == effectTable(p);
        torn += whole ? 0 : 1;
    }
    const QStringList left = testing::entriesOf(folder.path());
    std::printf("%d kills, %d torn tables, %d temporary files left\n", kills, torn, int(left.size()) - 1);
    EXPECT_GE(kills, 100);
    EXPECT_EQ(torn, 0);
    // Kills may leave temporary files; once stale, this process's first use of the file removes them.
    for (const QString& name : left) {
        QFile file(folder.path() + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime::currentDateTime().addSecs(-61), QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(ReadPlayerSetting("Effect", "EffectNumber", ""), "2");
    EXPECT_EQ(testing::entriesOf(folder.path()), QStringList{"playerprofile.ini"});
}

TEST_F(PlayerSettings, AnUnwritableFileIsSaidOnceOnTheErrorOutputAndToTheCaller)
{
    const QByteArray before = "[Stop]\r\nStopTime=5\r\n";
    // Root writes to read-only files and folders anyway; a folder that is gone stops everyone.
    const QString readOnlyFolder = folder.path() + "/folder", readOnlyFile = folder.path() + "/file";
    const QString gone = folder.path() + "/gone";
    for (const QString& where : {readOnlyFolder, readOnlyFile})
        ASSERT_TRUE(testing::writeBytes(where + "/playerprofile.ini", before));
    QFile::setPermissions(readOnlyFolder, QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(readOnlyFile + "/playerprofile.ini", QFile::ReadOwner);
    for (const QString& where : {readOnlyFolder, readOnlyFile, gone}) {
        SCOPED_TRACE(where.toStdString());
        SetProgramFolder(where);
        if (QFile(where + "/playerprofile.ini").open(QIODevice::ReadWrite) &&
            QFile(where + "/probe").open(QIODevice::WriteOnly))
            continue;
        QString trouble;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(WritePlayerSetting("Stop", "StopTime", "7", &trouble));
        EXPECT_FALSE(WritePlayerSettings("Effect", {{"Percent_1", "40"}, {"Percent_2", "60"}}));
        EXPECT_FALSE(WritePlayerSetting("Stop", "StopTime", "8"));
        const QString said = QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_TRUE(trouble.contains('"' + where + "/playerprofile.ini\": ") && !trouble.endsWith(": "))
            << trouble.toStdString();
        EXPECT_EQ(said, "tarnwick-player: " + trouble + '\n');
        // A folder that takes no file reads the built-in defaults.
        EXPECT_EQ(ReadPlayerSetting("Stop", "StopTime", "none"), "5");
        EXPECT_EQ(ReadPlayerSetting("Effect", "Caption_1", "none"), where == gone ? "Blend" : "none");
    }
    QFile::setPermissions(readOnlyFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
} // namespace tarnwick

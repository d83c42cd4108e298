// The registry store's value forms as GetKeyValue converts them, and the
// order in which StartSysInfo looks for a system-information tool.

// ours
#include "desktopactions.h"
#include "programfolder.h"
#include "registrystore.h"
#include "sysinfo.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// std
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

class SysInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(folder.path());
        saved = Desktop();
        Desktop().startProgram = [this](const QString& program) {
            started << program;
            return startSucceeds;
        };
        Desktop().showMessage = [this](QWidget*, const QString& text) { messages << text; };
        Desktop().findExecutable = [this](const QString& name) {
            return onPath.contains(name) ? QStringLiteral("/opt/bin/") + name : QString();
        };
    }
    void TearDown() override { Desktop() = saved; }
    void writeRegistry(QString text)
    {
        QFile f(RegistryStore::StoreFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.replace(QStringLiteral("%DIR%"), folder.path()).toUtf8());
    }

    QTemporaryDir folder;
    DesktopActions saved;
    QStringList started, messages, onPath;
    bool startSucceeds = true;
};

TEST_F(SysInfo, GetKeyValueConvertsEachValueForm)
{
    const QString bigValue = QStringLiteral("hex:") + QStringLiteral("41,").repeated(1024) + "41";
    struct Case {
        const char* line; // the entry "V=..." of the key
        bool ok;
        QString value; // the caller passes "keep" in
    } cases[] = {
        {"V=hex(4):10,27,00,00", true, "10000"},
        {"V=hex(4):01,02,00,00", true, "513"},
        {"V=dword:00002710", true, "10000"},
        {"V=hex(4):ff,ff,ff,ff", true, "-1"},
        {"V=hex(4):0a,01", true, "266"},
        {"V=hex(4):01,02,03,04,05", false, ""}, // wider than 32 bits
        {"V=/usr/bin/hardinfo", true, "/usr/bin/hardinfo"},
        {"V=\"  spaced text  \"", true, "  spaced text  "},
        {"V=hex(1):41,42", true, "AB"}, // no terminating zero: nothing is cut
        {"V=hex(1):41,42,00,00", true, QStringLiteral("AB") + QChar(0)},
        {"V=", true, ""},
        {"V=hex:01,02", true, "keep"}, // binary data leaves the text alone
        {"V=hex(4):", false, ""},
        {"V=dword:xyz", false, ""},
        {"v=dword:10", true, "16"}, // value names ignore case
        {"Other=1", false, ""},
    };
    for (const Case& c : cases) {
        writeRegistry(QStringLiteral("[hkey_local_machine\\Software\\Test]\n") + c.line + "\n");
        QString value = QStringLiteral("keep");
        EXPECT_EQ(GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", "V", value), c.ok) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
    }

    // The 1024-byte buffer holds 1024 bytes and no more.
    for (const bool fits : {true, false}) {
        const QString data = fits ? bigValue.left(bigValue.size() - 3) : bigValue;
        writeRegistry(QStringLiteral("[HKEY_LOCAL_MACHINE\\K]\n@=hex(1):") + data.mid(4) + "\n");
        QString value = QStringLiteral("keep");
        EXPECT_EQ(GetKeyValue(HKEY_LOCAL_MACHINE, "K", "", value), fits);
        EXPECT_EQ(value.size(), fits ? 1024 : 0);
    }
}

TEST_F(SysInfo, GetKeyValueFailsWithoutTheKey)
{
    writeRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\nV=x\n[HKEY_CURRENT_USER\\Empty]\n");
    const std::pair<std::uint32_t, const char*> keys[] = {
        {HKEY_CURRENT_USER, "SOFTWARE\\Test"}, {0x80000004u, "SOFTWARE\\Test"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE"},       {HKEY_CURRENT_USER, "Empty"}};
    for (const auto& [root, key] : keys) {
        QString value = QStringLiteral("keep");
        EXPECT_FALSE(GetKeyValue(root, key, "V", value)) << key;
        EXPECT_EQ(value, QString()) << key;
    }
    EXPECT_TRUE(RegistryStore().KeyExists(HKEY_CURRENT_USER, "empty"));
}

TEST_F(SysInfo, StartSysInfoTriesTheRegistryThenThePathThenGivesUp)
{
    const QString msinfo = QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                                          "PATH=/usr/bin/msinfo\n");
    const QString location = QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"
                                            "MSINFO=%DIR%\\tools\n");
    struct Case {
        const char* name;
        QString registry;
        bool toolFile; // tools/msinfo32.exe exists
        QStringList onPath;
        bool startSucceeds;
        QString started; // "" when nothing is started
        bool message;
    } cases[] = {
        {"first value", msinfo + location, true, {"hardinfo"}, true, "/usr/bin/msinfo", false},
        {"first value fails to start", msinfo, false, {"hardinfo"}, false, "/usr/bin/msinfo", true},
        {"folder value", location, true, {"hardinfo"}, true, "%DIR%/tools/msinfo32.exe", false},
        {"folder without the program", location, false, {}, true, "", true},
        {"first tool on PATH", location, false, {"kinfocenter", "hardinfo"}, true, "/opt/bin/hardinfo", false},
        {"tool fails to start", "", false, {"hardinfo2"}, false, "/opt/bin/hardinfo2", true},
        {"nothing at all", "", false, {}, true, "", true},
    };
    for (const Case& c : cases) {
        writeRegistry(c.registry);
        QDir(folder.path()).mkpath("tools");
        QFile exe(folder.path() + "/tools/msinfo32.exe");
        if (c.toolFile)
            ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
        else
            exe.remove();
        exe.close();
        onPath = c.onPath;
        startSucceeds = c.startSucceeds;
        started.clear();
        messages.clear();

        StartSysInfo();
        QString expected = c.started;
        expected.replace("%DIR%", folder.path());
        EXPECT_EQ(started, expected.isEmpty() ? QStringList() : QStringList{expected}) << c.name;
        EXPECT_EQ(messages, c.message ? QStringList{"System Information Is Unavailable At This Time"}
                                      : QStringList())
            << c.name;
    }
}

} // namespace
} // namespace tarnwick

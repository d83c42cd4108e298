// The registry store's value forms as GetKeyValue converts them, and the
// order in which StartSysInfo looks for a system-information tool.

// ours
#include "dialogfixture.h"
#include "registrystore.h"
#include "sysinfo.h"

// Qt
#include <QDir>

namespace tarnwick::test {
namespace {

class SysInfo : public DialogTest {
protected:
    void WriteRegistry(QString text) { WriteFile(RegistryStore::StoreFile(), text.replace("%DIR%", m_folder.path())); }
};

TEST_F(SysInfo, GetKeyValueConvertsEachValueForm)
{
    const QString big = QStringLiteral("41,").repeated(1023) + "41"; // 1024 bytes
    struct Case {
        QString line; // the entries of the key
        bool ok;
        QString value; // the caller passes "keep" in
        const char* key = "SOFTWARE\\Test";
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
        {"V=hex:01,02", true, "keep"}, // binary data leaves the text alone
        {"V=hex(4):", false, ""},
        {"V=dword:xyz", false, ""},
        {"v=dword:10", true, "16"}, // value names ignore case
        {"Other=1", false, ""},
        {"V=x", false, "", "SOFTWARE"},
        // The 1024-byte buffer holds 1024 bytes and no more.
        {"V=hex(1):" + big, true, QString(1024, 'A')},
        {"V=hex(1):41," + big, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.left(40).toStdString());
        WriteRegistry("[hkey_local_machine\\Software\\Test]\n" + c.line + "\n");
        QString value = QStringLiteral("keep");
        EXPECT_EQ(GetKeyValue(HKEY_LOCAL_MACHINE, c.key, "V", value), c.ok);
        EXPECT_EQ(value, c.value);
        value = QStringLiteral("keep");
        EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, c.key, "V", value));
        EXPECT_EQ(value, "");
    }
}

TEST_F(SysInfo, StartSysInfoTriesTheRegistryThenThePathThenGivesUp)
{
    const QString msinfo = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=/usr/bin/msinfo\n";
    const QString location = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=%DIR%\\tools\n";
    struct Case {
        QString registry;
        bool toolFile; // tools/msinfo32.exe exists
        QStringList onPath;
        bool startSucceeds;
        QString started; // "" when nothing is started
        bool message;
    } cases[] = {
        {msinfo + location, true, {"hardinfo"}, true, "/usr/bin/msinfo", false},
        {msinfo, false, {"hardinfo"}, false, "/usr/bin/msinfo", true}, // fails to start: no other try
        {location, true, {"hardinfo"}, true, "%DIR%/tools/msinfo32.exe", false},
        {location, false, {"kinfocenter", "hardinfo"}, true, "/opt/bin/hardinfo", false},
        {"", false, {"hardinfo2"}, false, "/opt/bin/hardinfo2", true},
        {"", false, {}, true, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.registry.toStdString() + " " + c.onPath.join(',').toStdString());
        WriteRegistry(c.registry);
        QDir(m_folder.path()).mkpath("tools");
        QFile::remove(m_folder.path() + "/tools/msinfo32.exe");
        if (c.toolFile)
            WriteFile(m_folder.path() + "/tools/msinfo32.exe", "");
        onPath = c.onPath;
        startSucceeds = c.startSucceeds;
        started.clear();
        messages.clear();

        StartSysInfo();
        const QString expected = QString(c.started).replace("%DIR%", m_folder.path());
        EXPECT_EQ(started, expected.isEmpty() ? QStringList() : QStringList{expected});
        EXPECT_EQ(messages, c.message ? QStringList{"System Information Is Unavailable At This Time"} : QStringList());
    }
}

} // namespace
} // namespace tarnwick::test

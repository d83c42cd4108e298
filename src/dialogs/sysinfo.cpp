#include "sysinfo.h"

// ours
#include "desktopactions.h"
#include "inifile.h"
#include "pathresolver.h"
#include "registrystore.h"

// std
#include <optional>

namespace tarnwick {

namespace {

// RegQueryValueEx's buffer in the original call: larger values do not fit.
constexpr qsizetype kValueBufferSize = 1024;

const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

// The bytes last to first as one hex number, in decimal; a number wider
// than 32 bits overflows.
std::optional<QString> DwordText(const QByteArray& bytes)
{
    QString digits;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        digits += QStringLiteral("%1").arg(static_cast<uchar>(bytes.at(i)), 2, 16, QLatin1Char('0'));
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    if (digits.size() > 8)
        return std::nullopt;
    const auto value = static_cast<std::int32_t>(digits.isEmpty() ? 0u : digits.toUInt(nullptr, 16));
    return QString::number(value);
}

} // namespace

bool GetKeyValue(std::uint32_t root, const QString& keyName, const QString& valueName,
                 QString& value)
{
    const RegistryStore store;
    const auto data = store.Value(root, keyName, valueName);
    if (!data || data->bytes.isEmpty() || data->bytes.size() > kValueBufferSize) {
        value.clear();
        return false;
    }
    QByteArray bytes = data->bytes;
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    if (data->type == REG_SZ) {
        value = QString::fromUtf8(bytes);
    } else if (data->type == REG_DWORD) {
        const auto text = DwordText(bytes);
        if (!text) {
            value.clear();
            return false;
        }
        value = *text;
    }
    return true;
}

QStringList SystemInfoTools()
{
    return {QStringLiteral("hardinfo2"),   QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"), QStringLiteral("lshw-gtk"),
            QStringLiteral("cpu-x"),       QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

QString SysInfoUnavailableText()
{
    return QStringLiteral("System Information Is Unavailable At This Time");
}

void StartSysInfo(QWidget* parent)
{
    DesktopActions& desktop = Desktop();
    QString program;
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfoKey, QStringLiteral("PATH"), path)) {
        program = path;
    } else if (GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, QStringLiteral("MSINFO"), path)
               && IniFile().FileExists(path + QStringLiteral("\\MSINFO32.EXE"))) {
        program = path + QStringLiteral("\\MSINFO32.EXE");
    } else {
        for (const QString& tool : SystemInfoTools()) {
            program = desktop.findExecutable(tool);
            if (!program.isEmpty())
                break;
        }
    }
    // A registry path may be written the Windows way; an empty one fails to start.
    if (program.isEmpty() || !desktop.startProgram(resolvePath(program)))
        desktop.showMessage(parent, SysInfoUnavailableText());
}

} // namespace tarnwick

#include "registrystore.h"

// ours
#include "inifile.h"
#include "initext.h"
#include "programfolder.h"

// Qt
#include <QRegularExpression>
#include <QStringList>

namespace tarnwick {

namespace {

QString RootName(std::uint32_t root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS: return QStringLiteral("HKEY_USERS");
    case HKEY_CURRENT_CONFIG: return QStringLiteral("HKEY_CURRENT_CONFIG");
    default: return QString();
    }
}

// The section that holds the key; null for an unknown root.
QString SectionName(std::uint32_t root, const QString& keyName)
{
    const QString rootName = RootName(root);
    if (rootName.isNull())
        return QString();
    return keyName.isEmpty() ? rootName : rootName + u'\\' + keyName;
}

// A plain hex number of at most `maxDigits` digits (no sign); nothing when
// the text is anything else.
std::optional<uint> HexNumber(const QString& digits, int maxDigits)
{
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > maxDigits || digits.startsWith(u'+'))
        return std::nullopt;
    return value;
}

// "10,27,00,00" as bytes; every element is one or two hex digits.
std::optional<QByteArray> HexList(const QString& text)
{
    QByteArray bytes;
    if (text.trimmed().isEmpty())
        return bytes;
    for (const QString& part : text.split(u',')) {
        const auto value = HexNumber(part.trimmed(), 2);
        if (!value)
            return std::nullopt;
        bytes.append(static_cast<char>(*value));
    }
    return bytes;
}

} // namespace

RegistryStore::RegistryStore(const QString& file)
    : m_file(file)
{
}

QString RegistryStore::StoreFile()
{
    return ProgramFolder() + QStringLiteral("/registry.ini");
}

bool RegistryStore::KeyExists(std::uint32_t root, const QString& keyName) const
{
    const QString section = SectionName(root, keyName);
    if (section.isNull())
        return false;
    const QStringList lines = IniFile().ReadTextFile(m_file).split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        const qsizetype close = line.indexOf(u']');
        if (line.startsWith(u'[') && close > 0
            && line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::optional<RegistryData> RegistryStore::Value(std::uint32_t root, const QString& keyName,
                                                 const QString& valueName) const
{
    if (!KeyExists(root, keyName))
        return std::nullopt;
    const IniText text(IniFile().ReadTextFile(m_file));
    const auto entry = text.value(SectionName(root, keyName),
                                  valueName.isEmpty() ? QStringLiteral("@") : valueName);
    if (!entry)
        return std::nullopt;
    return DecodeValue(*entry);
}

std::optional<RegistryData> RegistryStore::DecodeValue(const QString& text)
{
    if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const auto value = HexNumber(text.mid(6).trimmed(), 8);
        if (!value)
            return std::nullopt;
        QByteArray bytes;
        for (int i = 0; i < 4; ++i)
            bytes.append(static_cast<char>((*value >> (8 * i)) & 0xFF));
        return RegistryData{REG_DWORD, bytes};
    }
    static const QRegularExpression hexForm(QStringLiteral("^hex(?:\\(([0-9a-f]{1,8})\\))?:(.*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (const auto match = hexForm.match(text); match.hasMatch()) {
        const std::uint32_t type =
            match.hasCaptured(1) ? match.captured(1).toUInt(nullptr, 16) : REG_BINARY;
        const auto bytes = HexList(match.captured(2));
        if (!bytes)
            return std::nullopt;
        return RegistryData{type, *bytes};
    }
    QString value = text;
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    // Strings are kept with their terminating zero, as the registry keeps them.
    return RegistryData{REG_SZ, value.toUtf8() + QByteArray(1, '\0')};
}

} // namespace tarnwick

#pragma once
// The small registry store that stands in for the system registry: the
// about box reads the system-information tool's location from it. It is an
// INI file, "registry.ini" in the program folder, read on every call and
// never written by the player (a packager or the user fills it in).
//
// Format: one section per key, named by the root key's name and the key's
// path, and one entry per value; value names ignore letter case, as in the
// registry, and "@" names the key's default (unnamed) value:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH=/usr/bin/hardinfo            string (type 1), stored with its
//   Title="  spaced text  "           terminating zero byte; quotes keep
//                                     blanks at either end
//   Count=dword:00002710              32-bit number (type 4), the hex digits
//                                     of the number, stored as four bytes
//                                     lowest first: 10 27 00 00
//   Raw=hex(4):10,27,00,00            any type (hex digits in the brackets)
//   Blob=hex:01,02,ff                 with its bytes as written; "hex:" is
//                                     binary data (type 3)
//
// A value whose text does not follow its form reads as missing. Window
// thread only; every call opens the file afresh.

// Qt
#include <QByteArray>
#include <QString>

// std
#include <cstdint>
#include <optional>

namespace tarnwick {

// The root keys, as the registry calls take them.
inline constexpr std::uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr std::uint32_t HKEY_CURRENT_USER = 0x80000001u;
inline constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr std::uint32_t HKEY_USERS = 0x80000003u;
inline constexpr std::uint32_t HKEY_CURRENT_CONFIG = 0x80000005u;

// The value types the store writes by name.
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

// A value as the registry hands it out: its type and its raw bytes.
struct RegistryData {
    std::uint32_t type = 0;
    QByteArray bytes;
};

class RegistryStore {
public:
    // `file` is the store's INI file; by default StoreFile().
    explicit RegistryStore(const QString& file = StoreFile());

    // "registry.ini" in the program folder.
    static QString StoreFile();

    // True when the root is one of the five known roots and the file holds
    // the key's section.
    bool KeyExists(std::uint32_t root, const QString& keyName) const;

    // The value `valueName` ("" for the default value) of the key; nothing
    // when the key or the value is missing or its text is malformed.
    std::optional<RegistryData> Value(std::uint32_t root, const QString& keyName,
                                      const QString& valueName) const;

    // The data a value's text in the file stands for (the forms above).
    static std::optional<RegistryData> DecodeValue(const QString& text);

private:
    QString m_file;
};

} // namespace tarnwick

// INI text and files. The input is "file bytes\0section\0key\0value": the
// bytes are parsed, the value is set in memory and through IniFile into a
// real file, and both must read back what was set.

// ours
#include "fuzzcheck.h"
#include "inifile.h"
#include "initext.h"
#include "../testfiles.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// std
#include <cstdint>
#include <cstdlib>

namespace {

using namespace tarnwick;

using fuzz::check;
using testing::readBytes;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // tmpfs, where the flush of every replaced file costs nothing.
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/tarnwick-ini-XXXXXX" : QString());
    const QList<QByteArray> parts = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    const QByteArray bytes = parts.at(0);
    const QString section = QString::fromUtf8(parts.value(1)), key = QString::fromUtf8(parts.value(2));
    const QString value = QString::fromUtf8(parts.value(3));

    IniText text(QString::fromUtf8(bytes));
    (void)text.value(section, key);
    const bool set = text.setValue(section, key, value);
    if (set) {
        check(text.value(section, key) == value.trimmed());
        const IniText again(text.toText());
        check(again.value(section, key) == value.trimmed() && again.toText() == text.toText());
    }

    const QString path = dir.filePath(QStringLiteral("album.ini"));
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    IniFile ini;
    if (ini.WriteValue(section, key, value, path))
        check(set && ini.ReadValue(section, key, "<none>", path) == value.trimmed());
    else
        check(!set && readBytes(path) == bytes);
    // Nothing but the file itself is left beside it.
    check(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) == QStringList{"album.ini"});
    return 0;
}

#pragma once
// File helpers the tests share: write input files into a test's own folder
// and read results back.

// Qt
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarnwick::testing {

// Writes `bytes` to `path`, making missing folders.
inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A missing file reads as "<missing>", which no test writes.
inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace tarnwick::testing

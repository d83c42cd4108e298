#pragma once
// File helpers the tests share: write input files into a test's own folder
// and read results back, a video's frames counted by ffprobe.

// Qt
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

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

// The frames ffprobe decodes from the video's first stream; -1 when it cannot read the file.
inline int probedFrames(const QString& video)
{
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=nb_read_frames", "-of", "csv=p=0", video});
    bool ok = probe.waitForFinished(120000) && probe.exitCode() == 0;
    const int frames = probe.readAllStandardOutput().trimmed().toInt(&ok);
    return ok ? frames : -1;
}

} // namespace tarnwick::testing

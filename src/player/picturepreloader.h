#pragma once
// Loads the picture the slideshow will show next on a worker thread while
// the window shows the current one, so that a tick never waits for a large
// JPEG to decode. Holds at most one picture ahead: asking for another drops
// the one before. The picture file must already exist (unpacked) when it
// is asked for. Window thread only; the worker has its own picture tool.

// Qt
#include <QFuture>
#include <QImage>
#include <QString>

namespace tarnwick {

class PicturePreloader {
public:
    PicturePreloader() = default;
    ~PicturePreloader();
    PicturePreloader(const PicturePreloader&) = delete;
    PicturePreloader& operator=(const PicturePreloader&) = delete;

    // Starts loading `path` scaled to width x height in the background.
    void preload(const QString& path, int width, int height);
    // The picture at `path` scaled to width x height: the preloaded one when
    // it matches (waiting for it if it is still loading), else loaded now.
    // Null when the file cannot be read.
    QImage take(const QString& path, int width, int height);
    // Drops what is preloaded (waits for a running load to end).
    void clear();

private:
    QString m_path;
    int m_width = 0;
    int m_height = 0;
    QFuture<QImage> m_future;
};

} // namespace tarnwick

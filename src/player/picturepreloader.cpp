// ours
#include "picturepreloader.h"

#include "albumpicturetool.h"

// Qt
#include <QtConcurrent/QtConcurrentRun>

namespace tarnwick {

PicturePreloader::~PicturePreloader()
{
    clear();
}

void PicturePreloader::preload(const QString& path, int width, int height)
{
    if (m_future.isValid() && path == m_path && width == m_width && height == m_height)
        return;
    clear();
    m_path = path;
    m_width = width;
    m_height = height;
    m_future = QtConcurrent::run([path, width, height] {
        return AlbumPictureTool().LoadPicture(path, width, height);
    });
}

QImage PicturePreloader::take(const QString& path, int width, int height)
{
    if (m_future.isValid() && path == m_path && width == m_width && height == m_height) {
        QImage picture = m_future.result();
        m_future = QFuture<QImage>();
        m_path.clear();
        return picture;
    }
    return AlbumPictureTool().LoadPicture(path, width, height);
}

void PicturePreloader::clear()
{
    if (m_future.isValid())
        m_future.waitForFinished();
    m_future = QFuture<QImage>();
    m_path.clear();
}

} // namespace tarnwick

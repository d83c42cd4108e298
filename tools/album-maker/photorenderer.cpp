#include "photorenderer.h"

// ours
#include "makererror.h"

// std
#include <algorithm>

namespace tarnwick {

PhotoRenderer::PhotoRenderer(const QStringList& paths, QSize pictureSize, int jobs)
    : m_paths(paths)
    , m_pictureSize(pictureSize)
    , m_ahead(2 * std::max(1, jobs))
{
    const int threads = std::min<qsizetype>(std::max(1, jobs), paths.size());
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { work(); });
}

PhotoRenderer::~PhotoRenderer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_room.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

std::optional<EncodedPicture> PhotoRenderer::next()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_results.count(m_handedOut) > 0; });
    const auto found = m_results.find(m_handedOut++);
    std::optional<EncodedPicture> photo = std::move(found->second);
    m_results.erase(found);
    lock.unlock();
    m_room.notify_all();
    return photo;
}

void PhotoRenderer::work()
{
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_room.wait(lock, [this] {
                return m_stopping || m_started >= m_paths.size() || m_started < m_handedOut + m_ahead;
            });
            if (m_stopping || m_started >= m_paths.size())
                return;
            index = m_started++;
        }
        std::optional<EncodedPicture> photo;
        try {
            photo = PictureMaker::encode(PictureMaker::loadFitted(m_paths[index], m_pictureSize));
        } catch (const MakerError&) {
            // The builder names the file among the skipped ones.
        } catch (const std::bad_alloc&) {
            // A picture too big to decode is skipped like a broken one.
        }
        {
            const std::lock_guard lock(m_mutex);
            m_results.emplace(index, std::move(photo));
        }
        m_done.notify_one();
    }
}

} // namespace tarnwick

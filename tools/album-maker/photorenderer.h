#pragma once
// Turns the album's photos into album pictures on worker threads: each
// photo is read, turned upright, fitted to the picture size, and encoded
// with its thumbnail, independently of the others. The results are handed
// out in the order of the photos, so what the maker writes does not depend
// on the number of threads. Workers run at most a few photos ahead of the
// one handed out last, which bounds the memory held.

// ours
#include "picturemaker.h"

// Qt
#include <QSize>
#include <QStringList>

// std
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tarnwick {

class PhotoRenderer {
public:
    // Starts `jobs` threads (at least one, at most one per photo).
    PhotoRenderer(const QStringList& paths, QSize pictureSize, int jobs);
    // Stops the workers after the photos they are on and waits for them.
    ~PhotoRenderer();
    PhotoRenderer(const PhotoRenderer&) = delete;
    PhotoRenderer& operator=(const PhotoRenderer&) = delete;

    // The next photo in the order of `paths`, waiting until it is done;
    // nothing when it could not be read. Called once per photo, from one
    // thread.
    std::optional<EncodedPicture> next();

private:
    void work();

    const QStringList m_paths;
    const QSize m_pictureSize;
    const int m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::condition_variable m_room;
    std::map<int, std::optional<EncodedPicture>> m_results;
    int m_started = 0;
    int m_handedOut = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace tarnwick

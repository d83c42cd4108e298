#pragma once
// What plays one music file for an AlbumMusic. The album library holds no
// audio code; the program plugs a real player in through
// AlbumMusic::SetPlaybackFactory, and tests plug in fakes. Used on the
// window thread only.

// Qt
#include <QString>

namespace tarnwick {

class MusicPlayback {
public:
    // The states AlbumMusic::State reports.
    enum State { Stopped = 1, Playing = 2, Paused = 3, Finished = 4 };

    virtual ~MusicPlayback() = default;

    // Prepares the file at `realPath` (already resolved); false when it
    // cannot be played. Leaves the state Stopped.
    virtual bool load(const QString& realPath) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // One of State; Finished once the file has played to its end.
    virtual int state() const = 0;
};

} // namespace tarnwick

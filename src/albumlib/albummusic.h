#pragma once
// One background music item of the album: a plain file name in the album's
// "MainAlbum" folder and a playing state the player polls once a second.
//
// Without a playback factory the item only keeps its state: Play reaches
// Playing when the loaded file exists, Stop, Pause and Resume move between
// the states, and Finished never comes. With a factory (set once by the
// program before the album plays) each Load makes a MusicPlayback that does
// the playing and reports the state. Window thread only.

// ours
#include "musicplayback.h"

// Qt
#include <QString>

// std
#include <functional>
#include <memory>

namespace tarnwick {

class AlbumMusic {
public:
    using PlaybackFactory = std::function<std::unique_ptr<MusicPlayback>()>;

    QString FileName() const { return m_fileName; }
    // For the album loader; a name that is not a plain file name becomes "".
    void SetFileName(const QString& name);

    // 1 stopped (or not loaded), 2 playing, 3 paused, 4 finished.
    int State() const;

    // Prepares albumFolder + "MainAlbum\" + FileName() for playing; the
    // state becomes 1. Returns false when the file cannot be played.
    bool Load(const QString& albumFolder);
    // Starts the loaded file from its beginning; without a loaded file the
    // state stays 1.
    void Play();
    void Stop();
    // Pauses a playing item; Resume continues a paused one.
    void Pause();
    void Resume();

    // The factory every later Load uses; an empty one brings back the
    // state-only behaviour.
    static void SetPlaybackFactory(PlaybackFactory factory);

private:
    QString m_fileName;
    QString m_loadedPath;
    std::unique_ptr<MusicPlayback> m_playback;
    int m_state = MusicPlayback::Stopped;
};

} // namespace tarnwick

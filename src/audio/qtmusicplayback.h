#pragma once
// Plays one music file of the album through Qt Multimedia (its GStreamer
// backend) on the default sound output, or on the PulseAudio sink named by
// $PULSE_SINK when that sink is known to Qt. AlbumMusic makes one per Load
// through the factory InstallQtMusicPlayback sets.
//
// Window thread only: play() and resume() run a short nested event loop
// (user input held back) until the media has started, at most
// kStartWaitMs, so that the state read right after them is already true.
// Without a reachable sound server nothing crashes or blocks; the music is
// simply not heard.

// ours
#include "musicplayback.h"

// std
#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace tarnwick {

class QtMusicPlayback : public MusicPlayback {
public:
    // Longest wait of play() and resume() for the media to start.
    static constexpr int kStartWaitMs = 400;

    QtMusicPlayback();
    ~QtMusicPlayback() override;

    // False when `realPath` is not an existing file; whether it holds
    // sound shows only once it is played.
    bool load(const QString& realPath) override;
    // Starts from the beginning; returns playing (2), or another state when
    // the file cannot be played or did not start in time.
    void play() override;
    void stop() override;
    void pause() override;
    void resume() override;
    // Playing 2, Paused 3, played to its end 4, anything else 1 (also a
    // file that turned out not to be sound).
    int state() const override;

private:
    bool failed() const;
    bool settled() const;
    void waitUntilSettled();

    QString m_path;
    // The player uses the output, so it is declared (and destroyed) after it.
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
};

// Makes every later AlbumMusic::Load play through a QtMusicPlayback. Called
// once by the program's entry point after the application object exists.
void InstallQtMusicPlayback();

} // namespace tarnwick

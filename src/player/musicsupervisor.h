#pragma once
// The background music of the player window: the timer tmrSound polls the
// active music item once a second and plays, resumes or advances it, and
// the "Music" check box switches the music on and off. The items play one
// after another in album order, wrapping from the last to the first.
//
// Owned by the player window; window thread only. The window enables
// tmrSound when it initialises, hands the check box's initial value to
// setMusicOn and its clicks to musicSwitched, and calls stopAll as it
// closes. The album is gAlbum, the mode StartMode; the music items are
// moved through `state` only.

// ours
#include "playerstate.h"
#include "windowtimer.h"

// Qt
#include <QObject>

namespace tarnwick {

class MusicSupervisor : public QObject {
    Q_OBJECT

public:
    // `state` is not owned and must outlive the supervisor. tmrSound starts
    // disabled with its 1000 ms interval; the box starts on.
    explicit MusicSupervisor(PlayerState& state, QObject* parent = nullptr);

    // The polling timer (objectName "tmrSound"); its timeout runs tick().
    WindowTimer& tmrSound() { return m_tmrSound; }

    // Sets the "Music" box's value without acting on it (initialisation).
    void setMusicOn(bool on) { m_musicOn = on; }
    bool musicOn() const { return m_musicOn; }

    // The box was clicked and now holds `on`. With an active item: off
    // stops a playing item (a paused one stays paused) and disables
    // tmrSound; on re-arms tmrSound at 1000 ms; both clear mMusicFailed and
    // store the value as "Current"/"MusicOpen" in the player settings.
    // Without an active item only the box changes. A call made while the
    // previous one still runs changes only the box.
    void musicSwitched(bool on);

    // One poll: starts the first item, plays a stopped one, stops a playing
    // one when the box is off, resumes a paused one, moves on from a
    // finished one. Does nothing while mMusicFailed is set, in the modes
    // without music (export, saver preview, saver settings and password)
    // and when entered again while it runs (playing spins a short nested
    // event loop).
    void tick();

    // Set when an item did not reach the playing state after being started;
    // the tick then does nothing until the box is clicked.
    bool mMusicFailed() const { return m_musicFailed; }

    // Window closing: disables tmrSound and stops the active item.
    void stopAll();

private:
    void startItem();
    void loadAndPlay();

    PlayerState& m_state;
    WindowTimer m_tmrSound;
    bool m_musicOn = true;
    bool m_musicFailed = false;
    bool m_ticking = false;
    bool m_switching = false;
};

// The "Music" box's value at start: "MusicOpen" of section "Current" in
// "profile.ini" of the program folder as a number, non-zero meaning on.
// A missing file or key, or a value that is not a number, reads as on.
bool ReadMusicOpen();

} // namespace tarnwick

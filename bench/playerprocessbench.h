#pragma once
// Measurements of the real player program on the X server of DISPLAY,
// watched from outside through the screen only: the benchmark starts
// tarnwick-player on an album written by WriteBenchAlbum and reads the
// code colour in the middle of its display (the window sits at (0, 0)
// without a window manager) every few milliseconds.
// Window thread of the benchmark; the program folder must be made first.

// Qt
#include <QString>

namespace tarnwick::bench {

struct PlayerProcessRun {
    QString player;   // path of tarnwick-player
    QString albumIni; // album.ini of the bench album
};

// Time from starting the program to the album background and to the front
// cover being on screen, over `runs` starts. Returns 0 when every run saw
// the cover.
int RunStartupBench(const PlayerProcessRun& run, int runs);

// Plays `pictures` photos and reads the player's peak and current resident
// memory (VmHWM, VmRSS) when the front cover is on and after the last
// photo. Returns 0 when the photos were seen.
int RunMemoryBench(const PlayerProcessRun& run, int pictures);

} // namespace tarnwick::bench

#pragma once
// How long a category switch takes to build the thumbnail strip of a
// large category: once in the player core alone (a view that does
// nothing, the virtual clock), once in the real player window on the X
// server, where every entry is also shown as it comes and window events run
// between entries. Auto Play is off, so the switch builds the strip and
// shows no picture. The album must be loaded into gAlbum and the program
// folder made first. Window thread of the benchmark.

namespace tarnwick::bench {

class FrameMeter;

// Switches between the first two categories `switches` times in each
// setting and prints the build times. Returns 0 when every build filled
// the whole strip.
int RunStripBench(FrameMeter& meter, int switches);

} // namespace tarnwick::bench

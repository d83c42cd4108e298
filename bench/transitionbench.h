#pragma once
// Wall-clock length of real transitions in the player window at 1920 x 1080
// against their nominal length, and what each frame's refresh of the
// display costs. The window runs on the X server of DISPLAY with the real
// host (real clock, real pauses); each run brings one detailed picture on
// over another through TransitionRun::run with the shipped tuning values
// of the effect, one run per variant, with the side panel shown (as at
// start) and hidden. The program folder must be made first; the album is
// set up here. Window thread of the benchmark.

namespace tarnwick::bench {

class FrameMeter;

// The side panel states to run, in this order.
enum class PanelStates { ShownThenHidden, HiddenThenShown, Shown, Hidden };

// Runs every Blend and Drag variant `repeats` times in each panel state and
// prints one line per variant and a summary per effect. Returns 0 when the
// display had the wanted size and every run drew its frames.
int RunTransitionBench(FrameMeter& meter, int repeats, PanelStates panelStates);

} // namespace tarnwick::bench

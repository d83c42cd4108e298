#pragma once
// Where the engine's frame hook sends frames during a video export. The
// export plugs its frame writer in; without one the hook writes nothing.

// std
#include <cstdint>

namespace tarnwick {

class FrameSink {
public:
    virtual ~FrameSink() = default;

    // Called by clsMovie::VCDCaiYang while isVCD is on, on the window
    // thread: stillSeconds 0 writes one frame of what the display shows now,
    // a positive value writes a still of stillSeconds x 25 frames.
    virtual void writeFrames(std::int16_t stillSeconds) = 0;
};

} // namespace tarnwick

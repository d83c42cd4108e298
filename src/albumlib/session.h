#pragma once
// The state of one run that the start-up routine sets and every window
// reads: how the program was started, the one album object, and for a
// packed album the container file and where its picture data begins.
// Written by the start-up routine before any window loads, on the window
// thread; read-only afterwards.

// ours
#include "album.h"
#include "packedfile.h"

// std
#include <cstdint>
#include <memory>

namespace tarnwick {

// The start mode codes, one per command-line switch.
enum StartModeCode : std::int32_t {
    ModeNone = 0,
    ModeAlbumFolder = 1,  // "/1"
    ModeExport = 2,       // "/2"
    ModePackedAlbum = 3,  // "*S"
    ModeSaver = 4,        // "/S"
    ModeSaverPreview = 5, // "/P"
    ModeSaverSettings = 6, // "/C"
    ModeSaverPassword = 7, // "/A"
};

// 0 until the start-up routine records the mode.
extern std::int32_t StartMode;
// Created first thing by the start-up routine and never replaced; null only
// before it runs.
extern std::unique_ptr<Album> gAlbum;
// The container of a packed album (modes 3, 4, 5); null otherwise.
extern std::unique_ptr<PackedFile> gPackReader;
// Offset of the picture data inside the container; 0 unless set.
extern std::int32_t gPackOffset;

// Puts the run state back to how a new process finds it (tests).
void ResetSession();

// True in the modes that play a packed album (3, 4, 5).
inline bool IsPackedMode(std::int32_t mode)
{
    return mode == ModePackedAlbum || mode == ModeSaver || mode == ModeSaverPreview;
}

} // namespace tarnwick

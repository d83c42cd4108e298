#pragma once
// The conversion of the export's frames to what the video encoders take:
// 8-bit YUV 4:2:0 in the limited range, BT.601 or (from 720 lines up)
// BT.709 colours, each chroma sample the mean of its 2 x 2 pixels. A plain
// integer loop the compiler vectorises: the general converter of the
// FFmpeg libraries takes several times as long for a frame of the same
// size, and at 1920 x 1080 that shows next to the encoder's own time.
// Pure; any thread.

// Qt
#include <QImage>

// std
#include <cstdint>

namespace tarnwick {

// Converts `rgb` (Format_RGB32 or ARGB32, alpha left out; even width and
// height) into the three planes. False, converting nothing, for any other
// picture.
bool RgbToYuv420(const QImage& rgb, std::uint8_t* const planes[3], const int strides[3], bool bt709);

} // namespace tarnwick

#pragma once
// Lengths of the dialogs' designs are kept in twips, as their layouts were
// drawn; the screen has 15 twips to a pixel. Shared by the settings dialogs
// and the export dialog.

namespace tarnwick {

constexpr int kTwipsPerPixel = 15;

// The nearest whole pixel count of a length in twips (halves away from 0).
constexpr int TwipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

} // namespace tarnwick

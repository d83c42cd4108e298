#pragma once
// The background music items of the album, 1-based, in playing order.

// ours
#include "albumcollection.h"
#include "albummusic.h"

namespace tarnwick {

class AlbumMusics : public AlbumCollection<AlbumMusic> {};

} // namespace tarnwick

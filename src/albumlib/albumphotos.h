#pragma once
// The photos of one category, 1-based, in album order.

// ours
#include "albumcollection.h"
#include "albumphoto.h"

namespace tarnwick {

class AlbumPhotos : public AlbumCollection<AlbumPhoto> {};

} // namespace tarnwick

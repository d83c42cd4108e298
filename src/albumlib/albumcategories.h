#pragma once
// The categories of the album, 1-based, in album order.

// ours
#include "albumcategory.h"
#include "albumcollection.h"

namespace tarnwick {

class AlbumCategories : public AlbumCollection<AlbumCategory> {};

} // namespace tarnwick

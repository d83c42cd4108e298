#pragma once
// The one failure type of the album library. Its text is the classic
// description the player shows or skips, e.g. "Subscript out of range" when a
// collection is asked for an item it does not have.

// std
#include <stdexcept>

namespace tarnwick {

struct AlbumError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The description carried by an out-of-range collection index.
inline constexpr const char* kSubscriptOutOfRange = "Subscript out of range";

} // namespace tarnwick

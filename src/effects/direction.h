#pragma once
// The eight directions of the sliding transitions, in the order their
// variants are numbered: right, up-right, up, up-left, left, down-left,
// down, down-right. Positive dx points right, positive dy down.

// std
#include <array>

namespace tarnwick {

struct Direction {
    int dx;
    int dy;
    bool diagonal() const { return dx != 0 && dy != 0; }
};

inline constexpr std::array<Direction, 8> kDirections{{
    {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1},
}};

} // namespace tarnwick

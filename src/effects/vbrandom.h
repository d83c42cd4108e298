#pragma once
// The program-wide random generator: the classic 24-bit linear congruential
// generator, so that a seed reproduces every effect choice, variant and
// RndSquare order. Used on the window thread only.

// std
#include <cstdint>

namespace tarnwick {

// Sets the generator state to seed mod 2^24.
void seedRandom(std::uint32_t seed);
// Seeds from the clock, as the player does before each effect choice.
void seedRandomFromClock();
// The next number in [0, 1).
double Rnd();
// The raw 24-bit state (for tests).
std::uint32_t randomState();

} // namespace tarnwick

#include "vbrandom.h"

// std
#include <chrono>

namespace tarnwick {

namespace {
constexpr std::uint32_t kMask = 0xFFFFFFu;
std::uint32_t gState = 0x50000u;
} // namespace

void seedRandom(std::uint32_t seed) { gState = seed & kMask; }

void seedRandomFromClock()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    seedRandom(static_cast<std::uint32_t>(us ^ (us >> 24)));
}

double Rnd()
{
    gState = static_cast<std::uint32_t>((std::uint64_t(gState) * 0x43FD43FDu + 0xC39EC3u) & kMask);
    return gState / 16777216.0;
}

std::uint32_t randomState() { return gState; }

} // namespace tarnwick

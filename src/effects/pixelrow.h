#pragma once
// The row kernels under Surface: one run of 32-bit XRGB pixels at a time.
// Each kernel gives exactly the result of its per-pixel rule (written out in
// its comment) and sets the unused top byte of every pixel it writes to
// 0xFF. The machine picks the widest vector unit it has at load time; the
// results do not depend on it. Rows may be unaligned. Unless said otherwise,
// `d` and `s` must not overlap partly (d == s is fine).

// std
#include <cstdint>

namespace tarnwick::pixelrow {

// d[i] = (d[i] & s[i]) | 0xFF000000.
void andRow(std::uint32_t* d, const std::uint32_t* s, int n);

// d[i] = d[i] | s[i] | 0xFF000000.
void orRow(std::uint32_t* d, const std::uint32_t* s, int n);

// Per channel c of d[i] and s[i]:
// c(d) = (c(s)*a + c(d)*(255-a) + 127) / 255, integer division.
void blendRow(std::uint32_t* d, const std::uint32_t* s, int n, std::uint8_t a);

// As blendRow with an alpha per pixel: pixel i blends with alphas[i].
// Blend's column bands use it a whole row at a time, so the picture is
// walked in memory order instead of band by band.
void blendRowAlphas(std::uint32_t* d, const std::uint32_t* s, int n, const std::uint8_t* alphas);

// d[i] = colour | 0xFF000000.
void fillRow(std::uint32_t* d, int n, std::uint32_t colour);

// The blend rule for one channel, the reference of blendRow.
constexpr std::uint32_t blendChannel(std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    return (s * a + d * (255 - a) + 127) / 255;
}

// The name of the vector unit the kernels run on ("avx2", "sse2").
const char* vectorUnit();
// Tests and benchmarks: makes the kernels run on the named unit; false (and
// nothing changes) when this machine lacks it. Not thread-safe.
bool useVectorUnit(const char* name);

} // namespace tarnwick::pixelrow

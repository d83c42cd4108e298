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

// d[i] = s[i] | 0xFF000000.
void copyRow(std::uint32_t* d, const std::uint32_t* s, int n);

// Per channel c of d[i] and s[i]:
// c(d) = (c(s)*a + c(d)*(255-a) + 127) / 255, integer division.
void blendRow(std::uint32_t* d, const std::uint32_t* s, int n, std::uint8_t a);

// As blendRow, with the pixels blended over read from `under` instead of d:
// c(d) = (c(s)*a + c(under)*(255-a) + 127) / 255. One pass where restoring
// d from `under` and then blending over it would take two. `under` may be
// d itself, not partly overlap it.
void blendRowOver(std::uint32_t* d, const std::uint32_t* under, const std::uint32_t* s, int n, std::uint8_t a);

// A pixel's alpha in both 16-bit halves, the form blendRowAlphas reads.
constexpr std::uint32_t alphaPair(std::uint8_t a) { return a * 0x00010001u; }

// As blendRowOver with an alpha per pixel: pixel i blends with the alpha
// of alphaPairs[i] (see alphaPair). Blend's column bands use it a whole row
// at a time, so the picture is walked in memory order instead of band by
// band, with the row of alphas made once a frame.
void blendRowAlphas(std::uint32_t* d, const std::uint32_t* under, const std::uint32_t* s, int n,
                    const std::uint32_t* alphaPairs);

// d[i] = colour | 0xFF000000.
void fillRow(std::uint32_t* d, int n, std::uint32_t colour);

// The blend rule for one channel, the reference of blendRow.
constexpr std::uint32_t blendChannel(std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    return (s * a + d * (255 - a) + 127) / 255;
}

// The name of the vector unit the kernels run on ("avx512bw", "avx2",
// "sse2").
const char* vectorUnit();
// Tests and benchmarks: makes the kernels run on the named unit; false (and
// nothing changes) when this machine lacks it. Not thread-safe.
bool useVectorUnit(const char* name);

} // namespace tarnwick::pixelrow

#include "pixelrow.h"

// std
#include <cstring>

// SSE2 is the x86-64 baseline, so its intrinsics need no target attribute.
#include <emmintrin.h>

// The vector helpers below are always inlined into kernels compiled for
// their unit, so no vector ever crosses a call and the ABI note is moot.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tarnwick::pixelrow {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

// One body per kernel, written with vector types of `Bytes` bytes; each is
// compiled once for SSE2 (16 bytes) and once for AVX2 (32 bytes).
template <class U32, class U16>
struct VecOps {
    using u32 = U32;
    using u16 = U16;
    static constexpr int kPixels = sizeof(U32) / 4;

    [[gnu::always_inline]] static u32 load(const std::uint32_t* p)
    {
        u32 v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    [[gnu::always_inline]] static void store(std::uint32_t* p, const u32& v) { std::memcpy(p, &v, sizeof v); }
    [[gnu::always_inline]] static u32 splat(std::uint32_t x) { return u32{} + x; }
    [[gnu::always_inline]] static u16 splat16(std::uint16_t x) { return u16{} + x; }
    // x / 255 for x below 2^16 - 256.
    [[gnu::always_inline]] static u16 div255(const u16& x) { return (x + splat16(1) + (x >> 8)) >> 8; }
};

using Vec16 = VecOps<std::uint32_t __attribute__((vector_size(16))),
                     std::uint16_t __attribute__((vector_size(16)))>;
using Vec32 = VecOps<std::uint32_t __attribute__((vector_size(32))),
                     std::uint16_t __attribute__((vector_size(32)))>;

// The alphas of the next pixels as 16-bit lanes, each pixel's alpha in both
// of its lanes. Written per unit: gcc turns the generic byte shuffle into
// one shuffle on AVX2 but into byte-by-byte moves on SSE2.
[[gnu::always_inline]] inline Vec16::u16 widenAlphas(Vec16, const std::uint8_t* p)
{
    std::int32_t four;
    std::memcpy(&four, p, sizeof four);
    const __m128i words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), _mm_setzero_si128());
    return reinterpret_cast<Vec16::u16>(_mm_unpacklo_epi16(words, words));
}

[[gnu::always_inline]] inline Vec32::u16 widenAlphas(Vec32, const std::uint8_t* p)
{
    using u8x32 = std::uint8_t __attribute__((vector_size(32)));
    using u64x4 = std::uint64_t __attribute__((vector_size(32)));
    std::uint64_t eight;
    std::memcpy(&eight, p, sizeof eight);
    // Each 128-bit half holds the eight bytes; the low half takes pixels
    // 0-3 from its bytes 0-3, the high half pixels 4-7 from its bytes 4-7.
    const u8x32 bytes = reinterpret_cast<u8x32>(u64x4{} + eight);
    const u8x32 zero{};
    return reinterpret_cast<Vec32::u16>(__builtin_shufflevector(
        bytes, zero, 0, 32, 0, 32, 1, 32, 1, 32, 2, 32, 2, 32, 3, 32, 3, 32, 20, 32, 20, 32, 21, 32, 21, 32,
        22, 32, 22, 32, 23, 32, 23, 32));
}

template <class V>
[[gnu::always_inline]] inline void andBody(std::uint32_t* d, const std::uint32_t* s, int n)
{
    const auto opaque = V::splat(kOpaque);
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
        V::store(d + i, (V::load(d + i) & V::load(s + i)) | opaque);
    for (; i < n; ++i)
        d[i] = (d[i] & s[i]) | kOpaque;
}

template <class V>
[[gnu::always_inline]] inline void orBody(std::uint32_t* d, const std::uint32_t* s, int n)
{
    const auto opaque = V::splat(kOpaque);
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
        V::store(d + i, V::load(d + i) | V::load(s + i) | opaque);
    for (; i < n; ++i)
        d[i] = d[i] | s[i] | kOpaque;
}

template <class V>
[[gnu::always_inline]] inline void fillBody(std::uint32_t* d, int n, std::uint32_t colour)
{
    colour |= kOpaque;
    const auto c = V::splat(colour);
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
        V::store(d + i, c);
    for (; i < n; ++i)
        d[i] = colour;
}

// The channels are worked on as 16-bit lanes: the even bytes (blue, red)
// masked in place and the odd bytes (green, top) shifted down, so no lane
// ever needs widening. s*a + d*(255-a) + 127 stays below 2^16, and
// (x + 1 + (x >> 8)) >> 8 equals x / 255 for every such x. `Alpha` gives
// the alphas of the pixels from i on: lanes(i) as 16-bit lanes (both lanes
// of a pixel hold its alpha), at(i) for one pixel.
template <class V, class Alpha>
[[gnu::always_inline]] inline void blendBody(std::uint32_t* d, const std::uint32_t* s, int n,
                                             const Alpha& alpha)
{
    using u16 = typename V::u16;
    const u16 full = V::splat16(255);
    const u16 low = V::splat16(0x00FF);
    const u16 round = V::splat16(127);
    const auto opaque = V::splat(kOpaque);
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels) {
        const u16 va = alpha.lanes(i);
        const u16 vna = full - va;
        const u16 sv = reinterpret_cast<u16>(V::load(s + i));
        const u16 dv = reinterpret_cast<u16>(V::load(d + i));
        const u16 even = V::div255((sv & low) * va + (dv & low) * vna + round);
        const u16 odd = V::div255((sv >> 8) * va + (dv >> 8) * vna + round);
        V::store(d + i, reinterpret_cast<typename V::u32>(even | (odd << 8)) | opaque);
    }
    for (; i < n; ++i) {
        const std::uint32_t sp = s[i], dp = d[i], a = alpha.at(i);
        std::uint32_t out = kOpaque;
        for (int shift = 0; shift < 24; shift += 8)
            out |= blendChannel((sp >> shift) & 0xFF, (dp >> shift) & 0xFF, a) << shift;
        d[i] = out;
    }
}

// One alpha for the whole row.
template <class V>
struct ConstantAlpha {
    typename V::u16 splat;
    std::uint8_t a;
    [[gnu::always_inline]] typename V::u16 lanes(int) const { return splat; }
    [[gnu::always_inline]] std::uint32_t at(int) const { return a; }
};

// An alpha per pixel, widened from bytes to the pixel's two lanes.
template <class V>
struct PixelAlphas {
    const std::uint8_t* alphas;
    [[gnu::always_inline]] typename V::u16 lanes(int i) const { return widenAlphas(V{}, alphas + i); }
    [[gnu::always_inline]] std::uint32_t at(int i) const { return alphas[i]; }
};

template <class V>
[[gnu::always_inline]] inline void blendConstant(std::uint32_t* d, const std::uint32_t* s, int n,
                                                 std::uint8_t a)
{
    blendBody<V>(d, s, n, ConstantAlpha<V>{V::splat16(a), a});
}

template <class V>
[[gnu::always_inline]] inline void blendPixels(std::uint32_t* d, const std::uint32_t* s, int n,
                                               const std::uint8_t* alphas)
{
    blendBody<V>(d, s, n, PixelAlphas<V>{alphas});
}

struct Kernels {
    const char* name;
    void (*andRow)(std::uint32_t*, const std::uint32_t*, int);
    void (*orRow)(std::uint32_t*, const std::uint32_t*, int);
    void (*blendRow)(std::uint32_t*, const std::uint32_t*, int, std::uint8_t);
    void (*blendRowAlphas)(std::uint32_t*, const std::uint32_t*, int, const std::uint8_t*);
    void (*fillRow)(std::uint32_t*, int, std::uint32_t);
};

#define TARNWICK_KERNEL_SET(unit, attr, V)                                                     \
    attr void and_##unit(std::uint32_t* d, const std::uint32_t* s, int n) { andBody<V>(d, s, n); } \
    attr void or_##unit(std::uint32_t* d, const std::uint32_t* s, int n) { orBody<V>(d, s, n); } \
    attr void blend_##unit(std::uint32_t* d, const std::uint32_t* s, int n, std::uint8_t a)      \
    {                                                                                              \
        blendConstant<V>(d, s, n, a);                                                          \
    }                                                                                              \
    attr void blends_##unit(std::uint32_t* d, const std::uint32_t* s, int n, const std::uint8_t* a) \
    {                                                                                              \
        blendPixels<V>(d, s, n, a);                                                            \
    }                                                                                              \
    attr void fill_##unit(std::uint32_t* d, int n, std::uint32_t c) { fillBody<V>(d, n, c); } \
    const Kernels k_##unit{#unit, and_##unit, or_##unit, blend_##unit, blends_##unit, fill_##unit};

TARNWICK_KERNEL_SET(sse2, , Vec16)
TARNWICK_KERNEL_SET(avx2, [[gnu::target("avx2")]], Vec32)

#undef TARNWICK_KERNEL_SET

const Kernels* pickKernels()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &k_avx2 : &k_sse2;
}

const Kernels*& active()
{
    static const Kernels* kernels = pickKernels();
    return kernels;
}

} // namespace

void andRow(std::uint32_t* d, const std::uint32_t* s, int n) { active()->andRow(d, s, n); }
void orRow(std::uint32_t* d, const std::uint32_t* s, int n) { active()->orRow(d, s, n); }
void blendRow(std::uint32_t* d, const std::uint32_t* s, int n, std::uint8_t a)
{
    active()->blendRow(d, s, n, a);
}
void blendRowAlphas(std::uint32_t* d, const std::uint32_t* s, int n, const std::uint8_t* alphas)
{
    active()->blendRowAlphas(d, s, n, alphas);
}
void fillRow(std::uint32_t* d, int n, std::uint32_t colour) { active()->fillRow(d, n, colour); }

const char* vectorUnit() { return active()->name; }

bool useVectorUnit(const char* name)
{
    __builtin_cpu_init();
    if (std::strcmp(name, "sse2") == 0) {
        active() = &k_sse2;
        return true;
    }
    if (std::strcmp(name, "avx2") == 0 && __builtin_cpu_supports("avx2")) {
        active() = &k_avx2;
        return true;
    }
    return false;
}

} // namespace tarnwick::pixelrow

#include "pixelrow.h"

// std
#include <cstring>

// SSE2 is the x86-64 baseline, so its intrinsics need no target attribute;
// the wider units' helpers carry their target.
#include <immintrin.h>

// The vector helpers below are always inlined into kernels compiled for
// their unit, so no vector ever crosses a call and the ABI note is moot.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tarnwick::pixelrow {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

// One body per kernel, written with vector types of `Bytes` bytes; each is
// compiled once for SSE2 (16 bytes), once for AVX2 (32 bytes) and once for
// AVX-512BW (64 bytes).
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
};

using Vec16 = VecOps<std::uint32_t __attribute__((vector_size(16))),
                     std::uint16_t __attribute__((vector_size(16)))>;
using Vec32 = VecOps<std::uint32_t __attribute__((vector_size(32))),
                     std::uint16_t __attribute__((vector_size(32)))>;
using Vec64 = VecOps<std::uint32_t __attribute__((vector_size(64))),
                     std::uint16_t __attribute__((vector_size(64)))>;

// x / 255 for every 16-bit x: the high half of x * 0x8081, shifted right by
// 7, which is floor(x * 0x8081 / 2^23); the pixel-row test proves it for
// every blend input. Two operations where the sum-and-shift form takes four.
// Not always_inline: a helper with a target cannot be forced into the
// target-less bodies; the kernels are flattened, which inlines it there.
inline Vec16::u16 div255(Vec16, const Vec16::u16& x)
{
    return reinterpret_cast<Vec16::u16>(_mm_mulhi_epu16(reinterpret_cast<__m128i>(x), _mm_set1_epi16(-32639)))
        >> 7;
}
[[gnu::target("avx2")]] inline Vec32::u16 div255(Vec32, const Vec32::u16& x)
{
    return reinterpret_cast<Vec32::u16>(
               _mm256_mulhi_epu16(reinterpret_cast<__m256i>(x), _mm256_set1_epi16(-32639)))
        >> 7;
}
[[gnu::target("avx512bw")]] inline Vec64::u16 div255(Vec64, const Vec64::u16& x)
{
    return reinterpret_cast<Vec64::u16>(
               _mm512_mulhi_epu16(reinterpret_cast<__m512i>(x), _mm512_set1_epi16(-32639)))
        >> 7;
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
[[gnu::always_inline]] inline void copyBody(std::uint32_t* d, const std::uint32_t* s, int n)
{
    const auto opaque = V::splat(kOpaque);
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
        V::store(d + i, V::load(s + i) | opaque);
    for (; i < n; ++i)
        d[i] = s[i] | kOpaque;
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
// ever needs widening; s*a + u*(255-a) + 127 stays below 2^16. `Alpha`
// gives the alphas of the pixels from i on: lanes(i) as 16-bit lanes (both
// lanes of a pixel hold its alpha), at(i) for one pixel. The result of
// blending s over u goes to d.
template <class V, class Alpha>
[[gnu::always_inline]] inline void blendBody(std::uint32_t* d, const std::uint32_t* u, const std::uint32_t* s,
                                             int n, const Alpha& alpha)
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
        const u16 uv = reinterpret_cast<u16>(V::load(u + i));
        const u16 even = div255(V{}, (sv & low) * va + (uv & low) * vna + round);
        const u16 odd = div255(V{}, (sv >> 8) * va + (uv >> 8) * vna + round);
        V::store(d + i, reinterpret_cast<typename V::u32>(even | (odd << 8)) | opaque);
    }
    for (; i < n; ++i) {
        const std::uint32_t sp = s[i], up = u[i], a = alpha.at(i);
        std::uint32_t out = kOpaque;
        for (int shift = 0; shift < 24; shift += 8)
            out |= blendChannel((sp >> shift) & 0xFF, (up >> shift) & 0xFF, a) << shift;
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

// An alpha per pixel, already in both of its pixel's lanes.
template <class V>
struct PixelAlphas {
    const std::uint32_t* pairs;
    [[gnu::always_inline]] typename V::u16 lanes(int i) const
    {
        return reinterpret_cast<typename V::u16>(V::load(pairs + i));
    }
    [[gnu::always_inline]] std::uint32_t at(int i) const { return pairs[i] & 0xFF; }
};

template <class V>
[[gnu::always_inline]] inline void blendConstant(std::uint32_t* d, const std::uint32_t* u, const std::uint32_t* s,
                                                 int n, std::uint8_t a)
{
    blendBody<V>(d, u, s, n, ConstantAlpha<V>{V::splat16(a), a});
}

template <class V>
[[gnu::always_inline]] inline void blendPixels(std::uint32_t* d, const std::uint32_t* u, const std::uint32_t* s,
                                               int n, const std::uint32_t* pairs)
{
    blendBody<V>(d, u, s, n, PixelAlphas<V>{pairs});
}

struct Kernels {
    const char* name;
    void (*andRow)(std::uint32_t*, const std::uint32_t*, int);
    void (*orRow)(std::uint32_t*, const std::uint32_t*, int);
    void (*copyRow)(std::uint32_t*, const std::uint32_t*, int);
    void (*blendRow)(std::uint32_t*, const std::uint32_t*, const std::uint32_t*, int, std::uint8_t);
    void (*blendRowAlphas)(std::uint32_t*, const std::uint32_t*, const std::uint32_t*, int, const std::uint32_t*);
    void (*fillRow)(std::uint32_t*, int, std::uint32_t);
};

#define TARNWICK_KERNEL_SET(unit, target, V)                                                                  \
    [[gnu::flatten]] target void and_##unit(std::uint32_t* d, const std::uint32_t* s, int n) { andBody<V>(d, s, n); }          \
    [[gnu::flatten]] target void or_##unit(std::uint32_t* d, const std::uint32_t* s, int n) { orBody<V>(d, s, n); }            \
    [[gnu::flatten]] target void copy_##unit(std::uint32_t* d, const std::uint32_t* s, int n) { copyBody<V>(d, s, n); }        \
    [[gnu::flatten]] target void blend_##unit(std::uint32_t* d, const std::uint32_t* u, const std::uint32_t* s, int n,         \
                           std::uint8_t a)                                                                  \
    {                                                                                                       \
        blendConstant<V>(d, u, s, n, a);                                                                    \
    }                                                                                                       \
    [[gnu::flatten]] target void blends_##unit(std::uint32_t* d, const std::uint32_t* u, const std::uint32_t* s, int n,        \
                            const std::uint32_t* a)                                                         \
    {                                                                                                       \
        blendPixels<V>(d, u, s, n, a);                                                                      \
    }                                                                                                       \
    [[gnu::flatten]] target void fill_##unit(std::uint32_t* d, int n, std::uint32_t c) { fillBody<V>(d, n, c); }               \
    const Kernels k_##unit{#unit, and_##unit, or_##unit, copy_##unit, blend_##unit, blends_##unit, fill_##unit};

TARNWICK_KERNEL_SET(sse2, , Vec16)
TARNWICK_KERNEL_SET(avx2, __attribute__((target("avx2"))), Vec32)
TARNWICK_KERNEL_SET(avx512bw, __attribute__((target("avx512bw"))), Vec64)

#undef TARNWICK_KERNEL_SET

const Kernels* pickKernels()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw"))
        return &k_avx512bw;
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
void copyRow(std::uint32_t* d, const std::uint32_t* s, int n) { active()->copyRow(d, s, n); }
void blendRow(std::uint32_t* d, const std::uint32_t* s, int n, std::uint8_t a)
{
    active()->blendRow(d, d, s, n, a);
}
void blendRowOver(std::uint32_t* d, const std::uint32_t* under, const std::uint32_t* s, int n, std::uint8_t a)
{
    active()->blendRow(d, under, s, n, a);
}
void blendRowAlphas(std::uint32_t* d, const std::uint32_t* under, const std::uint32_t* s, int n,
                    const std::uint32_t* alphaPairs)
{
    active()->blendRowAlphas(d, under, s, n, alphaPairs);
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
    if (std::strcmp(name, "avx512bw") == 0 && __builtin_cpu_supports("avx512bw")) {
        active() = &k_avx512bw;
        return true;
    }
    return false;
}

} // namespace tarnwick::pixelrow

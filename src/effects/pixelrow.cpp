#include "pixelrow.h"

// std
#include <cstring>

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
// (x + 1 + (x >> 8)) >> 8 equals x / 255 for every such x.
template <class V>
[[gnu::always_inline]] inline void blendBody(std::uint32_t* d, const std::uint32_t* s, int n,
                                             std::uint8_t a)
{
    using u16 = typename V::u16;
    const u16 va = V::splat16(a);
    const u16 vna = V::splat16(static_cast<std::uint16_t>(255 - a));
    const u16 low = V::splat16(0x00FF);
    const u16 round = V::splat16(127);
    const auto opaque = V::splat(kOpaque);
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels) {
        const u16 sv = reinterpret_cast<u16>(V::load(s + i));
        const u16 dv = reinterpret_cast<u16>(V::load(d + i));
        const u16 even = V::div255((sv & low) * va + (dv & low) * vna + round);
        const u16 odd = V::div255((sv >> 8) * va + (dv >> 8) * vna + round);
        V::store(d + i, reinterpret_cast<typename V::u32>(even | (odd << 8)) | opaque);
    }
    for (; i < n; ++i) {
        const std::uint32_t sp = s[i], dp = d[i];
        std::uint32_t out = kOpaque;
        for (int shift = 0; shift < 24; shift += 8)
            out |= blendChannel((sp >> shift) & 0xFF, (dp >> shift) & 0xFF, a) << shift;
        d[i] = out;
    }
}

struct Kernels {
    const char* name;
    void (*andRow)(std::uint32_t*, const std::uint32_t*, int);
    void (*orRow)(std::uint32_t*, const std::uint32_t*, int);
    void (*blendRow)(std::uint32_t*, const std::uint32_t*, int, std::uint8_t);
    void (*fillRow)(std::uint32_t*, int, std::uint32_t);
};

#define TARNWICK_KERNEL_SET(unit, attr, V)                                                     \
    attr void and_##unit(std::uint32_t* d, const std::uint32_t* s, int n) { andBody<V>(d, s, n); } \
    attr void or_##unit(std::uint32_t* d, const std::uint32_t* s, int n) { orBody<V>(d, s, n); } \
    attr void blend_##unit(std::uint32_t* d, const std::uint32_t* s, int n, std::uint8_t a)      \
    {                                                                                              \
        blendBody<V>(d, s, n, a);                                                              \
    }                                                                                              \
    attr void fill_##unit(std::uint32_t* d, int n, std::uint32_t c) { fillBody<V>(d, n, c); } \
    const Kernels k_##unit{#unit, and_##unit, or_##unit, blend_##unit, fill_##unit};

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

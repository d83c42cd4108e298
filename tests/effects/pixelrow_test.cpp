// The row kernels on every vector unit this machine has: the blend is
// checked against its per-channel rule for every source byte, destination
// byte and alpha (so the shortcut for the division by 255 is proved for the
// whole input range), and every kernel for row lengths around the vector
// width, at unaligned addresses, without touching a pixel past the row.

// ours
#include "pixelrow.h"

#include <gtest/gtest.h>

// std
#include <cstdint>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

constexpr std::uint32_t kGuard = 0x5EC0FFEEu;

// Runs `check` once on each vector unit this machine has, then puts back
// the unit the kernels chose themselves.
template <class Check>
void onEveryUnit(Check check)
{
    const std::string chosen = pixelrow::vectorUnit();
    for (const char* unit : {"sse2", "avx2", "avx512bw"}) {
        if (!pixelrow::useVectorUnit(unit))
            continue;
        SCOPED_TRACE(unit);
        check();
    }
    pixelrow::useVectorUnit(chosen.c_str());
}

std::uint32_t channel(std::uint32_t p, int shift) { return (p >> shift) & 0xFF; }

// A pixel of `s` blended over `d` by the channel rule, made opaque.
std::uint32_t blendedPixel(std::uint32_t d, std::uint32_t s, std::uint32_t a)
{
    std::uint32_t p = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        p |= pixelrow::blendChannel(channel(s, shift), channel(d, shift), a) << shift;
    return p;
}

// The three colour channels of a pixel as (s, d) pairs: pixel number
// (hi << 8 | lo) carries a different arrangement of hi and lo in each
// channel, so every channel meets every pair, and a kernel that mixes up
// channels or lanes shows.
void exhaustivePair(std::uint32_t hi, std::uint32_t lo, std::uint32_t& s, std::uint32_t& d)
{
    s = (hi ^ lo) << 24 | (255 - hi) << 16 | lo << 8 | hi;
    d = (lo * 3 & 0xFF) << 24 | (lo ^ 0xA5) << 16 | hi << 8 | lo;
}

// Alphas that differ from pixel to pixel, for the per-pixel blend.
std::uint8_t pixelAlpha(int i) { return static_cast<std::uint8_t>(i * 37 + 11); }

// The row a blend over another row reads instead of its destination.
std::uint32_t underPixel(int i) { return 0x2468ACE0u ^ (0x01030507u * (i + 3)); }

} // namespace

TEST(PixelRow, BlendEqualsTheChannelRuleForEveryInput)
{
    constexpr int kPairs = 256 * 256;
    std::vector<std::uint32_t> src(kPairs), dst(kPairs), out(kPairs);
    for (std::uint32_t i = 0; i < kPairs; ++i)
        exhaustivePair(i >> 8, i & 0xFF, src[i], dst[i]);
    std::vector<std::uint8_t> alphas(kPairs);
    std::vector<std::uint32_t> pairs(kPairs);

    // Pass p blends every pixel with alpha p (one alpha for the row), or
    // pixel i with (p + 7 i) mod 256 (an alpha per pixel); over the 256
    // passes every pixel meets every alpha either way.
    for (const bool perPixel : {false, true}) {
        SCOPED_TRACE(perPixel ? "alpha per pixel" : "one alpha");
        onEveryUnit([&] {
            for (int pass = 0; pass <= 255; ++pass) {
                for (int i = 0; i < kPairs; ++i) {
                    alphas[i] = static_cast<std::uint8_t>(perPixel ? pass + 7 * i : pass);
                    pairs[i] = pixelrow::alphaPair(alphas[i]);
                }
                out = dst;
                if (perPixel)
                    pixelrow::blendRowAlphas(out.data(), out.data(), src.data(), kPairs, pairs.data());
                else
                    pixelrow::blendRow(out.data(), src.data(), kPairs, static_cast<std::uint8_t>(pass));
                int wrong = 0;
                for (int i = 0; i < kPairs && wrong < 5; ++i) {
                    const std::uint32_t expected = blendedPixel(dst[i], src[i], alphas[i]);
                    if (out[i] != expected) {
                        ++wrong;
                        ADD_FAILURE() << "pass " << pass << " pixel " << i << ": got " << std::hex << out[i]
                                      << " expected " << expected;
                    }
                }
            }
        });
    }
}

TEST(PixelRow, BlendRuleEndsAndRounding)
{
    struct Case { std::uint32_t s, d, a, expected; };
    const Case cases[] = {
        {255, 0, 255, 255}, // fully opaque takes the source
        {255, 0, 0, 0},     // fully transparent keeps the destination
        {0, 200, 1, 199},   // (200*254 + 127) / 255 = 199.7 -> 199
        {200, 0, 1, 1},     // (200 + 127) / 255 = 1.28 -> 1
        {1, 0, 128, 1},     // (128 + 127) / 255 = 1 exactly
        {1, 0, 127, 0},     // (127 + 127) / 255 just below 1
    };
    for (const Case& c : cases)
        EXPECT_EQ(pixelrow::blendChannel(c.s, c.d, c.a), c.expected) << c.s << " " << c.d << " " << c.a;
}

TEST(PixelRow, EveryKernelWritesExactlyItsRowAtAnyLengthAndAlignment)
{
    enum class Kernel { And, Or, Copy, Blend, BlendAlphas, BlendOver, Fill, BlendInPlace };
    struct Case {
        const char* name;
        Kernel kernel;
        // The expected pixel i from the destination and source pixels.
        std::uint32_t (*expect)(std::uint32_t d, std::uint32_t s, int i);
    };
    constexpr std::uint8_t kAlpha = 77;
    constexpr std::uint32_t kFill = 0x12345678u;
    const Case cases[] = {
        {"and", Kernel::And, [](std::uint32_t d, std::uint32_t s, int) { return (d & s) | 0xFF000000u; }},
        {"or", Kernel::Or, [](std::uint32_t d, std::uint32_t s, int) { return d | s | 0xFF000000u; }},
        {"copy", Kernel::Copy, [](std::uint32_t, std::uint32_t s, int) { return s | 0xFF000000u; }},
        {"fill", Kernel::Fill, [](std::uint32_t, std::uint32_t, int) { return kFill | 0xFF000000u; }},
        {"blend", Kernel::Blend, [](std::uint32_t d, std::uint32_t s, int) { return blendedPixel(d, s, kAlpha); }},
        {"blend alphas", Kernel::BlendAlphas,
         [](std::uint32_t d, std::uint32_t s, int i) {
             return blendedPixel(d, s, pixelAlpha(i));
         }},
        // Over another row: what was in d is not read.
        {"blend over", Kernel::BlendOver, [](std::uint32_t, std::uint32_t s, int i) {
             return blendedPixel(underPixel(i), s, kAlpha);
         }},
        // A row blended over itself keeps its colours and only turns opaque.
        {"blend in place", Kernel::BlendInPlace, [](std::uint32_t d, std::uint32_t, int) { return d | 0xFF000000u; }},
    };

    std::vector<std::uint32_t> pairs(40), under(40);
    for (int i = 0; i < 40; ++i) {
        pairs[i] = pixelrow::alphaPair(pixelAlpha(i));
        under[i] = underPixel(i);
    }
    onEveryUnit([&] {
        for (const Case& c : cases) {
            for (int offset = 0; offset < 3; ++offset) {
                for (int n = 0; n <= 37; ++n) {
                    SCOPED_TRACE(testing::Message() << c.name << " n " << n << " offset " << offset);
                    // One guard pixel on each side of the row.
                    std::vector<std::uint32_t> dst(n + offset + 2, kGuard), src(n + offset + 2, kGuard);
                    for (int i = 0; i < n; ++i) {
                        dst[offset + 1 + i] = 0x00C3A55Au * (i + 1) + 0x01020304u;
                        src[offset + 1 + i] = 0x7F3C9E11u ^ (0x01010101u * (i * 37 + 5));
                    }
                    const std::vector<std::uint32_t> before = dst;
                    std::uint32_t* d = dst.data() + offset + 1;
                    const std::uint32_t* s = src.data() + offset + 1;
                    switch (c.kernel) {
                    case Kernel::And: pixelrow::andRow(d, s, n); break;
                    case Kernel::Or: pixelrow::orRow(d, s, n); break;
                    case Kernel::Copy: pixelrow::copyRow(d, s, n); break;
                    case Kernel::Blend: pixelrow::blendRow(d, s, n, kAlpha); break;
                    case Kernel::BlendAlphas: pixelrow::blendRowAlphas(d, d, s, n, pairs.data()); break;
                    case Kernel::BlendOver: pixelrow::blendRowOver(d, under.data(), s, n, kAlpha); break;
                    case Kernel::Fill: pixelrow::fillRow(d, n, kFill); break;
                    case Kernel::BlendInPlace: pixelrow::blendRow(d, d, n, kAlpha); break;
                    }
                    EXPECT_EQ(dst[offset], kGuard);
                    EXPECT_EQ(dst[offset + n + 1], kGuard);
                    for (int i = 0; i < n; ++i)
                        ASSERT_EQ(d[i], c.expect(before[offset + 1 + i], s[i], i)) << "pixel " << i;
                }
            }
        }
    });
}

TEST(PixelRow, AskingForAMissingUnitChangesNothing)
{
    const std::string chosen = pixelrow::vectorUnit();
    EXPECT_FALSE(pixelrow::useVectorUnit("neon"));
    EXPECT_EQ(pixelrow::vectorUnit(), chosen);
}

// ours
#include "yuvconverter.h"

// std
#include <cstddef>

namespace tarnwick {

namespace {

// Fixed-point coefficients, 8 fraction bits, limited range (Y 16..235,
// U and V 16..240 around 128), as magnitudes: U takes red and green away
// and adds blue, V adds red and takes green and blue away.
struct Coefficients {
    std::uint16_t yr, yg, yb;
    std::uint16_t ur, ug, ub;
    std::uint16_t vr, vg, vb;
};
constexpr Coefficients kBt601{66, 129, 25, 38, 74, 112, 112, 94, 18};
constexpr Coefficients kBt709{47, 157, 16, 26, 86, 112, 112, 102, 10};
// 16 << 8 and 128 << 8, each with the rounding half.
constexpr std::uint16_t kLumaOffset = 4224;
constexpr std::uint16_t kChromaOffset = 32896;

// Every sum below stays within 16 bits (the chroma ones between 4336 and
// 61456, though a partial sum may wrap), so the arithmetic is done in 16
// bits: twice the lanes of 32-bit arithmetic, and multiplies that SSE2 has.
using u16 = std::uint16_t;

[[gnu::target_clones("avx2", "default")]] void lumaRow(const std::uint32_t* src, std::uint8_t* y, int width,
                                                       Coefficients c)
{
    for (int x = 0; x < width; ++x) {
        const std::uint32_t p = src[x];
        const u16 r = u16((p >> 16) & 0xFF), g = u16((p >> 8) & 0xFF), b = u16(p & 0xFF);
        const u16 sum = u16(u16(c.yr * r) + u16(c.yg * g) + u16(c.yb * b) + kLumaOffset);
        y[x] = static_cast<std::uint8_t>(sum >> 8);
    }
}

// One chroma row from two picture rows: each sample from the mean of its
// 2 x 2 pixels.
[[gnu::target_clones("avx2", "default")]] void chromaRow(const std::uint32_t* top, const std::uint32_t* bottom,
                                                         std::uint8_t* u, std::uint8_t* v, int width, Coefficients c)
{
    for (int x = 0; x < width / 2; ++x) {
        const std::uint32_t a = top[2 * x], b = top[2 * x + 1], d = bottom[2 * x], e = bottom[2 * x + 1];
        const u16 r = u16((((a >> 16) & 0xFF) + ((b >> 16) & 0xFF) + ((d >> 16) & 0xFF) + ((e >> 16) & 0xFF) + 2) >> 2);
        const u16 g = u16((((a >> 8) & 0xFF) + ((b >> 8) & 0xFF) + ((d >> 8) & 0xFF) + ((e >> 8) & 0xFF) + 2) >> 2);
        const u16 bl = u16(((a & 0xFF) + (b & 0xFF) + (d & 0xFF) + (e & 0xFF) + 2) >> 2);
        const u16 us = u16(u16(c.ub * bl) + kChromaOffset - u16(c.ur * r) - u16(c.ug * g));
        const u16 vs = u16(u16(c.vr * r) + kChromaOffset - u16(c.vg * g) - u16(c.vb * bl));
        u[x] = static_cast<std::uint8_t>(us >> 8);
        v[x] = static_cast<std::uint8_t>(vs >> 8);
    }
}

} // namespace

bool RgbToYuv420(const QImage& rgb, std::uint8_t* const planes[3], const int strides[3], bool bt709)
{
    const QImage::Format f = rgb.format();
    if ((f != QImage::Format_RGB32 && f != QImage::Format_ARGB32) || rgb.width() % 2 || rgb.height() % 2)
        return false;
    const Coefficients c = bt709 ? kBt709 : kBt601;
    const int w = rgb.width();
    for (int y = 0; y < rgb.height(); y += 2) {
        const auto* top = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        const auto* bottom = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y + 1));
        lumaRow(top, planes[0] + std::ptrdiff_t(y) * strides[0], w, c);
        lumaRow(bottom, planes[0] + std::ptrdiff_t(y + 1) * strides[0], w, c);
        chromaRow(top, bottom, planes[1] + std::ptrdiff_t(y / 2) * strides[1],
                  planes[2] + std::ptrdiff_t(y / 2) * strides[2], w, c);
    }
    return true;
}

} // namespace tarnwick

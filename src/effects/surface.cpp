#include "surface.h"

// ours
#include "pixelmask.h"
#include "pixelrow.h"

// Qt
#include <QPainter>

// std
#include <algorithm>
#include <cstring>

namespace tarnwick {

Surface::Surface(int width, int height) { resize(width, height); }

void Surface::resize(int width, int height)
{
    m_image = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    m_picture = QImage();
    m_image.fill(QColor::fromRgb(m_backColor));
}

void Surface::setPicture(const QImage& picture)
{
    if (picture.isNull()) {
        m_picture = QImage();
    } else {
        m_picture = QImage(m_image.size(), QImage::Format_RGB32);
        m_picture.fill(QColor::fromRgb(m_backColor));
        QPainter p(&m_picture);
        p.drawImage(0, 0, picture);
    }
    clear();
}

void Surface::setPictureFromImage() { m_picture = m_image.copy(); }

void Surface::clear()
{
    if (m_picture.isNull())
        m_image.fill(QColor::fromRgb(m_backColor));
    else if (m_image.size() == m_picture.size() && m_image.bytesPerLine() == m_picture.bytesPerLine())
        // Into the image's own buffer: a fresh copy would allocate a whole
        // frame, every frame of a fade.
        std::memcpy(m_image.bits(), m_picture.constBits(), static_cast<std::size_t>(m_image.sizeInBytes()));
    else
        m_image = m_picture.copy();
}

void Surface::setBackColor(std::uint32_t rgb)
{
    m_backColor = rgb & 0xFFFFFFu;
    clear();
}

void Surface::clearTo(std::uint32_t rgb)
{
    m_picture = QImage();
    setBackColor(rgb);
}

namespace {

// Clips a w x h copy from (sx, sy) in a src_w x src_h surface to (x, y) in a
// dst_w x dst_h surface; false when nothing is left.
bool clipCopy(int& x, int& y, int& w, int& h, int& sx, int& sy, int dw, int dh, int sw, int sh)
{
    if (w < 1 || h < 1)
        return false;
    const int left = std::max({0, -x, -sx});
    const int top = std::max({0, -y, -sy});
    x += left, sx += left, w -= left;
    y += top, sy += top, h -= top;
    w = std::min({w, dw - x, sw - sx});
    h = std::min({h, dh - y, sh - sy});
    return w > 0 && h > 0;
}

using RowOp = void (*)(std::uint32_t* d, const std::uint32_t* s, int n);

void copyRow(std::uint32_t* d, const std::uint32_t* s, int n) { std::copy(s, s + n, d); }

RowOp rowOpOf(Rop rop)
{
    switch (rop) {
    case Rop::SrcAnd:
        return pixelrow::andRow;
    case Rop::SrcPaint:
        return pixelrow::orRow;
    case Rop::SrcCopy:
        break;
    }
    return copyRow;
}

// Runs `rowFn(d, s, w)` over the rows of a clipped w x h rectangle at (x, y)
// in dst and (sx, sy) in src. Within one surface the rows read the source
// as it was, so overlapping rectangles never see their own writes. Row
// pointers step by the stride: asking the image for each row checks for
// sharing every time, which narrow copies feel.
template <typename RowFn>
void forEachRow(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, RowFn rowFn)
{
    const bool same = &dst == &src;
    const QImage copy = same ? src.image().copy(sx, sy, w, h) : QImage();
    const QImage& simg = same ? copy : src.image();
    const std::uint32_t* s = reinterpret_cast<const std::uint32_t*>(simg.constBits());
    if (!same)
        s += static_cast<std::size_t>(sy) * (simg.bytesPerLine() / 4) + sx;
    const std::size_t sStride = static_cast<std::size_t>(simg.bytesPerLine()) / 4;
    std::uint32_t* d = dst.row(y) + x;
    const std::size_t dStride = static_cast<std::size_t>(dst.image().bytesPerLine()) / 4;
    for (int j = 0; j < h; ++j, d += dStride, s += sStride)
        rowFn(d, s, w);
}

} // namespace

void bitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, Rop rop)
{
    if (!clipCopy(x, y, w, h, sx, sy, dst.width(), dst.height(), src.width(), src.height()))
        return;
    const RowOp op = rowOpOf(rop);
    forEachRow(dst, x, y, w, h, src, sx, sy, [op](std::uint32_t* d, const std::uint32_t* s, int n) { op(d, s, n); });
}

namespace {

std::uint32_t blendPixel(std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    const auto channel = [&](int shift) {
        return pixelrow::blendChannel((s >> shift) & 0xFF, (d >> shift) & 0xFF, a) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

// Different sizes: each destination pixel takes the source pixel under its
// centre.
void blendStretched(Surface& dst, int x, int y, int w, int h, const QImage& simg, int sx, int sy,
                    int sw, int sh, std::uint8_t alpha)
{
    for (int j = 0; j < h; ++j) {
        const int dy = y + j;
        const int syj = sy + static_cast<int>((static_cast<long long>(j) * 2 + 1) * sh / (2LL * h));
        if (dy < 0 || dy >= dst.height() || syj < 0 || syj >= simg.height())
            continue;
        const auto* s = reinterpret_cast<const std::uint32_t*>(simg.constScanLine(syj));
        std::uint32_t* d = dst.row(dy);
        for (int i = 0; i < w; ++i) {
            const int dx = x + i;
            const int sxi = sx + static_cast<int>((static_cast<long long>(i) * 2 + 1) * sw / (2LL * w));
            if (dx < 0 || dx >= dst.width() || sxi < 0 || sxi >= simg.width())
                continue;
            d[dx] = blendPixel(s[sxi], d[dx], alpha);
        }
    }
}

} // namespace

void alphaBlend(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh, std::uint8_t alpha)
{
    if (w < 1 || h < 1 || sw < 1 || sh < 1)
        return;
    const bool same = &dst == &src;
    if (w != sw || h != sh) {
        const QImage srcCopy = same ? src.image().copy() : QImage();
        blendStretched(dst, x, y, w, h, same ? srcCopy : src.image(), sx, sy, sw, sh, alpha);
        return;
    }
    // Equal sizes map pixel to pixel, so the rectangle clips like a copy.
    if (!clipCopy(x, y, w, h, sx, sy, dst.width(), dst.height(), src.width(), src.height()))
        return;
    forEachRow(dst, x, y, w, h, src, sx, sy,
               [alpha](std::uint32_t* d, const std::uint32_t* s, int n) { pixelrow::blendRow(d, s, n, alpha); });
}

void fillMask(Surface& s, const PixelMask& mask, std::uint32_t rgb)
{
    const auto [first, last] = mask.rowRange(s.height());
    PixelSpan spans[2];
    for (int py = first; py <= last; ++py) {
        const int n = mask.rowSpans(py, s.width(), spans);
        for (int k = 0; k < n; ++k)
            pixelrow::fillRow(s.row(py) + spans[k].begin, spans[k].end - spans[k].begin, rgb);
    }
}

} // namespace tarnwick

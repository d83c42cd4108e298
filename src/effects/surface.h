#pragma once
// A pixel surface of the effects engine: what a picture box with a persistent
// image is to the engine. It has a size, a current image (what is drawn and
// shown) and a persistent picture (what a clear brings back).

// Qt
#include <QImage>

// std
#include <cstdint>

namespace tarnwick {

class PixelMask;

// Raster operations of bitBlt, with their classic codes.
enum class Rop : std::uint32_t {
    SrcCopy = 0x00CC0020,  // dst = src
    SrcAnd = 0x008800C6,   // dst = dst & src
    SrcPaint = 0x00EE0086, // dst = dst | src
};

class Surface {
public:
    Surface() = default;
    Surface(int width, int height);

    // Pixel size. ScaleWidth/ScaleHeight are the same sizes as single
    // precision values, the form in which the effects read them.
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    float ScaleWidth() const { return static_cast<float>(width()); }
    float ScaleHeight() const { return static_cast<float>(height()); }

    // Resizes the surface; the current image becomes the back colour and the
    // picture is dropped.
    void resize(int width, int height);

    // Sets the persistent picture and the current image to `picture`, drawn
    // unscaled at (0, 0) over the back colour. A null image is "nothing".
    void setPicture(const QImage& picture);
    // "Set the picture to nothing": drops the picture and clears to the back
    // colour.
    void setPictureToNothing() { setPicture(QImage()); }
    // Makes the current image the persistent picture.
    void setPictureFromImage();
    bool hasPicture() const { return !m_picture.isNull(); }
    const QImage& picture() const { return m_picture; }

    // Restores the current image from the picture (back colour where there
    // is none).
    void clear();
    // Sets the back colour (0xRRGGBB) and clears, as setting a picture box's
    // back colour does: without a picture the whole surface takes the colour.
    void setBackColor(std::uint32_t rgb);
    // Drops the picture and sets the back colour, so the whole surface takes
    // the colour: setPictureToNothing() then setBackColor(rgb), filling the
    // surface once instead of twice.
    void clearTo(std::uint32_t rgb);
    std::uint32_t backColor() const { return m_backColor; }

    bool visible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    // The current image, Format_RGB32 (0xffRRGGBB per pixel).
    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }
    std::uint32_t* row(int y) { return reinterpret_cast<std::uint32_t*>(m_image.scanLine(y)); }
    const std::uint32_t* row(int y) const
    {
        return reinterpret_cast<const std::uint32_t*>(m_image.constScanLine(y));
    }
    std::uint32_t pixel(int x, int y) const { return row(y)[x] & 0x00FFFFFFu; }

private:
    QImage m_image;
    QImage m_picture;
    std::uint32_t m_backColor = 0x000000;
    bool m_visible = true;
};

// Copies the w x h rectangle at (sx, sy) of src to (x, y) of dst with the
// raster operation. w or h below 1 draws nothing; only pixels whose
// destination and source both lie inside their surfaces are written. src and
// dst may be the same surface.
void bitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
            Rop rop = Rop::SrcCopy);

// Blends the sw x sh rectangle at (sx, sy) of src over the w x h rectangle at
// (x, y) of dst with the constant alpha: per channel
// d = (s*a + d*(255-a) + 127) / 255. Equal sizes copy 1:1, different sizes
// stretch the source by nearest neighbour. Clipped like bitBlt.
void alphaBlend(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh, std::uint8_t alpha);

// Sets the pixels of `mask` (see pixelmask.h for which they are) to the
// colour 0xRRGGBB, row run by row run; the rest of the surface is left as
// it is. Called by the effects on the engine's thread.
void fillMask(Surface& s, const PixelMask& mask, std::uint32_t rgb);

} // namespace tarnwick

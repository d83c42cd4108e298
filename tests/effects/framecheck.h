#pragma once
// Compares a frame with a picture worked out pixel by pixel in the test and
// names the first pixel that differs, so a failing geometry test says where
// it went wrong.

// Qt
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

// std
#include <functional>

namespace tarnwick::test {

// `want(x, y)` gives the expected 0xRRGGBB of each pixel.
inline testing::AssertionResult frameIs(const QImage& frame, const std::function<QRgb(int, int)>& want)
{
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb got = frame.pixel(x, y) & 0xFFFFFFu;
            const QRgb expected = want(x, y) & 0xFFFFFFu;
            if (got != expected)
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << QString::number(got, 16).toStdString()
                       << ", expected " << QString::number(expected, 16).toStdString();
        }
    }
    return testing::AssertionSuccess();
}

// The pixel of `img` as 0xRRGGBB.
inline QRgb rgbAt(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

} // namespace tarnwick::test

#pragma once

#include <QRect>

// Window geometry is laid down in twips: 1/1440 inch, 15 to a pixel at 96 dpi.
constexpr int twipsPerPixel = 15;

constexpr int pixelsFromTwips(double twips)
{
    return int(twips / twipsPerPixel + (twips >= 0 ? 0.5 : -0.5));
}
constexpr double twipsFromPixels(int pixels) { return double(pixels) * twipsPerPixel; }

constexpr QRect rectFromTwips(int left, int top, int width, int height)
{
    return {pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
            pixelsFromTwips(height)};
}

#pragma once
// Window lengths are laid out in twips (1/1440 inch); at 96 dots per inch
// fifteen of them make one pixel.

#include <QRect>
#include <QSize>

namespace window {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / kTwipsPerPixel; }

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top),
                 twipsToPixels(width), twipsToPixels(height));
}

} // namespace window

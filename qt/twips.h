#pragma once
// Window lengths are laid out in twips; the window is drawn at 96 dots per
// inch, where fifteen of them make one pixel.

#include "form1_layout.h"

#include <QRect>

namespace qtui {

constexpr QRect twipsRect(const app::ControlLayout& control) {
    return QRect(app::twipsToPixels(control.left), app::twipsToPixels(control.top),
                 app::twipsToPixels(control.width), app::twipsToPixels(control.height));
}

} // namespace qtui

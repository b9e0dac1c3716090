#pragma once

#include <QRect>

namespace rusena {

/// Layouts are laid out in twips, 15 to a device-independent pixel; Qt scales pixels
/// for high-DPI screens. Rounds to the nearest pixel.
constexpr int px(int twips)
{
    return twips >= 0 ? (twips * 2 + 15) / 30 : -((-twips * 2 + 15) / 30);
}

/// A rectangle given as left, top, width, height in twips.
constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace rusena

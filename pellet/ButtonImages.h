#pragma once

// Internal to libpellet: the built-in images of the OK and Cancel buttons.

#include <QImage>

namespace ButtonImages {

// picButtons order: 0 Cancel large, 1 Cancel small, 2 OK large, 3 OK small.
enum Index { CancelLarge = 0, CancelSmall = 1, OkLarge = 2, OkSmall = 3 };

// Large images suit buttons 36 pixels high or more, small ones lower buttons.
constexpr int LargeSize = 32;
constexpr int SmallSize = 16;

// The image, drawn once on first use (premultiplied ARGB with a transparent background).
const QImage &image(int index);

} // namespace ButtonImages

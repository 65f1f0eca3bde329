#pragma once

#include <cmath>

// Forms measure in twips; the screen in pixels. Fifteen twips make a pixel.
namespace twips {
inline constexpr int PerPixel = 15;
inline int toPixels(double t) {
    return static_cast<int>(std::lround(t / PerPixel));
}
inline double fromPixels(int px) {
    return static_cast<double>(px) * PerPixel;
}
} // namespace twips

#include "gui/Bitmap.h"

#include <algorithm>

namespace gui {

void Bitmap::Resize(int32_t width, int32_t height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<size_t>(width_) * height_, 0xFF000000u);
}

void Bitmap::Blend(int32_t x, int32_t y, Color color, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !(coverage > 0.0f)) return;
    const float alpha = std::min(coverage, 1.0f) * (color.a / 255.0f);
    uint32_t& pixel = pixels_[static_cast<size_t>(y) * width_ + x];
    auto mix = [alpha](uint32_t under, uint8_t over) {
        return static_cast<uint32_t>(static_cast<float>(under) + (static_cast<float>(over) - under) * alpha + 0.5f);
    };
    const uint32_t r = mix((pixel >> 16) & 0xFF, color.r), g = mix((pixel >> 8) & 0xFF, color.g),
                   b = mix(pixel & 0xFF, color.b);
    pixel = 0xFF000000u | r << 16 | g << 8 | b;
}

}  // namespace gui

#pragma once
// The editor's drawing surface: 32-bit pixels, 0xAARRGGBB, row by row from
// the top. The window system shows it as it is; tests and the demo read it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gui {

struct Color {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    // From 0xRRGGBB, opaque.
    static constexpr Color Rgb(uint32_t rgb) {
        return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), 255};
    }
    constexpr Color WithAlpha(uint8_t alpha) const { return {r, g, b, alpha}; }
    uint32_t Packed() const { return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
};

class Bitmap {
public:
    Bitmap(int32_t width = 0, int32_t height = 0) { Resize(width, height); }
    void Resize(int32_t width, int32_t height);
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint32_t At(int32_t x, int32_t y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    uint32_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }
    // Blends `color` at `coverage` (0..1) over the pixel; outside does nothing.
    void Blend(int32_t x, int32_t y, Color color, float coverage);

private:
    int32_t width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace gui

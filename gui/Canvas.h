#pragma once
// Drawing in logical units onto a bitmap: anti-aliased shapes and text at a
// scale of 1x to 2x (HiDPI), clipped to a rectangle. [main-thread]

#include <string>
#include <vector>

#include "gui/Bitmap.h"

namespace gui {

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
    bool Contains(double px, double py) const { return px >= x && py >= y && px < Right() && py < Bottom(); }
    Rect Inset(double by) const { return {x + by, y + by, width - 2 * by, height - 2 * by}; }
};

enum class Align { Left, Centre, Right };

class Canvas {
public:
    explicit Canvas(Bitmap& bitmap, double scale = 1.0);

    double Scale() const { return scale_; }
    Bitmap& Target() { return bitmap_; }
    // Drawing stays inside the intersection of the pushed rectangles.
    void PushClip(const Rect& rect);
    void PopClip();

    void Clear(Color color);
    void FillRect(const Rect& rect, Color color);
    void FillRoundedRect(const Rect& rect, double radius, Color color);
    void StrokeRoundedRect(const Rect& rect, double radius, double width, Color color);
    void FillCircle(double cx, double cy, double radius, Color color);
    void Line(double x0, double y0, double x1, double y1, double width, Color color);
    // An arc of a circle from angle `from` to `to` (radians, clockwise from
    // twelve o'clock, to >= from), with round ends.
    void Arc(double cx, double cy, double radius, double from, double to, double width, Color color);
    // Straight segments through the points (a curve or a graph).
    void Polyline(const std::vector<double>& xy, double width, Color color);

    // Text in `box`, vertically centred, aligned as asked.
    void Text(const Rect& box, const std::string& utf8, double size, Color color, Align align = Align::Left);
    double TextWidth(const std::string& utf8, double size) const;

private:
    struct PixelBox {
        int32_t left, top, right, bottom;
    };
    // Pixels a shape in device units may touch, inside the clip.
    PixelBox Cover(double left, double top, double right, double bottom) const;
    // Blends every pixel whose centre lies at signed distance d from the
    // shape's edge (negative inside) with coverage 0.5 - d.
    template <class Distance>
    void FillByDistance(const PixelBox& box, Color color, Distance&& distance);

    Bitmap& bitmap_;
    double scale_;
    std::vector<PixelBox> clips_;
};

}  // namespace gui

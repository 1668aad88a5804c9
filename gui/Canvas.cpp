#include "gui/Canvas.h"

#include <algorithm>
#include <cmath>

#include "gui/Font.h"

namespace gui {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Distance from p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Signed distance to a rounded rectangle (negative inside).
double RoundedRectDistance(double px, double py, double left, double top, double right, double bottom, double radius) {
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    const double qx = std::abs(px - cx) - hx, qy = std::abs(py - cy) - hy;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

}  // namespace

Canvas::Canvas(Bitmap& bitmap, double scale) : bitmap_(bitmap), scale_(std::clamp(scale, 1.0, 2.0)) {
    clips_.push_back({0, 0, bitmap.Width(), bitmap.Height()});
}

void Canvas::PushClip(const Rect& rect) {
    const PixelBox& outer = clips_.back();
    PixelBox box{static_cast<int32_t>(std::floor(rect.x * scale_)), static_cast<int32_t>(std::floor(rect.y * scale_)),
                 static_cast<int32_t>(std::ceil(rect.Right() * scale_)),
                 static_cast<int32_t>(std::ceil(rect.Bottom() * scale_))};
    box = {std::max(box.left, outer.left), std::max(box.top, outer.top), std::min(box.right, outer.right),
           std::min(box.bottom, outer.bottom)};
    clips_.push_back(box);
}

void Canvas::PopClip() {
    if (clips_.size() > 1) clips_.pop_back();
}

Canvas::PixelBox Canvas::Cover(double left, double top, double right, double bottom) const {
    const PixelBox& clip = clips_.back();
    return {std::max(static_cast<int32_t>(std::floor(left)), clip.left),
            std::max(static_cast<int32_t>(std::floor(top)), clip.top),
            std::min(static_cast<int32_t>(std::ceil(right)), clip.right),
            std::min(static_cast<int32_t>(std::ceil(bottom)), clip.bottom)};
}

template <class Distance>
void Canvas::FillByDistance(const PixelBox& box, Color color, Distance&& distance) {
    for (int32_t y = box.top; y < box.bottom; ++y)
        for (int32_t x = box.left; x < box.right; ++x) {
            const double coverage = 0.5 - distance(x + 0.5, y + 0.5);
            if (coverage > 0.0) bitmap_.Blend(x, y, color, static_cast<float>(std::min(coverage, 1.0)));
        }
}

void Canvas::Clear(Color color) {
    const PixelBox& clip = clips_.back();
    for (int32_t y = clip.top; y < clip.bottom; ++y)
        std::fill(bitmap_.Row(y) + clip.left, bitmap_.Row(y) + clip.right, color.Packed() | 0xFF000000u);
}

void Canvas::FillRect(const Rect& rect, Color color) { FillRoundedRect(rect, 0.0, color); }

void Canvas::FillRoundedRect(const Rect& rect, double radius, Color color) {
    const double l = rect.x * scale_, t = rect.y * scale_, r = rect.Right() * scale_, b = rect.Bottom() * scale_;
    const double rr = std::clamp(radius * scale_, 0.0, std::min(r - l, b - t) / 2);
    const PixelBox box = Cover(l, t, r, b);
    for (int32_t y = box.top; y < box.bottom; ++y) {
        // Pixels whose square lies wholly inside (away from the corners) are
        // filled at once; only the rim is measured.
        const double cy = y + 0.5;
        const bool middleRow = cy - 0.5 >= t + rr && cy + 0.5 <= b - rr;
        const bool innerRow = cy - 0.5 >= t && cy + 0.5 <= b;
        const double inset = middleRow ? 0.0 : rr;
        int32_t fullFrom = innerRow ? static_cast<int32_t>(std::ceil(l + inset)) : box.right;
        int32_t fullTo = innerRow ? static_cast<int32_t>(std::floor(r - inset)) : box.right;
        fullFrom = std::clamp(fullFrom, box.left, box.right);
        fullTo = std::clamp(fullTo, fullFrom, box.right);
        for (int32_t x = box.left; x < box.right; ++x) {
            if (x == fullFrom && fullTo > fullFrom) {
                if (color.a == 255)
                    std::fill(bitmap_.Row(y) + fullFrom, bitmap_.Row(y) + fullTo, color.Packed());
                else
                    for (int32_t i = fullFrom; i < fullTo; ++i) bitmap_.Blend(i, y, color, 1.0f);
                x = fullTo - 1;
                continue;
            }
            const double coverage = 0.5 - RoundedRectDistance(x + 0.5, cy, l, t, r, b, rr);
            if (coverage > 0.0) bitmap_.Blend(x, y, color, static_cast<float>(std::min(coverage, 1.0)));
        }
    }
}

void Canvas::StrokeRoundedRect(const Rect& rect, double radius, double width, Color color) {
    const double l = rect.x * scale_, t = rect.y * scale_, r = rect.Right() * scale_, b = rect.Bottom() * scale_;
    const double rr = std::clamp(radius * scale_, 0.0, std::min(r - l, b - t) / 2), half = width * scale_ / 2;
    FillByDistance(Cover(l - half, t - half, r + half, b + half), color,
                   [&](double px, double py) { return std::abs(RoundedRectDistance(px, py, l, t, r, b, rr)) - half; });
}

void Canvas::FillCircle(double cx, double cy, double radius, Color color) {
    const double x = cx * scale_, y = cy * scale_, r = radius * scale_;
    FillByDistance(Cover(x - r, y - r, x + r, y + r), color,
                   [&](double px, double py) { return std::hypot(px - x, py - y) - r; });
}

void Canvas::Line(double x0, double y0, double x1, double y1, double width, Color color) {
    const double ax = x0 * scale_, ay = y0 * scale_, bx = x1 * scale_, by = y1 * scale_, half = width * scale_ / 2;
    FillByDistance(
        Cover(std::min(ax, bx) - half, std::min(ay, by) - half, std::max(ax, bx) + half, std::max(ay, by) + half),
        color, [&](double px, double py) { return SegmentDistance(px, py, ax, ay, bx, by) - half; });
}

void Canvas::Arc(double cx, double cy, double radius, double from, double to, double width, Color color) {
    const double x = cx * scale_, y = cy * scale_, r = radius * scale_, half = width * scale_ / 2;
    const double sweep = std::clamp(to - from, 0.0, 2 * Pi);
    const double ex0 = x + r * std::sin(from), ey0 = y - r * std::cos(from);
    const double ex1 = x + r * std::sin(from + sweep), ey1 = y - r * std::cos(from + sweep);
    FillByDistance(Cover(x - r - half, y - r - half, x + r + half, y + r + half), color, [&](double px, double py) {
        const double ring = std::abs(std::hypot(px - x, py - y) - r) - half;
        if (ring >= 0.5) return ring;  // the ends lie on the ring too: nothing reaches this pixel
        double angle = std::atan2(px - x, -(py - y)) - from;  // clockwise from twelve o'clock
        angle -= 2 * Pi * std::floor(angle / (2 * Pi));
        if (angle <= sweep) return std::abs(std::hypot(px - x, py - y) - r) - half;
        return std::min(std::hypot(px - ex0, py - ey0), std::hypot(px - ex1, py - ey1)) - half;
    });
}

void Canvas::Polyline(const std::vector<double>& xy, double width, Color color) {
    if (xy.size() < 4) return;
    const double half = width * scale_ / 2, s = scale_;
    double left = xy[0], right = xy[0], top = xy[1], bottom = xy[1];
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        left = std::min(left, xy[i]);
        right = std::max(right, xy[i]);
        top = std::min(top, xy[i + 1]);
        bottom = std::max(bottom, xy[i + 1]);
    }
    const PixelBox box = Cover(left * s - half, top * s - half, right * s + half, bottom * s + half);
    if (box.right <= box.left || box.bottom <= box.top) return;
    // Each segment measures only the pixels near it; a pixel keeps the
    // coverage of its nearest segment and is blended once, so joints are
    // not blended twice.
    const int32_t columns = box.right - box.left;
    std::vector<float> coverage(static_cast<size_t>(columns) * static_cast<size_t>(box.bottom - box.top), 0.0f);
    for (size_t i = 0; i + 3 < xy.size(); i += 2) {
        const double ax = xy[i] * s, ay = xy[i + 1] * s, bx = xy[i + 2] * s, by = xy[i + 3] * s;
        const PixelBox near = Cover(std::min(ax, bx) - half - 1, std::min(ay, by) - half - 1,
                                    std::max(ax, bx) + half + 1, std::max(ay, by) + half + 1);
        for (int32_t y = std::max(near.top, box.top); y < std::min(near.bottom, box.bottom); ++y)
            for (int32_t x = std::max(near.left, box.left); x < std::min(near.right, box.right); ++x) {
                const double reach = 0.5 - (SegmentDistance(x + 0.5, y + 0.5, ax, ay, bx, by) - half);
                float& kept = coverage[static_cast<size_t>(y - box.top) * columns + (x - box.left)];
                kept = std::max(kept, static_cast<float>(std::clamp(reach, 0.0, 1.0)));
            }
    }
    for (int32_t y = box.top; y < box.bottom; ++y)
        for (int32_t x = box.left; x < box.right; ++x) {
            const float kept = coverage[static_cast<size_t>(y - box.top) * columns + (x - box.left)];
            if (kept > 0.0f) bitmap_.Blend(x, y, color, kept);
        }
}

double Canvas::TextWidth(const std::string& utf8, double size) const {
    return Font::Default().Width(utf8, size * scale_) / scale_;
}

void Canvas::Text(const Rect& box, const std::string& utf8, double size, Color color, Align align) {
    Font& font = Font::Default();
    const double px = size * scale_;
    const double width = font.Width(utf8, px);
    const double left = box.x * scale_, right = box.Right() * scale_;
    const double x = align == Align::Left ? left : align == Align::Right ? right - width : (left + right - width) / 2;
    const double baseline = (box.y + box.height / 2) * scale_ + (font.Ascent(px) - font.Descent(px)) / 2;
    PushClip(box);
    const PixelBox& clip = clips_.back();
    font.Draw(bitmap_, std::round(x * 4) / 4, baseline, utf8, px, color, clip.left, clip.top, clip.right, clip.bottom);
    PopClip();
}

}  // namespace gui

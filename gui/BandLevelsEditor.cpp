#include "gui/BandLevelsEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/Buttons.h"
#include "gui/HelpTexts.h"
#include "gui/Style.h"

namespace gui {

std::string BarGraph::GainText(double level) {
    if (level <= 0.0) return "-inf dB";
    const double db = 40.0 * std::log10(level);  // the square of the level is the gain
    if (std::abs(db) < 0.05) return "0 dB";
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f dB", db);
    return text;
}

int32_t BarGraph::BandAt(double x) const {
    const int32_t n = bands_.BandCount();
    const Rect plot = Plot();
    if (n <= 0 || x < plot.x || x >= plot.Right()) return -1;
    return std::min(static_cast<int32_t>((x - plot.x) / plot.width * n), n - 1);
}

double BarGraph::LevelAt(double y) const {
    const Rect plot = Plot();
    return std::clamp((plot.Bottom() - y) / plot.height * BandAccess::MaxLevel, 0.0, BandAccess::MaxLevel);
}

void BarGraph::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect plot = Plot();
    canvas.FillRect(plot, style.background);
    const int32_t n = bands_.BandCount();
    if (n <= 0) return;
    const double width = plot.width / n, gap = width >= 5 ? 1.5 : 0;
    const std::vector<double> levels = bands_.Levels();
    for (int32_t b = 0; b < n && b < static_cast<int32_t>(levels.size()); ++b) {
        const double height = levels[b] / BandAccess::MaxLevel * plot.height;
        canvas.FillRect({plot.x + b * width + gap / 2, plot.Bottom() - height, width - gap, height},
                        b == touched_ ? style.warm : style.accent);
    }
    // Guides at +12, +6, 0, -6 and -12 dB, over the bars.
    for (const double level : {2.0, 1.4142135623730951, 1.0, 0.7071067811865476, 0.5}) {
        const double y = plot.Bottom() - level / BandAccess::MaxLevel * plot.height;
        canvas.Line(plot.x, y, plot.Right(), y, 1, (level == 1.0 ? style.pointer : style.background).WithAlpha(110));
        canvas.Text({bounds_.x, y - 7, 40, 14}, GainText(level), style.valueSize - 1, style.dimText, Align::Right);
    }
    const int32_t step = n <= 16 ? 1 : n <= 40 ? 4 : 10;
    for (int32_t b = 0; b < n; b += step)
        canvas.Text({plot.x + b * width - 10, plot.Bottom() + 4, width + 20, 14}, std::to_string(b + 1),
                    style.valueSize, style.dimText, Align::Centre);
}

bool BarGraph::MouseDown(const MouseEvent& event) {
    const int32_t band = BandAt(event.x);
    if (band < 0 || !Plot().Contains(event.x, event.y)) return false;
    touched_ = band;
    if (event.doubleClick) {
        bands_.SetLevel(band, 1.0);
        return true;
    }
    drawing_ = true;
    lastX_ = event.x;
    lastY_ = event.y;
    DrawTo(event.x, event.y);
    return true;
}

void BarGraph::MouseDrag(const MouseEvent& event) {
    if (!drawing_) return;
    DrawTo(event.x, event.y);
    lastX_ = event.x;
    lastY_ = event.y;
}

void BarGraph::DrawTo(double x, double y) {
    const Rect plot = Plot();
    const int32_t n = bands_.BandCount();
    if (n <= 0) return;
    const double clampedX = std::clamp(x, plot.x, plot.Right() - 1e-6);
    const int32_t from = BandAt(std::clamp(lastX_, plot.x, plot.Right() - 1e-6)), to = BandAt(clampedX);
    if (from < 0 || to < 0) return;
    const int32_t step = to >= from ? 1 : -1;
    for (int32_t b = from;; b += step) {
        const double t = to == from ? 1.0 : static_cast<double>(b - from) / (to - from);
        bands_.SetLevel(b, LevelAt(lastY_ + (y - lastY_) * t));
        if (b == to) break;
    }
    touched_ = to;
}

bool BarGraph::Wheel(const MouseEvent& event, double steps) {
    const int32_t band = BandAt(event.x);
    if (band < 0) return false;
    touched_ = band;
    bands_.SetLevel(band, bands_.Level(band) + steps * (event.fine ? 0.005 : 0.05));
    return true;
}

std::string BarGraph::Tip() const { return PlainHelp(BandLevelsHelp); }

BandLevelsEditor::BandLevelsEditor(BandAccess& bands) : Panel("EQ"), bands_(bands) {
    graph_ = &Make<BarGraph>(bands_);
    flat_ = &Make<Button>(
        "Flat",
        [this] {
            for (int32_t b = 0; b < BandAccess::MaxBands; ++b) bands_.SetLevel(b, 1.0);
        },
        "Every band back to 0 dB.");
}

void BandLevelsEditor::SetBounds(const Rect& bounds) {
    Panel::SetBounds(bounds);
    graph_->SetBounds({bounds.x + 8, bounds.y + 30, bounds.width - 16, bounds.height - 38});
    flat_->SetBounds({bounds.Right() - 100, bounds.y + 2, 90, 26});
}

void BandLevelsEditor::Draw(Canvas& canvas) {
    Panel::Draw(canvas);
    const Style& style = Style::Current();
    const int32_t band = graph_->TouchedBand();
    const std::string text = band >= 0 && band < bands_.BandCount()
                                 ? "Band " + std::to_string(band + 1) + ": " + BarGraph::GainText(bands_.Level(band))
                                 : "Draw the level of each band; double-click a bar for 0 dB.";
    canvas.Text({bounds_.x + 60, bounds_.y + 4, bounds_.width - 180, 18}, text, style.labelSize, style.dimText);
}

}  // namespace gui

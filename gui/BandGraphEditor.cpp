#include "gui/BandGraphEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/Buttons.h"
#include "gui/HelpTexts.h"
#include "gui/Style.h"

namespace gui {

namespace {

constexpr double ListWidth = 190, RowHeight = 26;

struct Tick {
    double value;
    const char* text;
};

// The factor graphs' axis: base-2 exponents -4 .. 4.
constexpr Tick FactorTicks[] = {{-4, "1/16x"}, {-3, "1/8x"}, {-2, "1/4x"}, {-1, "1/2x"}, {0, "1x"},
                                {1, "2x"},     {2, "4x"},    {3, "8x"},    {4, "16x"}};
// The frequency graphs' axis: decimal logarithms of frequencies.
constexpr Tick FrequencyTicks[] = {{1.3010299956639813, "20"}, {2.0, "100"}, {2.6989700043360187, "500"}, {3.0, "1k"},
                                   {3.6989700043360187, "5k"}, {4.0, "10k"}, {4.301029995663981, "20k"}};

}  // namespace

double CurveEditor::ScreenX(double x) const {
    const BandAccess::CurveRange range = bands_.GraphRange(bands_.SelectedGraph());
    const Rect plot = Plot();
    return plot.x + (x - range.xMin) / (range.xMax - range.xMin) * plot.width;
}

double CurveEditor::ScreenY(double y) const {
    const BandAccess::CurveRange range = bands_.GraphRange(bands_.SelectedGraph());
    const Rect plot = Plot();
    return plot.Bottom() - (y - range.yMin) / (range.yMax - range.yMin) * plot.height;
}

double CurveEditor::ValueX(double screenX) const {
    const BandAccess::CurveRange range = bands_.GraphRange(bands_.SelectedGraph());
    const Rect plot = Plot();
    return range.xMin + std::clamp((screenX - plot.x) / plot.width, 0.0, 1.0) * (range.xMax - range.xMin);
}

double CurveEditor::ValueY(double screenY) const {
    const BandAccess::CurveRange range = bands_.GraphRange(bands_.SelectedGraph());
    const Rect plot = Plot();
    return range.yMin + std::clamp((plot.Bottom() - screenY) / plot.height, 0.0, 1.0) * (range.yMax - range.yMin);
}

void CurveEditor::DrawAxis(Canvas& canvas, const Rect& plot) {
    const Style& style = Style::Current();
    const int32_t graph = bands_.SelectedGraph();
    const BandAccess::CurveRange range = bands_.GraphRange(graph);
    const auto tick = [&](double value, const std::string& text) {
        const double y = ScreenY(value);
        canvas.Line(plot.x, y, plot.Right(), y, 1, style.panelEdge);
        canvas.Text({bounds_.x, y - 7, 46, 14}, text, style.valueSize - 0.5, style.dimText, Align::Right);
    };
    switch (bands_.GraphAxis(graph)) {
        case BandAccess::Axis::Factor:
            for (const Tick& t : FactorTicks) tick(t.value, t.text);
            break;
        case BandAccess::Axis::Frequency:
            for (const Tick& t : FrequencyTicks) tick(t.value, t.text);
            break;
        case BandAccess::Axis::Offset:
            for (int32_t i = 0; i <= 4; ++i) {
                const double value = range.yMin + (range.yMax - range.yMin) * i / 4.0;
                char text[16];
                std::snprintf(text, sizeof text, "%+.2f", value);
                tick(value, value == 0.0 ? "0" : text);
            }
            break;
    }
    canvas.Text({plot.x, plot.Bottom() + 4, 120, 14}, "lowest band", style.valueSize, style.dimText);
    canvas.Text({plot.Right() - 120, plot.Bottom() + 4, 120, 14}, "highest band", style.valueSize, style.dimText,
                Align::Right);
}

void CurveEditor::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect plot = Plot();
    const int32_t graph = bands_.SelectedGraph();
    canvas.FillRect(plot, style.background);
    DrawAxis(canvas, plot);
    const auto count = std::max(static_cast<int32_t>(plot.width / 3), 2);
    const std::vector<double> values = bands_.Sample(graph, count);
    std::vector<double> xy;
    xy.reserve(values.size() * 2);
    for (size_t i = 0; i < values.size(); ++i) {
        xy.push_back(plot.x + plot.width * static_cast<double>(i) / (count - 1));
        xy.push_back(std::clamp(ScreenY(values[i]), plot.y, plot.Bottom()));
    }
    const bool enabled = bands_.GraphEnabled(graph);
    canvas.Polyline(xy, 2, enabled ? style.accent : style.dimText);
    const std::vector<BandAccess::CurvePoint> points = bands_.Points(graph);
    for (size_t i = 0; i < points.size(); ++i) {
        const bool chosen = static_cast<int32_t>(i) == chosen_;
        canvas.FillCircle(ScreenX(points[i].x), ScreenY(points[i].y), chosen ? 6 : 4.5,
                          chosen ? style.warm : style.pointer);
    }
}

int32_t CurveEditor::PointNear(double x, double y) const {
    const std::vector<BandAccess::CurvePoint> points = bands_.Points(bands_.SelectedGraph());
    int32_t nearest = -1;
    double best = GrabRadius * GrabRadius;
    for (size_t i = 0; i < points.size(); ++i) {
        const double dx = ScreenX(points[i].x) - x, dy = ScreenY(points[i].y) - y;
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            nearest = static_cast<int32_t>(i);
        }
    }
    return nearest;
}

bool CurveEditor::MouseDown(const MouseEvent& event) {
    const Rect plot = Plot().Inset(-GrabRadius);
    if (!plot.Contains(event.x, event.y)) return false;
    const int32_t graph = bands_.SelectedGraph();
    int32_t point = PointNear(event.x, event.y);
    if (point >= 0 && event.doubleClick) {
        bands_.RemovePoint(graph, point);
        chosen_ = std::max(point - 1, 0);
        return true;
    }
    if (point < 0) point = bands_.AddPoint(graph, ValueX(event.x), ValueY(event.y));
    if (point < 0) return true;  // the curve has all its points
    chosen_ = dragged_ = point;
    return true;
}

void CurveEditor::MouseDrag(const MouseEvent& event) {
    if (dragged_ >= 0) bands_.MovePoint(bands_.SelectedGraph(), dragged_, ValueX(event.x), ValueY(event.y));
}

std::string CurveEditor::Tip() const {
    return "Drag a point to move it, click beside the curve to add one, double-click a point to remove it. The "
           "graph acts only while it is enabled.";
}

BandGraphEditor::BandGraphEditor(BandAccess& bands) : Panel("Band graphs"), bands_(bands) {
    curve_ = &Make<CurveEditor>(bands_);
    enable_ = &Make<Toggle>(
        "Enable", [this] { return bands_.GraphEnabled(bands_.SelectedGraph()); },
        [this](bool on) { bands_.SetGraphEnabled(bands_.SelectedGraph(), on); },
        "Switches the shown graph on: while off the band setting keeps its plain value.");
    segment_ = &Make<Choice>(
        "Segment", bands_.SegmentNames(),
        [this] {
            const std::vector<BandAccess::CurvePoint> points = bands_.Points(bands_.SelectedGraph());
            const int32_t point = curve_->ChosenPoint();
            return point >= 0 && point < static_cast<int32_t>(points.size()) ? points[point].segment : 0;
        },
        [this](int32_t segment) { bands_.SetSegment(bands_.SelectedGraph(), curve_->ChosenPoint(), segment); },
        "The shape of the segment that starts at the chosen point.");
    reset_ = &Make<Button>(
        "Straight",
        [this] {
            const int32_t graph = bands_.SelectedGraph();
            for (int32_t point = static_cast<int32_t>(bands_.Points(graph).size()) - 2; point > 0; --point)
                bands_.RemovePoint(graph, point);
            curve_->ChoosePoint(0);
        },
        "Keeps only the two end points.");
}

Rect BandGraphEditor::GraphRow(int32_t graph) const {
    return {bounds_.x + 8, bounds_.y + 30 + graph * RowHeight, ListWidth, RowHeight - 2};
}

void BandGraphEditor::SetBounds(const Rect& bounds) {
    Panel::SetBounds(bounds);
    const double left = bounds.x + ListWidth + 20;
    enable_->SetBounds({left, bounds.y + 28, 110, 26});
    segment_->SetBounds({left + 130, bounds.y + 28, 230, 26});
    reset_->SetBounds({left + 380, bounds.y + 28, 100, 26});
    curve_->SetBounds({left, bounds.y + 60, bounds.Right() - left - 8, bounds.height - 66});
}

bool BandGraphEditor::MouseDown(const MouseEvent& event) {
    for (int32_t g = 0; g < bands_.GraphCount(); ++g)
        if (GraphRow(g).Contains(event.x, event.y)) {
            bands_.SelectGraph(g);
            curve_->ChoosePoint(0);
            return false;
        }
    return Panel::MouseDown(event);
}

void BandGraphEditor::Draw(Canvas& canvas) {
    Panel::Draw(canvas);
    const Style& style = Style::Current();
    for (int32_t g = 0; g < bands_.GraphCount(); ++g) {
        const Rect row = GraphRow(g);
        const bool chosen = g == bands_.SelectedGraph();
        if (chosen) canvas.FillRoundedRect(row, 4, style.panelEdge);
        canvas.FillCircle(row.x + 10, row.y + row.height / 2, 4, bands_.GraphEnabled(g) ? style.accent : style.track);
        canvas.Text({row.x + 22, row.y, row.width - 24, row.height}, bands_.GraphName(g), style.labelSize,
                    chosen ? style.pointer : style.text);
    }
}

}  // namespace gui

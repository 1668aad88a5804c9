#pragma once
// "Band graphs": one of the twelve per-band curves at a time, chosen from a
// list, switched on with "Enable" and drawn by its points. A press near a
// point takes it (the end points move only up and down), a press elsewhere
// adds one, a double-click on a point removes it; "Segment" sets the shape
// of the segment that starts at the chosen point. [main-thread]

#include <string>

#include "gui/BandAccess.h"
#include "gui/Controls.h"

namespace gui {

class CurveEditor : public Widget {
public:
    static constexpr double GrabRadius = 8;
    explicit CurveEditor(BandAccess& bands) : bands_(bands) {}
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    void MouseDrag(const MouseEvent& event) override;
    void MouseUp(const MouseEvent&) override { dragged_ = -1; }
    std::string Tip() const override;
    uint64_t Signature() const override { return bands_.Signature(); }

    // Where the curve is drawn, and the mapping between its values and the plot.
    Rect Plot() const { return {bounds_.x + 52, bounds_.y + 8, bounds_.width - 60, bounds_.height - 30}; }
    double ScreenX(double x) const;
    double ScreenY(double y) const;
    double ValueX(double screenX) const;
    double ValueY(double screenY) const;
    int32_t ChosenPoint() const { return chosen_; }
    void ChoosePoint(int32_t point) { chosen_ = point; }

private:
    // The point within the grab radius of the pointer, -1 for none.
    int32_t PointNear(double x, double y) const;
    void DrawAxis(Canvas& canvas, const Rect& plot);

    BandAccess& bands_;
    int32_t chosen_ = 0, dragged_ = -1;
};

class BandGraphEditor : public Panel {
public:
    explicit BandGraphEditor(BandAccess& bands);
    void SetBounds(const Rect& bounds) override;
    bool MouseDown(const MouseEvent& event) override;
    void Draw(Canvas& canvas) override;
    CurveEditor& Curve() { return *curve_; }
    // The list's row of a graph.
    Rect GraphRow(int32_t graph) const;

private:
    BandAccess& bands_;
    CurveEditor* curve_;
    Widget *enable_, *segment_, *reset_;
};

}  // namespace gui

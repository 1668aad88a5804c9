#pragma once
// "EQ": a bar per band with its level (0 .. 2, heard as its square: silence
// to +12 dB). Dragging draws the bars under the pointer to its height; a
// double-click returns a bar to 1 (0 dB); the wheel moves one bar. [main-thread]

#include <string>

#include "gui/BandAccess.h"
#include "gui/Controls.h"

namespace gui {

class BarGraph : public Widget {
public:
    explicit BarGraph(BandAccess& bands) : bands_(bands) {}
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    void MouseDrag(const MouseEvent& event) override;
    void MouseUp(const MouseEvent&) override { drawing_ = false; }
    bool Wheel(const MouseEvent& event, double steps) override;
    std::string Tip() const override;
    uint64_t Signature() const override { return bands_.Signature(); }

    // The band under x (-1 outside) and the level for a height y.
    int32_t BandAt(double x) const;
    double LevelAt(double y) const;
    // The last band touched, -1 before any.
    int32_t TouchedBand() const { return touched_; }
    // A level as the gain it gives: "+6.0 dB", "-inf dB".
    static std::string GainText(double level);

private:
    Rect Plot() const { return {bounds_.x + 44, bounds_.y + 6, bounds_.width - 50, bounds_.height - 26}; }
    // Every band between the last point and this one takes the level interpolated along the way.
    void DrawTo(double x, double y);

    BandAccess& bands_;
    bool drawing_ = false;
    double lastX_ = 0, lastY_ = 0;
    int32_t touched_ = -1;
};

class BandLevelsEditor : public Panel {
public:
    explicit BandLevelsEditor(BandAccess& bands);
    void SetBounds(const Rect& bounds) override;
    void Draw(Canvas& canvas) override;
    BarGraph& Graph() { return *graph_; }

private:
    BandAccess& bands_;
    BarGraph* graph_;
    Widget* flat_;
};

}  // namespace gui

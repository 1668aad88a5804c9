#pragma once
// A level display: a bar over -60 .. 0 dB with a falling peak, fed from the
// audio thread's peaks at every redraw. [main-thread]

#include <string>

#include "gui/ParameterAccess.h"
#include "gui/Widget.h"

namespace gui {

class Meter : public Widget {
public:
    static constexpr double FloorDb = -60.0;
    // The bar falls this much per redraw when the level drops.
    static constexpr double FallDb = 1.5;

    Meter(ParameterAccess& source, ParameterAccess::Meter meter, std::string label)
        : source_(source), meter_(meter), label_(std::move(label)) {}
    void Draw(Canvas& canvas) override;
    bool Animated() const override { return true; }
    double ShownDb() const { return shownDb_; }

private:
    ParameterAccess& source_;
    ParameterAccess::Meter meter_;
    std::string label_;
    double shownDb_ = FloorDb;
};

// The three level displays side by side.
class MeterPanel : public Container {
public:
    explicit MeterPanel(ParameterAccess& source);
    void SetBounds(const Rect& bounds) override;
    void Draw(Canvas& canvas) override;
};

}  // namespace gui

#include "gui/Meter.h"

#include <algorithm>
#include <cmath>

#include "gui/Style.h"

namespace gui {

void Meter::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const double peak = source_.TakeLevel(meter_);
    const double db = peak > 0.0 ? std::max(20.0 * std::log10(peak), FloorDb) : FloorDb;
    shownDb_ = std::max(db, shownDb_ - FallDb);
    const Rect& b = bounds_;
    const Rect track{b.x + b.width / 2 - 5, b.y + 4, 10, b.height - 28};
    canvas.FillRoundedRect(track, 3, style.track);
    const double fraction = std::clamp((shownDb_ - FloorDb) / -FloorDb, 0.0, 1.0);
    if (fraction > 0.0) {
        const double height = track.height * fraction;
        canvas.FillRoundedRect({track.x, track.Bottom() - height, track.width, height}, 3,
                               shownDb_ > -3.0 ? style.warm : style.accent);
    }
    canvas.Text({b.x, track.Bottom() + 4, b.width, 14}, label_, style.valueSize, style.dimText, Align::Centre);
}

MeterPanel::MeterPanel(ParameterAccess& source) {
    Make<Meter>(source, ParameterAccess::CarrierLevel, "Car");
    Make<Meter>(source, ParameterAccess::ModulatorLevel, "Mod");
    Make<Meter>(source, ParameterAccess::OutputLevel, "Out");
}

void MeterPanel::SetBounds(const Rect& bounds) {
    Container::SetBounds(bounds);
    const Rect inner{bounds.x + 6, bounds.y + 26, bounds.width - 12, bounds.height - 32};
    const double width = inner.width / static_cast<double>(Children().size());
    for (size_t i = 0; i < Children().size(); ++i)
        Children()[i]->SetBounds({inner.x + static_cast<double>(i) * width, inner.y, width, inner.height});
}

void MeterPanel::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    canvas.FillRoundedRect(bounds_, style.corner, style.panel);
    canvas.StrokeRoundedRect(bounds_, style.corner, 1, style.panelEdge);
    canvas.Text({bounds_.x, bounds_.y + 4, bounds_.width, 18}, "Levels", style.titleSize, style.accent, Align::Centre);
    Container::Draw(canvas);
}

}  // namespace gui

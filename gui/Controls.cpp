#include "gui/Controls.h"

#include "gui/HelpTexts.h"

#include <algorithm>
#include <cmath>

namespace gui {

namespace {

constexpr double Sweep = 2.356194490192345;  // the knob turns from -135 to +135 degrees

double Clamp01(double value) { return std::clamp(value, 0.0, 1.0); }

}  // namespace

std::string ParameterControl::Tip() const { return !tip_.empty() ? tip_ : PlainHelp(parameters_.Help(index_)); }

void ParameterControl::Edit(double value) {
    parameters_.BeginEdit(index_);
    parameters_.SetValue(index_, Clamp01(value));
    parameters_.EndEdit(index_);
}

double ParameterControl::Stepped(double steps, bool fine) const {
    const int32_t count = parameters_.Steps(index_);
    const double step = count > 1 ? 1.0 / (count - 1) : fine ? 0.001 : 0.01;
    double value = parameters_.Value(index_) + steps * step;
    if (count > 1) value = std::round(value * (count - 1)) / (count - 1);
    return Clamp01(value);
}

bool ParameterControl::Type(char32_t character) {
    if (character == KeyUp || character == KeyDown) {
        Edit(Stepped(character == KeyUp ? 1.0 : -1.0, false));
        return true;
    }
    if (character == U'\r' || character == U'\n') {
        if (typing_ && !typed_.empty()) {
            parameters_.BeginEdit(index_);
            parameters_.SetText(index_, typed_);
            parameters_.EndEdit(index_);
        }
        typing_ = false;
        typed_.clear();
        return true;
    }
    if (character == 0x1B) {  // Escape
        typing_ = false;
        typed_.clear();
        return true;
    }
    if (character == 0x08) {  // Backspace
        if (!typed_.empty()) typed_.pop_back();
        return typing_;
    }
    if (character < 0x20 || character > 0x7E) return false;
    typing_ = true;
    typed_ += static_cast<char>(character);
    return true;
}

void Knob::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect& b = bounds_;
    canvas.Text({b.x, b.y, b.width, 16}, label_, style.labelSize, style.text, Align::Centre);
    const double radius = std::max(std::min(b.width, b.height - 36) / 2 - 6, 6.0);
    const double cx = b.x + b.width / 2, cy = b.y + 18 + radius + 4;
    const double value = parameters_.Value(index_), angle = -Sweep + 2 * Sweep * value;
    canvas.Arc(cx, cy, radius, -Sweep, Sweep, 4, style.track);
    canvas.Arc(cx, cy, radius, -Sweep, angle, 4, style.accent);
    canvas.Line(cx, cy, cx + (radius - 5) * std::sin(angle), cy - (radius - 5) * std::cos(angle), 2, style.pointer);
    const Rect valueBox{b.x, cy + radius + 4, b.width, 14};
    if (typing_) {
        canvas.FillRoundedRect(valueBox.Inset(1), 3, style.panelEdge);
        canvas.Text(valueBox, typed_, style.valueSize, style.pointer, Align::Centre);
    } else {
        canvas.Text(valueBox, parameters_.Text(index_), style.valueSize, style.dimText, Align::Centre);
    }
}

bool Knob::MouseDown(const MouseEvent& event) {
    if (event.doubleClick) {
        Edit(parameters_.Default(index_));
        return true;
    }
    parameters_.BeginEdit(index_);
    dragging_ = true;
    startY_ = event.y;
    startValue_ = lastValue_ = parameters_.Value(index_);
    return true;
}

void Knob::MouseDrag(const MouseEvent& event) {
    if (!dragging_) return;
    // The fine modifier rebases the drag, so pressing it never jumps the value.
    const double span = DragSpan * (event.fine ? 10.0 : 1.0);
    double value = Clamp01(startValue_ + (startY_ - event.y) / span);
    const int32_t count = parameters_.Steps(index_);
    if (count > 1) value = std::round(value * (count - 1)) / (count - 1);
    if (value != lastValue_) parameters_.SetValue(index_, value);
    lastValue_ = value;
}

void Knob::MouseUp(const MouseEvent&) {
    if (!dragging_) return;
    dragging_ = false;
    parameters_.EndEdit(index_);
}

bool Knob::Wheel(const MouseEvent& event, double steps) {
    Edit(Stepped(steps, event.fine));
    return true;
}

void Switch::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect& b = bounds_;
    canvas.Text({b.x, b.y, b.width, 16}, label_, style.labelSize, style.text, Align::Centre);
    const bool on = parameters_.Value(index_) >= 0.5;
    const Rect pill{b.x + b.width / 2 - 18, b.y + 24, 36, 18};
    canvas.FillRoundedRect(pill, 9, on ? style.accent : style.track);
    canvas.FillCircle(on ? pill.Right() - 9 : pill.x + 9, pill.y + 9, 6.5, style.pointer);
    canvas.Text({b.x, pill.Bottom() + 6, b.width, 14}, parameters_.Text(index_), style.valueSize, style.dimText,
                Align::Centre);
}

bool Switch::MouseDown(const MouseEvent&) {
    Edit(parameters_.Value(index_) >= 0.5 ? 0.0 : 1.0);
    return true;
}

void Selector::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect& b = bounds_;
    canvas.Text({b.x, b.y, b.width, 16}, label_, style.labelSize, style.text, Align::Centre);
    const Rect field{b.x + 4, b.y + 22, b.width - 8, 22};
    canvas.FillRoundedRect(field, 4, style.background);
    canvas.StrokeRoundedRect(field, 4, 1, style.panelEdge);
    canvas.Text(field.Inset(4), "\u2039", style.valueSize + 2, style.dimText, Align::Left);
    canvas.Text(field.Inset(4), "\u203A", style.valueSize + 2, style.dimText, Align::Right);
    canvas.Text(field, parameters_.Text(index_), style.valueSize, style.text, Align::Centre);
}

bool Selector::MouseDown(const MouseEvent& event) {
    Edit(Stepped(event.x < bounds_.x + bounds_.width / 3 ? -1.0 : 1.0, false));
    return true;
}

bool Selector::Wheel(const MouseEvent& event, double steps) {
    Edit(Stepped(steps, event.fine));
    return true;
}

void Panel::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    canvas.FillRoundedRect(bounds_, style.corner, style.panel);
    canvas.StrokeRoundedRect(bounds_, style.corner, 1, style.panelEdge);
    canvas.Text({bounds_.x + style.padding, bounds_.y + 4, bounds_.width - 2 * style.padding, 18}, title_,
                style.titleSize, style.accent);
    Container::Draw(canvas);
}

void Panel::Layout(int32_t columns, double cellHeight) {
    const Style& style = Style::Current();
    const double top = bounds_.y + 26, width = (bounds_.width - 2 * style.padding) / std::max(columns, 1);
    for (size_t i = 0; i < Children().size(); ++i) {
        const auto column = static_cast<double>(static_cast<int32_t>(i) % columns);
        const auto row = static_cast<double>(static_cast<int32_t>(i) / columns);
        Children()[i]->SetBounds(
            {bounds_.x + style.padding + column * width, top + row * cellHeight, width, cellHeight});
    }
}

}  // namespace gui

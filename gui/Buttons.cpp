#include "gui/Buttons.h"

#include "gui/Style.h"

namespace gui {

namespace {

void DrawField(Canvas& canvas, const Rect& field, bool highlighted) {
    const Style& style = Style::Current();
    canvas.FillRoundedRect(field, 4, highlighted ? style.accent : style.background);
    canvas.StrokeRoundedRect(field, 4, 1, style.panelEdge);
}

}  // namespace

void Button::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect field = bounds_.Inset(2);
    DrawField(canvas, field, false);
    canvas.Text(field, label_, style.valueSize, style.text, Align::Centre);
}

bool Button::MouseDown(const MouseEvent&) {
    if (onPress_) onPress_();
    return true;
}

void Toggle::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const bool on = get_ && get_();
    const Rect pill{bounds_.x + 4, bounds_.y + bounds_.height / 2 - 9, 36, 18};
    canvas.FillRoundedRect(pill, 9, on ? style.accent : style.track);
    canvas.FillCircle(on ? pill.Right() - 9 : pill.x + 9, pill.y + 9, 6.5, style.pointer);
    canvas.Text({pill.Right() + 8, bounds_.y, bounds_.width - 48, bounds_.height}, label_, style.labelSize, style.text);
}

bool Toggle::MouseDown(const MouseEvent&) {
    if (get_ && set_) set_(!get_());
    return true;
}

void Choice::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect& b = bounds_;
    double left = b.x;
    if (!label_.empty()) {
        const double labelWidth = canvas.TextWidth(label_, style.labelSize) + 8;
        canvas.Text({b.x, b.y, labelWidth, b.height}, label_, style.labelSize, style.text);
        left += labelWidth;
    }
    const Rect field{left, b.y + b.height / 2 - 11, b.Right() - left, 22};
    DrawField(canvas, field, false);
    canvas.Text(field.Inset(4), "\u2039", style.valueSize + 2, style.dimText, Align::Left);
    canvas.Text(field.Inset(4), "\u203A", style.valueSize + 2, style.dimText, Align::Right);
    const int32_t index = get_ ? get_() : -1;
    const std::string shown = index >= 0 && index < static_cast<int32_t>(items_.size()) ? items_[index] : "";
    canvas.Text(field, shown, style.valueSize, style.text, Align::Centre);
}

bool Choice::MouseDown(const MouseEvent& event) {
    Step(event.x < bounds_.x + bounds_.width / 3 ? -1 : 1);
    return true;
}

bool Choice::Wheel(const MouseEvent&, double steps) {
    Step(steps > 0 ? 1 : -1);
    return true;
}

void Choice::Step(int32_t delta) {
    const auto count = static_cast<int32_t>(items_.size());
    if (count == 0 || !get_ || !set_) return;
    set_(((get_() + delta) % count + count) % count);
}

void TextEntry::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    const Rect field{bounds_.x, bounds_.y + bounds_.height / 2 - 11, bounds_.width, 22};
    DrawField(canvas, field, false);
    if (text_.empty())
        canvas.Text(field.Inset(6), placeholder_, style.valueSize, style.dimText);
    else
        canvas.Text(field.Inset(6), text_ + "|", style.valueSize, style.pointer);
}

bool TextEntry::Key(char32_t character) {
    if (character == U'\r' || character == U'\n') {
        if (!text_.empty() && onEnter_) onEnter_(text_);
        return true;
    }
    if (character == 0x1B) {
        text_.clear();
        return true;
    }
    if (character == 0x08) {
        if (!text_.empty()) text_.pop_back();
        return true;
    }
    if (character < 0x20 || character > 0x7E) return false;
    text_ += static_cast<char>(character);
    return true;
}

}  // namespace gui

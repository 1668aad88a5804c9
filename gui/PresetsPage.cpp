#include "gui/PresetsPage.h"

#include <algorithm>
#include <cmath>

#include "gui/Style.h"
#include "gui/Tooltip.h"

namespace gui {

PresetsPage::PresetsPage(PresetAccess& presets) : Panel("Presets"), presets_(presets) {
    previous_ = &Make<Button>("Previous", [this] { Report(presets_.Step(-1), "", "The preset could not be loaded."); });
    next_ = &Make<Button>("Next", [this] { Report(presets_.Step(1), "", "The preset could not be loaded."); });
    name_ = &Make<TextEntry>("Name of a new preset", [this](const std::string& name) {
        Report(presets_.SaveNew(name), "Saved \"" + name + "\".", "The preset could not be saved.");
        name_->Clear();
    });
    save_ = &Make<Button>(
        "Save new",
        [this] {
            if (name_->Text().empty()) {
                message_ = "Type a name first.";
                return;
            }
            name_->Key(U'\r');
        },
        "Saves the current sound as a new preset with the typed name.");
    replace_ = &Make<Button>(
        "Replace",
        [this] { Ask([this](const PresetAccess::Confirm& c) { return presets_.ReplaceCurrent(c); }, "Replaced."); },
        "Stores the current sound into the selected preset.");
    delete_ = &Make<Button>(
        "Delete",
        [this] { Ask([this](const PresetAccess::Confirm& c) { return presets_.DeleteCurrent(c); }, "Deleted."); },
        "Removes the selected preset from the bank.");
    yes_ = &Make<Button>("Yes", [this] { Answer(true); });
    no_ = &Make<Button>("No", [this] { Answer(false); });
}

void PresetsPage::SetBounds(const Rect& bounds) {
    Panel::SetBounds(bounds);
    const double left = ListArea().Right() + 16, width = bounds.Right() - left - 10;
    previous_->SetBounds({left, bounds.y + 50, width / 2 - 4, 30});
    next_->SetBounds({left + width / 2 + 4, bounds.y + 50, width / 2 - 4, 30});
    name_->SetBounds({left, bounds.y + 100, width, 30});
    save_->SetBounds({left, bounds.y + 134, width / 3 - 4, 30});
    replace_->SetBounds({left + width / 3 + 2, bounds.y + 134, width / 3 - 4, 30});
    delete_->SetBounds({left + 2 * width / 3 + 4, bounds.y + 134, width / 3 - 4, 30});
    yes_->SetBounds({left, bounds.y + 250, width / 2 - 4, 30});
    no_->SetBounds({left + width / 2 + 4, bounds.y + 250, width / 2 - 4, 30});
}

void PresetsPage::Refresh() {
    names_ = presets_.List();
    listed_ = true;
    const auto rows = static_cast<int32_t>(ListArea().height / RowHeight);
    const int32_t current = presets_.Current();
    // The current preset in view.
    if (current >= 0 && (current < firstRow_ || current >= firstRow_ + rows))
        firstRow_ = std::max(current - rows / 2, 0);
    firstRow_ = std::clamp(firstRow_, 0, std::max(static_cast<int32_t>(names_.size()) - rows, 0));
}

void PresetsPage::Report(bool done, const std::string& success, const std::string& failure) {
    message_ = done ? success : failure + " The diagnostic log has the reason.";
    Refresh();
}

void PresetsPage::Ask(std::function<bool(const PresetAccess::Confirm&)> change, std::string success) {
    if (presets_.Current() < 0) {
        message_ = "Choose a preset first.";
        return;
    }
    // First without consent: the change only shows its question.
    std::string asked;
    const bool done = change([&asked](const std::string& question) {
        asked = question;
        return false;
    });
    if (asked.empty()) {  // the user turned the questions off
        Report(done, success, "The change failed.");
        return;
    }
    question_ = asked;
    pending_ = std::move(change);
    pendingSuccess_ = std::move(success);
}

void PresetsPage::Answer(bool yes) {
    if (!pending_) return;
    auto change = std::move(pending_);
    pending_ = nullptr;
    question_.clear();
    if (yes) Report(change([](const std::string&) { return true; }), pendingSuccess_, "The change failed.");
}

Rect PresetsPage::Row(int32_t index) const {
    const Rect list = ListArea();
    return {list.x, list.y + (index - firstRow_) * RowHeight, list.width, RowHeight};
}

void PresetsPage::Draw(Canvas& canvas) {
    if (!listed_) Refresh();
    const Style& style = Style::Current();
    // Question buttons only while a question waits.
    const bool asking = !question_.empty();
    canvas.FillRoundedRect(bounds_, style.corner, style.panel);
    canvas.StrokeRoundedRect(bounds_, style.corner, 1, style.panelEdge);
    canvas.Text({bounds_.x + style.padding, bounds_.y + 4, 300, 18}, Title(), style.titleSize, style.accent);
    const Rect list = ListArea();
    canvas.FillRect(list, style.background);
    canvas.PushClip(list);
    const int32_t current = presets_.Current();
    for (int32_t i = firstRow_; i < static_cast<int32_t>(names_.size()); ++i) {
        const Rect row = Row(i);
        if (row.y >= list.Bottom()) break;
        if (i == current) canvas.FillRect(row, style.panelEdge);
        canvas.Text({row.x + 8, row.y, row.width - 16, row.height}, names_[i], style.labelSize,
                    i == current ? style.pointer : style.text);
    }
    canvas.PopClip();
    for (const auto& child : Children())
        if (asking || (child.get() != yes_ && child.get() != no_)) child->Draw(canvas);
    const double left = list.Right() + 16, width = bounds_.Right() - left - 10;
    const std::string currentName =
        current >= 0 && current < static_cast<int32_t>(names_.size()) ? names_[current] : "no preset chosen";
    canvas.Text({left, bounds_.y + 28, width, 18}, currentName, style.labelSize + 1, style.pointer);
    double y = bounds_.y + 180;
    for (const std::string& line : WrapText(canvas, asking ? question_ : message_, style.labelSize, width)) {
        canvas.Text({left, y, width, 16}, line, style.labelSize, asking ? style.warm : style.dimText);
        y += 16;
    }
}

bool PresetsPage::MouseDown(const MouseEvent& event) {
    const bool onAnswer = yes_->Bounds().Contains(event.x, event.y) || no_->Bounds().Contains(event.x, event.y);
    // A waiting question takes the page: only its answers respond.
    if (!question_.empty()) {
        if (onAnswer) Answer(yes_->Bounds().Contains(event.x, event.y));
        return false;
    }
    if (ListArea().Contains(event.x, event.y)) {
        const auto index = firstRow_ + static_cast<int32_t>((event.y - ListArea().y) / RowHeight);
        if (index >= 0 && index < static_cast<int32_t>(names_.size()))
            Report(presets_.Load(index), "", "The preset could not be loaded.");
        return false;
    }
    return !onAnswer && Panel::MouseDown(event);
}

bool PresetsPage::Wheel(const MouseEvent& event, double steps) {
    if (!ListArea().Contains(event.x, event.y)) return false;
    const auto rows = static_cast<int32_t>(ListArea().height / RowHeight);
    firstRow_ = std::clamp(firstRow_ - static_cast<int32_t>(std::lround(steps * 3)), 0,
                           std::max(static_cast<int32_t>(names_.size()) - rows, 0));
    return true;
}

uint64_t PresetsPage::Signature() const {
    return static_cast<uint64_t>(presets_.Current() + 1) * 1000003u + static_cast<uint64_t>(firstRow_);
}

}  // namespace gui

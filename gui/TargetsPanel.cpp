#include "gui/TargetsPanel.h"

#include <algorithm>
#include <functional>

#include "gui/Style.h"

namespace gui {

TargetsPanel::TargetsPanel(ModulationAccess& modulation, ModulationAccess::Owner kind, int32_t owner)
    : Panel("Mode and targets"), modulation_(modulation), kind_(kind), owner_(owner) {
    mode_ = &Make<Choice>(
        "Mode", modulation_.ModeNames(kind_), [this] { return modulation_.Mode(kind_, owner_); },
        [this](int32_t mode) { modulation_.SetMode(kind_, owner_, mode); });
    name_ = &Make<TextEntry>("Add: parameter name, Enter", [this](const std::string& name) {
        message_ = modulation_.AddTarget(kind_, owner_, name);
        if (message_.empty()) {
            chosen_ = static_cast<int32_t>(modulation_.Targets(kind_, owner_).size()) - 1;
            name_->Clear();
        }
    });
    remove_ = &Make<Button>(
        "Remove",
        [this] {
            message_ = modulation_.RemoveTarget(kind_, owner_, chosen_);
            chosen_ = std::min(chosen_, static_cast<int32_t>(modulation_.Targets(kind_, owner_).size()) - 1);
        },
        "Takes the chosen target out of the list.");
}

Rect TargetsPanel::ListArea() const {
    return {bounds_.x + 8, bounds_.y + 56, bounds_.width - 16, bounds_.height - 56 - 62};
}

void TargetsPanel::SetBounds(const Rect& bounds) {
    Panel::SetBounds(bounds);
    mode_->SetBounds({bounds.x + 8, bounds.y + 26, bounds.width - 16, 26});
    name_->SetBounds({bounds.x + 8, bounds.Bottom() - 60, bounds.width - 16, 26});
    remove_->SetBounds({bounds.x + 6, bounds.Bottom() - 32, 90, 28});
}

void TargetsPanel::Draw(Canvas& canvas) {
    Panel::Draw(canvas);
    const Style& style = Style::Current();
    const Rect list = ListArea();
    canvas.FillRect(list, style.background);
    canvas.PushClip(list);
    const std::vector<std::string> targets = modulation_.Targets(kind_, owner_);
    for (size_t i = 0; i < targets.size(); ++i) {
        const Rect row{list.x, list.y + static_cast<double>(i) * RowHeight, list.width, RowHeight};
        if (static_cast<int32_t>(i) == chosen_) canvas.FillRect(row, style.panelEdge);
        canvas.Text(row.Inset(3), targets[i].empty() ? "(no parameter yet)" : targets[i], style.valueSize,
                    targets[i].empty() ? style.dimText : style.text);
    }
    canvas.PopClip();
    const Rect note{remove_->Bounds().Right() + 6, remove_->Bounds().y,
                    bounds_.Right() - remove_->Bounds().Right() - 12, 28};
    canvas.Text(note, message_, style.valueSize, style.warm);
}

bool TargetsPanel::MouseDown(const MouseEvent& event) {
    const Rect list = ListArea();
    if (list.Contains(event.x, event.y)) {
        const auto row = static_cast<int32_t>((event.y - list.y) / RowHeight);
        if (row < static_cast<int32_t>(modulation_.Targets(kind_, owner_).size())) chosen_ = row;
        return false;
    }
    return Panel::MouseDown(event);
}

uint64_t TargetsPanel::Signature() const {
    uint64_t hash = static_cast<uint64_t>(modulation_.Mode(kind_, owner_));
    for (const std::string& target : modulation_.Targets(kind_, owner_))
        hash = hash * 1099511628211ull + std::hash<std::string>()(target);
    return hash;
}

}  // namespace gui

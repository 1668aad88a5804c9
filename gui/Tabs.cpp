#include "gui/Tabs.h"

#include <algorithm>

#include "gui/HelpTexts.h"
#include "gui/Style.h"

namespace gui {

Rect Tabs::PageArea() const {
    return {bounds_.x, bounds_.y + StripHeight + 12, bounds_.width, bounds_.height - StripHeight - 12};
}

void Tabs::SetBounds(const Rect& bounds) {
    Container::SetBounds(bounds);
    for (const auto& page : Children()) page->SetBounds(PageArea());
}

void Tabs::Select(int32_t page) {
    if (page >= 0 && page < static_cast<int32_t>(names_.size())) selected_ = page;
}

int32_t Tabs::Find(const std::string& name) const {
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name) return static_cast<int32_t>(i);
    return -1;
}

Rect Tabs::TabRect(size_t index) const {
    const double width = (bounds_.width - stripLeft_) / static_cast<double>(std::max<size_t>(names_.size(), 1));
    return {bounds_.x + stripLeft_ + width * static_cast<double>(index), bounds_.y, width, StripHeight};
}

Widget* Tabs::Page() const {
    return selected_ < static_cast<int32_t>(Children().size()) ? Children()[selected_].get() : nullptr;
}

void Tabs::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    for (size_t i = 0; i < names_.size(); ++i) {
        const Rect tab = TabRect(i).Inset(2);
        const bool chosen = static_cast<int32_t>(i) == selected_;
        canvas.FillRoundedRect(tab, 5, chosen ? style.panelEdge : style.panel);
        if (chosen) canvas.FillRect({tab.x + 6, tab.Bottom() - 3, tab.width - 12, 3}, style.accent);
        canvas.Text(tab, names_[i], style.labelSize, chosen ? style.pointer : style.dimText, Align::Centre);
    }
    if (Widget* page = Page()) page->Draw(canvas);
}

bool Tabs::MouseDown(const MouseEvent& event) {
    if (event.y < bounds_.y + StripHeight) {
        for (size_t i = 0; i < names_.size(); ++i)
            if (TabRect(i).Contains(event.x, event.y)) {
                Select(static_cast<int32_t>(i));
                return false;  // a tab takes no drag
            }
        return false;
    }
    Widget* page = Page();
    return page != nullptr && page->Bounds().Contains(event.x, event.y) && page->MouseDown(event);
}

void Tabs::MouseDrag(const MouseEvent& event) {
    if (Widget* page = Page()) page->MouseDrag(event);
}

void Tabs::MouseUp(const MouseEvent& event) {
    if (Widget* page = Page()) page->MouseUp(event);
}

bool Tabs::Key(char32_t character) {
    Widget* page = Page();
    return page != nullptr && page->Key(character);
}

bool Tabs::Wheel(const MouseEvent& event, double steps) {
    Widget* page = Page();
    return page != nullptr && page->Bounds().Contains(event.x, event.y) && page->Wheel(event, steps);
}

bool Tabs::Animated() const {
    const Widget* page = Page();
    return page != nullptr && page->Animated();
}

uint64_t Tabs::Signature() const {
    const Widget* page = Page();
    return (page != nullptr ? page->Signature() : 0) * 31 + static_cast<uint64_t>(selected_);
}

Widget* Tabs::At(double x, double y) {
    pointedTab_ = -1;
    for (size_t i = 0; i < names_.size(); ++i)
        if (TabRect(i).Contains(x, y)) {
            pointedTab_ = static_cast<int32_t>(i);
            return this;
        }
    Widget* page = Page();
    if (page == nullptr || !page->Bounds().Contains(x, y)) return nullptr;
    if (auto* inner = dynamic_cast<Container*>(page))
        if (Widget* deeper = inner->At(x, y)) return deeper;
    return page;
}

}  // namespace gui

namespace gui {

std::string Tabs::Tip() const {
    return pointedTab_ >= 0 && pointedTab_ < static_cast<int32_t>(tips_.size()) ? PlainHelp(tips_[pointedTab_])
                                                                                : std::string();
}

}  // namespace gui

#include "gui/Widget.h"

namespace gui {

Widget& Container::Add(std::unique_ptr<Widget> child) {
    children_.push_back(std::move(child));
    return *children_.back();
}

void Container::Draw(Canvas& canvas) {
    canvas.PushClip(bounds_);
    for (const auto& child : children_) child->Draw(canvas);
    canvas.PopClip();
}

Widget* Container::At(double x, double y) {
    for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
        if (!(*child)->Bounds().Contains(x, y)) continue;
        if (auto* inner = dynamic_cast<Container*>(child->get()))
            if (Widget* deeper = inner->At(x, y)) return deeper;
        return child->get();
    }
    return nullptr;
}

bool Container::MouseDown(const MouseEvent& event) {
    for (auto child = children_.rbegin(); child != children_.rend(); ++child)
        if ((*child)->Bounds().Contains(event.x, event.y) && (*child)->MouseDown(event)) {
            captured_ = focused_ = child->get();
            return true;
        }
    focused_ = nullptr;
    return false;
}

void Container::MouseDrag(const MouseEvent& event) {
    if (captured_ != nullptr) captured_->MouseDrag(event);
}

void Container::MouseUp(const MouseEvent& event) {
    if (captured_ != nullptr) captured_->MouseUp(event);
    captured_ = nullptr;
}

bool Container::Wheel(const MouseEvent& event, double steps) {
    for (auto child = children_.rbegin(); child != children_.rend(); ++child)
        if ((*child)->Bounds().Contains(event.x, event.y)) return (*child)->Wheel(event, steps);
    return false;
}

bool Container::Animated() const {
    for (const auto& child : children_)
        if (child->Animated()) return true;
    return false;
}

uint64_t Container::Signature() const {
    uint64_t hash = 0;
    for (const auto& child : children_) hash = hash * 1099511628211ull + child->Signature();
    return hash;
}

bool Container::Key(char32_t character) { return focused_ != nullptr && focused_->Key(character); }

}  // namespace gui

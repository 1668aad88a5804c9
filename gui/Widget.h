#pragma once
// The editor's building block: a rectangle that draws itself and answers
// the mouse, the wheel and keys; containers pass events to the child under
// the pointer and keep the child a drag started on. [main-thread]

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/Canvas.h"

namespace gui {

// Keys without a character, passed to Key() as code points of the private use area.
inline constexpr char32_t KeyUp = 0xF700, KeyDown = 0xF701;

struct MouseEvent {
    double x = 0, y = 0;  // logical units
    bool fine = false;    // the modifier for fine adjustment (shift)
    bool doubleClick = false;
};

class Widget {
public:
    virtual ~Widget() = default;
    const Rect& Bounds() const { return bounds_; }
    virtual void SetBounds(const Rect& bounds) { bounds_ = bounds; }
    virtual void Draw(Canvas& canvas) = 0;
    // Each returns whether the event was used.
    virtual bool MouseDown(const MouseEvent&) { return false; }
    virtual void MouseDrag(const MouseEvent&) {}
    virtual void MouseUp(const MouseEvent&) {}
    virtual bool Wheel(const MouseEvent&, double /*steps*/) { return false; }
    virtual bool Key(char32_t /*character*/) { return false; }
    // Whether it changes by itself (a meter) and is redrawn at every refresh.
    virtual bool Animated() const { return false; }
    // The help text shown as a tool tip.
    virtual std::string Tip() const { return std::string(); }
    // A fingerprint of what it shows besides parameter values (the band
    // matrix, a list), so that the editor redraws when it changes.
    virtual uint64_t Signature() const { return 0; }

protected:
    Rect bounds_;
};

class Container : public Widget {
public:
    Widget& Add(std::unique_ptr<Widget> child);
    template <class W, class... Args>
    W& Make(Args&&... args) {
        return static_cast<W&>(Add(std::make_unique<W>(std::forward<Args>(args)...)));
    }
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    void MouseDrag(const MouseEvent& event) override;
    void MouseUp(const MouseEvent& event) override;
    bool Wheel(const MouseEvent& event, double steps) override;
    bool Key(char32_t character) override;
    bool Animated() const override;
    uint64_t Signature() const override;
    // The deepest widget at the point, or null.
    virtual Widget* At(double x, double y);
    const std::vector<std::unique_ptr<Widget>>& Children() const { return children_; }

private:
    std::vector<std::unique_ptr<Widget>> children_;
    Widget* captured_ = nullptr;  // the child a press started on, until release
    Widget* focused_ = nullptr;   // the child that takes keys
};

}  // namespace gui

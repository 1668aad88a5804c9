#pragma once
// Controls bound to one parameter each: a knob for continuous and integer
// values, a switch for on/off, a selector for a list. Every edit is framed
// by the host's gesture (begin, values, end). [main-thread]

#include <cstdint>
#include <string>

#include "gui/ParameterAccess.h"
#include "gui/Style.h"
#include "gui/Widget.h"

namespace gui {

class ParameterControl : public Widget {
public:
    ParameterControl(ParameterAccess& parameters, int32_t index, std::string label, std::string tip = std::string())
        : parameters_(parameters), index_(index), label_(std::move(label)), tip_(std::move(tip)) {}
    int32_t Index() const { return index_; }
    // The given tip, else the parameter's help text without its marks.
    std::string Tip() const override;

protected:
    // One complete edit: begin, the value, end.
    void Edit(double value);
    // The value moved by `steps` wheel notches (list and integer values move a whole step).
    double Stepped(double steps, bool fine) const;
    // Typed text: printable characters collect, Enter sets, Escape drops;
    // the arrow keys up and down step the value.
    bool Type(char32_t character);

    ParameterAccess& parameters_;
    int32_t index_;
    std::string label_, tip_;
    std::string typed_;
    bool typing_ = false;
};

class Knob : public ParameterControl {
public:
    using ParameterControl::ParameterControl;
    // A full turn of the value takes this many units of vertical drag (ten times more with the fine modifier).
    static constexpr double DragSpan = 200.0;
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    void MouseDrag(const MouseEvent& event) override;
    void MouseUp(const MouseEvent& event) override;
    bool Wheel(const MouseEvent& event, double steps) override;
    bool Key(char32_t character) override { return Type(character); }

private:
    bool dragging_ = false;
    double startY_ = 0, startValue_ = 0, lastValue_ = 0;
};

class Switch : public ParameterControl {
public:
    using ParameterControl::ParameterControl;
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
};

class Selector : public ParameterControl {
public:
    using ParameterControl::ParameterControl;
    void Draw(Canvas& canvas) override;
    // A click steps to the next item (the previous one in the left third).
    bool MouseDown(const MouseEvent& event) override;
    bool Wheel(const MouseEvent& event, double steps) override;
};

// A titled group of controls laid out in rows of equal cells.
class Panel : public Container {
public:
    explicit Panel(std::string title) : title_(std::move(title)) {}
    void Draw(Canvas& canvas) override;
    // Places the children in `columns` columns of cells `cellHeight` high.
    void Layout(int32_t columns, double cellHeight);
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

private:
    std::string title_;
};

}  // namespace gui

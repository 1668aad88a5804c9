#pragma once
// Controls bound to callbacks instead of parameters, for the editor's own
// settings: a push button, an on/off toggle and a choice among named items.
// [main-thread]

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/Widget.h"

namespace gui {

class Button : public Widget {
public:
    Button(std::string label, std::function<void()> onPress, std::string tip = std::string())
        : label_(std::move(label)), onPress_(std::move(onPress)), tip_(std::move(tip)) {}
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    std::string Tip() const override { return tip_; }
    void SetLabel(std::string label) { label_ = std::move(label); }

private:
    std::string label_;
    std::function<void()> onPress_;
    std::string tip_;
};

class Toggle : public Widget {
public:
    Toggle(std::string label, std::function<bool()> get, std::function<void(bool)> set, std::string tip = std::string())
        : label_(std::move(label)), get_(std::move(get)), set_(std::move(set)), tip_(std::move(tip)) {}
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    std::string Tip() const override { return tip_; }

private:
    std::string label_;
    std::function<bool()> get_;
    std::function<void(bool)> set_;
    std::string tip_;
};

// "‹ item ›": a click in the left third goes back, elsewhere on; the wheel steps.
class Choice : public Widget {
public:
    Choice(std::string label, std::vector<std::string> items, std::function<int32_t()> get,
           std::function<void(int32_t)> set, std::string tip = std::string())
        : label_(std::move(label)),
          items_(std::move(items)),
          get_(std::move(get)),
          set_(std::move(set)),
          tip_(std::move(tip)) {}
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    bool Wheel(const MouseEvent& event, double steps) override;
    std::string Tip() const override { return tip_; }

private:
    void Step(int32_t delta);

    std::string label_;
    std::vector<std::string> items_;
    std::function<int32_t()> get_;
    std::function<void(int32_t)> set_;
    std::string tip_;
};

// A text field for a name: printable characters collect, Enter hands the
// text on, Escape clears it.
class TextEntry : public Widget {
public:
    TextEntry(std::string placeholder, std::function<void(const std::string&)> onEnter)
        : placeholder_(std::move(placeholder)), onEnter_(std::move(onEnter)) {}
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent&) override { return true; }
    bool Key(char32_t character) override;
    const std::string& Text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    std::string placeholder_;
    std::function<void(const std::string&)> onEnter_;
    std::string text_;
};

}  // namespace gui

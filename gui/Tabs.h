#pragma once
// Pages behind a strip of tabs: only the chosen page is drawn and gets
// events; the strip sits at the top of the tabs' bounds, `stripLeft` in from
// their left edge.
// [main-thread]

#include <string>
#include <vector>

#include "gui/Widget.h"

namespace gui {

class Tabs : public Container {
public:
    static constexpr double StripHeight = 28;
    explicit Tabs(double stripLeft) : stripLeft_(stripLeft) {}

    // A page filling the area under the strip.
    template <class Page, class... Args>
    Page& AddPage(std::string name, Args&&... args) {
        names_.push_back(std::move(name));
        tips_.emplace_back();
        Page& page = Make<Page>(std::forward<Args>(args)...);
        page.SetBounds(PageArea());
        return page;
    }
    Rect PageArea() const;
    // Every page follows to the new page area.
    void SetBounds(const Rect& bounds) override;
    // The help shown when the pointer rests on the page's tab.
    void SetTip(int32_t page, std::string tip) { tips_.at(static_cast<size_t>(page)) = std::move(tip); }
    int32_t Selected() const { return selected_; }
    const std::vector<std::string>& Names() const { return names_; }
    void Select(int32_t page);
    // The page's index by name, -1 when there is none.
    int32_t Find(const std::string& name) const;

    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    void MouseDrag(const MouseEvent& event) override;
    void MouseUp(const MouseEvent& event) override;
    bool Wheel(const MouseEvent& event, double steps) override;
    bool Key(char32_t character) override;
    bool Animated() const override;
    uint64_t Signature() const override;
    Widget* At(double x, double y) override;
    std::string Tip() const override;

private:
    Widget* Page() const;
    Rect TabRect(size_t index) const;

    double stripLeft_;
    std::vector<std::string> names_, tips_;
    int32_t selected_ = 0;
    int32_t pointedTab_ = -1;  // the tab At last found
};

}  // namespace gui

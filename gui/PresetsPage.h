#pragma once
// "Presets": the plug-in's preset bank as a list (a click loads), stepping,
// saving the sound as a new preset, replacing and deleting the current one
// after a yes/no question. The list is read from the preset file when the
// page is first shown and after every change, never per frame. [main-thread]

#include <string>
#include <vector>

#include "gui/Buttons.h"
#include "gui/Controls.h"
#include "gui/EditorServices.h"

namespace gui {

class PresetsPage : public Panel {
public:
    static constexpr double RowHeight = 20;
    explicit PresetsPage(PresetAccess& presets);
    void SetBounds(const Rect& bounds) override;
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    bool Wheel(const MouseEvent& event, double steps) override;
    uint64_t Signature() const override;

    const std::vector<std::string>& Names() const { return names_; }
    Rect ListArea() const { return {bounds_.x + 8, bounds_.y + 30, bounds_.width * 0.55, bounds_.height - 38}; }
    // The list's row of a preset as drawn now (scrolled), for tests.
    Rect Row(int32_t index) const;
    const std::string& Message() const { return message_; }
    const std::string& Question() const { return question_; }
    TextEntry& NameEntry() { return *name_; }
    // Answers the shown question.
    void Answer(bool yes);

private:
    void Refresh();
    void Report(bool done, const std::string& success, const std::string& failure);
    // Runs a change that asks first: the question is shown, the change waits for "Yes".
    void Ask(std::function<bool(const PresetAccess::Confirm&)> change, std::string success);

    PresetAccess& presets_;
    std::vector<std::string> names_;
    bool listed_ = false;
    int32_t firstRow_ = 0;
    std::string message_, question_;
    std::function<bool(const PresetAccess::Confirm&)> pending_;
    std::string pendingSuccess_;
    TextEntry* name_;
    Widget *previous_, *next_, *save_, *replace_, *delete_, *yes_, *no_;
};

}  // namespace gui

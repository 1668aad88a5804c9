#pragma once
// "Mode and targets" of one modulator or multiparameter: its mode, the
// parameters it moves (a click chooses one, "Remove" takes it out) and a
// field where a typed parameter name and Enter add a target. [main-thread]

#include <string>

#include "gui/Buttons.h"
#include "gui/Controls.h"
#include "gui/EditorServices.h"

namespace gui {

class TargetsPanel : public Panel {
public:
    static constexpr double RowHeight = 18;
    TargetsPanel(ModulationAccess& modulation, ModulationAccess::Owner kind, int32_t owner);
    void SetBounds(const Rect& bounds) override;
    void Draw(Canvas& canvas) override;
    bool MouseDown(const MouseEvent& event) override;
    uint64_t Signature() const override;

    Rect ListArea() const;
    int32_t ChosenTarget() const { return chosen_; }
    const std::string& Message() const { return message_; }
    TextEntry& NameEntry() { return *name_; }

private:
    ModulationAccess& modulation_;
    ModulationAccess::Owner kind_;
    int32_t owner_;
    int32_t chosen_ = 0;
    std::string message_;
    Widget *mode_, *remove_;
    TextEntry* name_;
};

}  // namespace gui

#pragma once
// Pages of framework parameters found by their host names: the four
// modulators and the four multiparameters. A name the build lacks leaves
// its cell out. [main-thread]

#include <string>

#include "gui/Controls.h"
#include "gui/EditorServices.h"
#include "gui/Tabs.h"

namespace gui {

enum class ControlKind { Knob, Switch, Selector, Automatic };

// A control for the parameter in `panel`; Automatic picks a switch for two
// values, a selector for a short list and a knob otherwise. Null when the
// parameter does not exist.
ParameterControl* AddControl(Panel& panel, ParameterAccess& parameters, const std::string& name, std::string label,
                             ControlKind kind = ControlKind::Automatic);

// One inner tab per modulator ("LFO 1" .. "LFO 4": oscillator, follower and
// envelope settings) or per multiparameter ("Multiparameter 1" .. 4:
// position and range), each with its mode and targets when given access to
// them.
class OwnerPages : public Tabs {
public:
    static constexpr int32_t Count = 4;
    OwnerPages(ParameterAccess& parameters, ModulationAccess* modulation, ModulationAccess::Owner kind);
    void SetBounds(const Rect& bounds) override;

private:
    ParameterAccess& parameters_;
    ModulationAccess* modulation_;
    ModulationAccess::Owner kind_;
    bool built_ = false;
};

}  // namespace gui

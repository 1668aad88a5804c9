#pragma once
// Pages of framework parameters found by their host names: the four
// modulators (one inner tab each) and the four multiparameters. A name the
// build lacks leaves its cell out. [main-thread]

#include <string>

#include "gui/Controls.h"
#include "gui/Tabs.h"

namespace gui {

enum class ControlKind { Knob, Switch, Selector, Automatic };

// A control for the parameter in `panel`; Automatic picks a switch for two
// values, a selector for a short list and a knob otherwise. Null when the
// parameter does not exist.
ParameterControl* AddControl(Panel& panel, ParameterAccess& parameters, const std::string& name, std::string label,
                             ControlKind kind = ControlKind::Automatic);

// "LFO 1" .. "LFO 4", each with its oscillator, follower and envelope settings.
class ModulatorsPage : public Tabs {
public:
    static constexpr int32_t Count = 4;
    explicit ModulatorsPage(ParameterAccess& parameters) : Tabs(0), parameters_(parameters) {}
    void SetBounds(const Rect& bounds) override;

private:
    ParameterAccess& parameters_;
    bool built_ = false;
};

class MultiParametersPage : public Container {
public:
    static constexpr int32_t Count = 4;
    explicit MultiParametersPage(ParameterAccess& parameters) : parameters_(parameters) {}
    void SetBounds(const Rect& bounds) override;

private:
    ParameterAccess& parameters_;
    bool built_ = false;
};

}  // namespace gui

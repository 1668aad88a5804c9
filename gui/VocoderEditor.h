#pragma once
// The vocoder's editor: every effect parameter, grouped as a user thinks of
// them, drawn into a bitmap of its size. [main-thread]

#include <string>

#include "gui/Controls.h"
#include "gui/ParameterAccess.h"
#include "gui/Widget.h"

namespace gui {

class VocoderEditor : public Container {
public:
    static constexpr double DefaultWidth = 1050, DefaultHeight = 470;

    explicit VocoderEditor(ParameterAccess& parameters);
    void Draw(Canvas& canvas) override;
    // The panels in the editor's order, for tests and the host's resize.
    Panel* FindPanel(const std::string& title);
    // The control of a parameter by its label; null when the editor has none.
    ParameterControl* FindControl(const std::string& label);

private:
    ParameterAccess& parameters_;
};

}  // namespace gui

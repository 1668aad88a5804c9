#pragma once
// The vocoder's editor: every effect parameter, grouped as a user thinks of
// them, the band editors, the modulators, multiparameters and presets on
// tabs, and the level meters beside them; drawn into a bitmap of its size.
// [main-thread]

#include <memory>
#include <string>

#include "gui/BandAccess.h"
#include "gui/Controls.h"
#include "gui/EditorServices.h"
#include "gui/Tabs.h"
#include "gui/Widget.h"

namespace gui {

class VocoderEditor : public Container {
public:
    static constexpr double DefaultWidth = 1050, DefaultHeight = 470;
    // The sizes a user may choose, as scales of the default size.
    static constexpr double Scales[] = {1.0, 1.25, 1.5, 1.75, 2.0};

    // Without band access the band tabs are left out, and so on for presets and size.
    explicit VocoderEditor(const EditorServices& services, std::unique_ptr<BandAccess> bands = nullptr);
    explicit VocoderEditor(ParameterAccess& parameters) : VocoderEditor(EditorServices{parameters}) {}
    void Draw(Canvas& canvas) override;
    // The panels in the editor's order, for tests and the host's resize.
    Panel* FindPanel(const std::string& title);
    // The control of a parameter by its label; null when the editor has none.
    ParameterControl* FindControl(const std::string& label);
    Tabs& Pages() { return *tabs_; }
    // Shows the named page; false when there is none.
    bool ShowPage(const std::string& name);

private:
    void BuildControlsPage(Container& page);

    ParameterAccess& parameters_;
    std::unique_ptr<BandAccess> bands_;
    Tabs* tabs_;
};

}  // namespace gui

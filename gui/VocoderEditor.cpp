#include "gui/VocoderEditor.h"

#include <cmath>
#include <iterator>
#include <vector>

#include "gui/BandGraphEditor.h"
#include "gui/BandLevelsEditor.h"
#include "gui/BandMatrixEditor.h"
#include "gui/Buttons.h"
#include "gui/HelpTexts.h"
#include "gui/MIDIPage.h"
#include "gui/Meter.h"
#include "gui/ParameterPages.h"
#include "gui/PresetsPage.h"
#include "gui/Style.h"

namespace gui {

namespace {

using Kind = ControlKind;

struct Group {
    const char* title;
    Rect bounds;
    int32_t columns;
    std::vector<std::pair<const char*, Kind>> controls;
};

// The labels are the parameters' own, as hosts show them.
const std::vector<Group>& Groups() {
    static const std::vector<Group> groups = {
        {"Mode",
         {12, 52, 330, 130},
         4,
         {{"Mode", Kind::Selector},
          {"Ratio", Kind::Knob},
          {"Swap carrier and modulator", Kind::Switch},
          {"LR encoding", Kind::Switch}}},
        {"Filters",
         {350, 52, 400, 130},
         5,
         {{"Bands", Kind::Knob},
          {"Car order", Kind::Knob},
          {"Car resonance", Kind::Knob},
          {"Mod order", Kind::Knob},
          {"Mod resonance", Kind::Knob}}},
        {"Gate", {758, 52, 190, 130}, 2, {{"Gate threshold", Kind::Knob}, {"Gate ratio", Kind::Knob}}},
        {"Detector",
         {12, 190, 400, 130},
         5,
         {{"Attack", Kind::Knob},
          {"Release", Kind::Knob},
          {"Hold", Kind::Knob},
          {"RMS length", Kind::Knob},
          {"Freeze", Kind::Switch}}},
        {"Formant and colour",
         {420, 190, 528, 130},
         4,
         {{"Formant shift", Kind::Knob},
          {"Whitening", Kind::Knob},
          {"Saturation car", Kind::Knob},
          {"Saturation mod", Kind::Knob}}},
        {"Output",
         {12, 328, 936, 130},
         8,
         {{"Volume", Kind::Knob},
          {"Panorama", Kind::Knob},
          {"Carrier volume", Kind::Knob},
          {"Carrier pan", Kind::Knob},
          {"Modulator volume", Kind::Knob},
          {"Modulator pan", Kind::Knob},
          {"Bypass", Kind::Switch},
          {"Automatic gain", Kind::Switch}}},
    };
    return groups;
}

// Shorter names where the cell is narrow.
std::string Shown(const std::string& label) { return label == "Swap carrier and modulator" ? "Swap" : label; }

// Depth-first search for the control of a parameter.
ParameterControl* FindIn(const Container& container, int32_t index) {
    for (const auto& child : container.Children()) {
        if (auto* bound = dynamic_cast<ParameterControl*>(child.get()); bound && bound->Index() == index) return bound;
        if (auto* inner = dynamic_cast<const Container*>(child.get()))
            if (ParameterControl* found = FindIn(*inner, index)) return found;
    }
    return nullptr;
}

Panel* FindPanelIn(const Container& container, const std::string& title) {
    for (const auto& child : container.Children()) {
        if (auto* panel = dynamic_cast<Panel*>(child.get()); panel != nullptr && panel->Title() == title) return panel;
        if (auto* inner = dynamic_cast<const Container*>(child.get()))
            if (Panel* found = FindPanelIn(*inner, title)) return found;
    }
    return nullptr;
}

// Where the tab strip starts: right of the name.
constexpr double StripLeft = 248;
// The page area's offset from the editor's top-left corner.
constexpr Rect TabsArea{12, 12, 936, 446};

}  // namespace

VocoderEditor::VocoderEditor(const EditorServices& services, std::unique_ptr<BandAccess> bands)
    : parameters_(services.parameters), bands_(std::move(bands)) {
    SetBounds({0, 0, DefaultWidth, DefaultHeight});
    tabs_ = &Make<Tabs>(StripLeft);
    tabs_->SetBounds(TabsArea);
    BuildControlsPage(tabs_->AddPage<Container>("Controls"));
    if (bands_ != nullptr) {
        tabs_->AddPage<BandMatrixEditor>("Band matrix", *bands_);
        tabs_->SetTip(tabs_->Find("Band matrix"), MatrixButtonHelp);
        tabs_->AddPage<BandLevelsEditor>("EQ", *bands_);
        tabs_->SetTip(tabs_->Find("EQ"), BandLevelsHelp);
        tabs_->AddPage<BandGraphEditor>("Band graphs", *bands_);
        tabs_->SetTip(tabs_->Find("Band graphs"), GraphsButtonHelp);
    }
    tabs_->AddPage<OwnerPages>("Modulators", parameters_, services.modulation, ModulationAccess::Owner::Modulator);
    tabs_->AddPage<OwnerPages>("Multiparameters", parameters_, services.modulation,
                               ModulationAccess::Owner::MultiParameter);
    if (services.midi != nullptr) tabs_->AddPage<MIDIPage>("MIDI", *services.midi);
    if (services.presets != nullptr) tabs_->AddPage<PresetsPage>("Presets", *services.presets);
    Make<MeterPanel>(parameters_).SetBounds({956, 52, 82, 406});
    if (ScaleAccess* scale = services.scale) {
        std::vector<std::string> names;
        for (const double s : Scales) names.push_back(std::to_string(static_cast<int>(s * 100 + 0.5)) + "%");
        Make<Choice>(
            "", names,
            [scale] {
                for (size_t i = 0; i < std::size(Scales); ++i)
                    if (std::abs(Scales[i] - scale->Scale()) < 0.01) return static_cast<int32_t>(i);
                return 0;
            },
            [scale](int32_t i) { scale->ChooseScale(Scales[i]); }, "The editor's size, kept for the next time.")
            .SetBounds({956, 14, 82, 26});
    }
}

void VocoderEditor::BuildControlsPage(Container& page) {
    const Rect area = page.Bounds();
    for (const Group& group : Groups()) {
        Panel& panel = page.Make<Panel>(group.title);
        panel.SetBounds(
            {area.x + group.bounds.x - 12, area.y + group.bounds.y - 52, group.bounds.width, group.bounds.height});
        for (const auto& [label, kind] : group.controls) AddControl(panel, parameters_, label, Shown(label), kind);
        panel.Layout(group.columns, 100);
    }
}

void VocoderEditor::Draw(Canvas& canvas) {
    const Style& style = Style::Current();
    canvas.Clear(style.background);
    canvas.Text({16, 8, 300, 32}, "SONVERA", 20, style.pointer);
    canvas.Text({130, 12, 300, 28}, "multi-band vocoder", style.labelSize + 1, style.dimText);
    Container::Draw(canvas);
}

bool VocoderEditor::ShowPage(const std::string& name) {
    const int32_t page = tabs_->Find(name);
    if (page < 0) return false;
    tabs_->Select(page);
    return true;
}

Panel* VocoderEditor::FindPanel(const std::string& title) { return FindPanelIn(*this, title); }

ParameterControl* VocoderEditor::FindControl(const std::string& label) {
    const int32_t index = parameters_.Find(label);
    return index < 0 ? nullptr : FindIn(*this, index);
}

}  // namespace gui

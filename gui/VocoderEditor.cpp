#include "gui/VocoderEditor.h"

#include <vector>

#include "gui/Meter.h"
#include "gui/Style.h"

namespace gui {

namespace {

enum class Kind { Knob, Switch, Selector };

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

}  // namespace

VocoderEditor::VocoderEditor(ParameterAccess& parameters) : parameters_(parameters) {
    SetBounds({0, 0, DefaultWidth, DefaultHeight});
    for (const Group& group : Groups()) {
        Panel& panel = Make<Panel>(group.title);
        panel.SetBounds(group.bounds);
        for (const auto& [label, kind] : group.controls) {
            const int32_t index = parameters_.Find(label);
            if (index < 0) continue;  // a parameter this build lacks leaves its cell out
            if (kind == Kind::Selector)
                panel.Make<Selector>(parameters_, index, Shown(label));
            else if (kind == Kind::Switch)
                panel.Make<Switch>(parameters_, index, Shown(label));
            else
                panel.Make<Knob>(parameters_, index, Shown(label));
        }
        panel.Layout(group.columns, 100);
    }
    Make<MeterPanel>(parameters_).SetBounds({956, 52, 82, 406});
}

void VocoderEditor::Draw(Canvas& canvas) {
    const Style& style = Style::Default();
    canvas.Clear(style.background);
    canvas.Text({16, 8, 300, 32}, "SONVERA", 20, style.pointer);
    canvas.Text({130, 12, 300, 28}, "multi-band vocoder", style.labelSize + 1, style.dimText);
    Container::Draw(canvas);
}

Panel* VocoderEditor::FindPanel(const std::string& title) {
    for (const auto& child : Children())
        if (auto* panel = dynamic_cast<Panel*>(child.get()); panel != nullptr && panel->Title() == title) return panel;
    return nullptr;
}

ParameterControl* VocoderEditor::FindControl(const std::string& label) {
    const int32_t index = parameters_.Find(label);
    for (const auto& child : Children())
        if (auto* panel = dynamic_cast<Panel*>(child.get()))
            for (const auto& control : panel->Children())
                if (auto* bound = dynamic_cast<ParameterControl*>(control.get()); bound && bound->Index() == index)
                    return bound;
    return nullptr;
}

}  // namespace gui

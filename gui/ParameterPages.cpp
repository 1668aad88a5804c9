#include "gui/ParameterPages.h"

#include <algorithm>
#include <vector>

namespace gui {

namespace {

struct Cell {
    const char* name;  // after the owner's prefix ("LFO 1 ")
    const char* label;
};

struct Group {
    const char* title;
    int32_t columns;
    double widthShare;  // of the page's width; groups sit side by side while they fit
    std::vector<Cell> cells;
};

// The modulator's settings a user reaches for; the rest stay with the host's list.
const std::vector<Group>& ModulatorGroups() {
    static const std::vector<Group> groups = {
        {"Oscillator",
         7,
         1.0,
         {{"Enabled", "Enabled"},
          {"Value", "Value"},
          {"MaxValue", "Max value"},
          {"Range", "Range"},
          {"Frequency", "Frequency"},
          {"Length", "Length"},
          {"Type", "Type"},
          {"Phase", "Phase"},
          {"Side-chain", "Side-chain"},
          {"Shape Shape", "Shape"},
          {"Shape Smoothness", "Smoothness"},
          {"Shape Skew", "Skew"},
          {"Shape Phase", "Shape phase"},
          {"Automated value", "Automated"}}},
        {"Follower",
         7,
         0.5,
         {{"Follower - Level min", "Level min"},
          {"Follower - Level max", "Level max"},
          {"Follower - Attack", "Attack"},
          {"Follower - Release", "Release"},
          {"Follower - Hold", "Hold"},
          {"Follower - Threshold", "Threshold"},
          {"Follower - LFO modulation", "LFO mod"}}},
        {"Envelope",
         7,
         0.5,
         {{"Envelope Delay", "Delay"},
          {"Envelope Attack", "Attack"},
          {"Envelope Hold", "Hold"},
          {"Envelope Decay", "Decay"},
          {"Envelope Sustain", "Sustain"},
          {"Envelope Release", "Release"},
          {"Envelope Smoothing", "Smoothing"}}},
    };
    return groups;
}

// Lays out `groups` for the owner `prefix` in rows across `area`.
void BuildGroups(Container& page, ParameterAccess& parameters, const std::vector<Group>& groups,
                 const std::string& prefix, const Rect& area, double cellHeight) {
    constexpr double Gap = 6;
    double x = area.x, y = area.y, rowBottom = area.y;
    for (const Group& group : groups) {
        Panel& panel = page.Make<Panel>(group.title);
        for (const Cell& cell : group.cells) AddControl(panel, parameters, prefix + cell.name, cell.label);
        const auto rows = static_cast<double>((panel.Children().size() + group.columns - 1) / group.columns);
        const double width = area.width * group.widthShare - (group.widthShare < 1.0 ? Gap / 2 : 0);
        if (x + width > area.Right() + 1) {
            x = area.x;
            y = rowBottom + Gap;
        }
        panel.SetBounds({x, y, width, 30 + rows * cellHeight});
        panel.Layout(group.columns, cellHeight);
        x += width + Gap;
        rowBottom = std::max(rowBottom, panel.Bounds().Bottom());
    }
}

}  // namespace

ParameterControl* AddControl(Panel& panel, ParameterAccess& parameters, const std::string& name, std::string label,
                             ControlKind kind) {
    const int32_t index = parameters.Find(name);
    if (index < 0) return nullptr;
    if (kind == ControlKind::Automatic) {
        const int32_t steps = parameters.Steps(index);
        kind = steps == 2 ? ControlKind::Switch : steps > 2 && steps <= 24 ? ControlKind::Selector : ControlKind::Knob;
    }
    if (kind == ControlKind::Switch) return &panel.Make<Switch>(parameters, index, std::move(label));
    if (kind == ControlKind::Selector) return &panel.Make<Selector>(parameters, index, std::move(label));
    return &panel.Make<Knob>(parameters, index, std::move(label));
}

void ModulatorsPage::SetBounds(const Rect& bounds) {
    Tabs::SetBounds(bounds);
    if (built_) return;  // one layout: the editor's logical size never changes
    built_ = true;
    for (int32_t i = 1; i <= Count; ++i) {
        const std::string name = "LFO " + std::to_string(i);
        Container& page = AddPage<Container>(name);
        BuildGroups(page, parameters_, ModulatorGroups(), name + " ", PageArea(), 84);
    }
}

void MultiParametersPage::SetBounds(const Rect& bounds) {
    Container::SetBounds(bounds);
    if (built_) return;
    built_ = true;
    for (int32_t i = 1; i <= Count; ++i) {
        const std::string name = "MultiParameter " + std::to_string(i);
        const Group group{
            "", 4, 1.0, {{"", "Position"}, {" Value", "Value"}, {" MaxValue", "Max value"}, {" Range", "Range"}}};
        const Rect area{bounds.x + ((i - 1) % 2) * (bounds.width / 2 + 3), bounds.y + ((i - 1) / 2) * 150,
                        bounds.width / 2 - 3, 144};
        BuildGroups(*this, parameters_, {group}, name, area, 100);
        static_cast<Panel&>(*Children().back()).SetTitle("Multiparameter " + std::to_string(i));
    }
}

}  // namespace gui

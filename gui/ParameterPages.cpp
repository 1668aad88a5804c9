#include "gui/ParameterPages.h"

#include <algorithm>
#include <vector>

#include "gui/TargetsPanel.h"

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

const Group& MultiParameterGroup() {
    static const Group group{"Position and range",
                             4,
                             1.0,
                             {{"", "Position"}, {" Value", "Value"}, {" MaxValue", "Max value"}, {" Range", "Range"}}};
    return group;
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

OwnerPages::OwnerPages(ParameterAccess& parameters, ModulationAccess* modulation, ModulationAccess::Owner kind)
    : Tabs(0), parameters_(parameters), modulation_(modulation), kind_(kind) {}

void OwnerPages::SetBounds(const Rect& bounds) {
    Tabs::SetBounds(bounds);
    if (built_) return;  // one layout: the editor's logical size never changes
    built_ = true;
    const bool modulator = kind_ == ModulationAccess::Owner::Modulator;
    // With the targets beside them, the first groups leave the right part of the page free.
    std::vector<Group> groups = modulator ? ModulatorGroups() : std::vector<Group>{MultiParameterGroup()};
    if (modulation_ != nullptr) groups.front().widthShare = modulator ? 0.72 : 0.6;
    for (int32_t i = 0; i < Count; ++i) {
        const std::string number = std::to_string(i + 1);
        Container& page = AddPage<Container>(modulator ? "LFO " + number : "Multiparameter " + number);
        const Rect area = PageArea();
        BuildGroups(page, parameters_, groups, modulator ? "LFO " + number + " " : "MultiParameter " + number, area,
                    modulator ? 84 : 100);
        if (modulation_ == nullptr) continue;
        const Rect first = page.Children().front()->Bounds();
        const double height = groups.size() == 1 ? area.height : first.height;
        page.Make<TargetsPanel>(*modulation_, kind_, i)
            .SetBounds({first.Right() + 6, area.y, area.Right() - first.Right() - 6, height});
    }
}

}  // namespace gui

#include "framework/plugin/EditorModulation.h"

#include <algorithm>

#include "framework/plugin/EditorParameters.h"

namespace corvane {

namespace {

bool InBank(int32_t owner, int32_t count) { return owner >= 0 && owner < count; }

}  // namespace

TargetList* EditorModulation::ListOf(Owner kind, int32_t owner) const {
    if (kind == Owner::Modulator)
        return InBank(owner, ModulatorBank::Count) ? &plugin_.Modulators().At(owner).Targets() : nullptr;
    return InBank(owner, MultiParameterBank::Count) ? &plugin_.MultiParameters().At(owner).Targets() : nullptr;
}

int32_t* EditorModulation::ModeOf(Owner kind, int32_t owner) const {
    if (kind == Owner::Modulator)
        return InBank(owner, ModulatorBank::Count) ? &plugin_.Modulators().At(owner).mode : nullptr;
    return InBank(owner, MultiParameterBank::Count) ? &plugin_.MultiParameters().At(owner).mode : nullptr;
}

std::vector<std::string> EditorModulation::ModeNames(Owner kind) const {
    if (kind == Owner::Modulator) return {std::begin(LFOModeNames), std::end(LFOModeNames)};
    return {std::begin(MultiParameterModeNames), std::end(MultiParameterModeNames)};
}

int32_t EditorModulation::Mode(Owner kind, int32_t owner) const {
    const int32_t* mode = ModeOf(kind, owner);
    return mode != nullptr ? *mode : 0;
}

void EditorModulation::SetMode(Owner kind, int32_t owner, int32_t mode) {
    int32_t* current = ModeOf(kind, owner);
    if (current == nullptr) return;
    MAudioPlugin::ExclusiveAccess exclusive(plugin_);
    *current = std::clamp(mode, 0, static_cast<int32_t>(ModeNames(kind).size()) - 1);
}

std::vector<std::string> EditorModulation::Targets(Owner kind, int32_t owner) const {
    std::vector<std::string> names;
    TargetList* list = ListOf(kind, owner);
    if (list == nullptr) return names;
    MParameterRegistry& parameters = plugin_.Parameters();
    // Copied under the list's lock, named outside it.
    std::vector<int32_t> indexes;
    list->CopyIndexes(indexes);
    for (const int32_t index : indexes)
        names.push_back(index >= 0 && index < parameters.ParameterCount() ? parameters.GetParameterName(index)
                                                                          : std::string());
    return names;
}

std::string EditorModulation::AddTarget(Owner kind, int32_t owner, const std::string& parameter) {
    TargetList* list = ListOf(kind, owner);
    if (list == nullptr) return "No such owner.";
    const int32_t index = EditorParameters(plugin_).Find(parameter);
    if (index < 0) return "There is no parameter \"" + parameter + "\".";
    // A list's first entry exists from the start; it is filled before any is added.
    const std::vector<std::string> current = Targets(kind, owner);
    int32_t position = static_cast<int32_t>(current.size());
    if (current.size() == 1 && current[0].empty())
        position = 0;
    else if (!list->Add())
        return "The list is full.";
    list->Assign(position, index, plugin_.Parameters());
    return std::string();
}

std::string EditorModulation::RemoveTarget(Owner kind, int32_t owner, int32_t position) {
    TargetList* list = ListOf(kind, owner);
    if (list == nullptr) return "No such owner.";
    std::string message;
    if (!list->Remove(position, message) && message.empty()) message = "Choose a target first.";
    return message;
}

}  // namespace corvane

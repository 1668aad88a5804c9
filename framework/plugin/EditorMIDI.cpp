#include "framework/plugin/EditorMIDI.h"

#include <algorithm>

#include "framework/plugin/EditorParameters.h"

namespace corvane {

gui::MIDIAccess::Mapping EditorMIDI::At(int32_t slot) const {
    Mapping mapping;
    if (!Valid(slot)) return mapping;
    const MIDIControllerSlot& entry = plugin_.Controllers().controllers[slot];
    mapping.enabled = entry.enabled;
    mapping.source = entry.controller;
    mapping.channel = entry.channel;
    if (entry.index >= 0 && entry.index < plugin_.Parameters().ParameterCount())
        mapping.parameter = plugin_.Parameters().GetParameterName(entry.index);
    return mapping;
}

void EditorMIDI::SetEnabled(bool on) {
    MAudioPlugin::ExclusiveAccess exclusive(plugin_);
    plugin_.Controllers().controllersEnabled = on;
}

void EditorMIDI::SetMapping(int32_t slot, const Mapping& mapping) {
    if (!Valid(slot)) return;
    MAudioPlugin::ExclusiveAccess exclusive(plugin_);
    MIDIControllerSlot& entry = plugin_.Controllers().controllers[slot];
    entry.enabled = mapping.enabled;
    entry.controller = std::clamp(mapping.source, 0, SourceCount - 1);
    entry.channel = std::clamp(mapping.channel, 0, 16);
}

bool EditorMIDI::Assign(int32_t slot, const std::string& parameter) {
    if (!Valid(slot)) return false;
    const int32_t index = EditorParameters(plugin_).Find(parameter);
    if (index < 0) return false;
    MAudioPlugin::ExclusiveAccess exclusive(plugin_);
    MIDIControllerSlot& entry = plugin_.Controllers().controllers[slot];
    entry.index = index;
    entry.enabled = true;
    return true;
}

bool EditorMIDI::Learn(int32_t slot) { return Valid(slot) && plugin_.LearnMIDIController(slot); }

}  // namespace corvane

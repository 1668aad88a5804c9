#include "tools/render/MIDIOptions.h"

#include <cstdlib>
#include <stdexcept>

#include "tools/render/PluginHost.h"
#include "tools/render/StateTree.h"

namespace render {

using corvane::MXMLItem;

namespace {

constexpr int32_t Slots = 32;

// A whole decimal number from `low` to `high`, or -1.
int32_t Number(const std::string& text, int32_t low, int32_t high) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
    const int32_t value = std::atoi(text.c_str());
    return value >= low && value <= high ? value : -1;
}

// The first slot element that is free (missing or not enabled).
MXMLItem& FreeSlot(MXMLItem& table, const std::string& prefix) {
    for (int32_t i = 0; i < Slots; ++i) {
        MXMLItem* slot = table.FindSubItem(prefix + std::to_string(i));
        if (slot == nullptr || slot->GetAttribute("Enabled") != "1")
            return table.GetOrAddSubItem(prefix + std::to_string(i));
    }
    throw std::runtime_error("all " + std::to_string(Slots) + " " + prefix + " slots are in use");
}

}  // namespace

MIDIMapping ParseMIDIMapping(const std::string& text, const PluginHost& plugin) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos)
        throw std::runtime_error("--midi-map needs \"SOURCE=PARAMETER\", got \"" + text + "\"");
    std::string source = text.substr(0, equals);
    MIDIMapping mapping;
    const size_t at = source.find('@');
    if (at != std::string::npos) {
        mapping.channel = Number(source.substr(at + 1), 1, 16);
        if (mapping.channel < 0) throw std::runtime_error("--midi-map takes channels 1 to 16, got \"" + text + "\"");
        source.resize(at);
    }
    if (source == "note") {
        mapping.note = true;
    } else if (source == "aftertouch") {
        mapping.source = 128;
    } else if (source == "pitch-bend") {
        mapping.source = 129;
    } else if (source == "velocity") {
        mapping.source = 131;
    } else if (source.compare(0, 2, "cc") == 0 && Number(source.substr(2), 0, 127) >= 0) {
        mapping.source = Number(source.substr(2), 0, 127);
    } else {
        throw std::runtime_error(
            "--midi-map takes the sources cc0 .. cc127, aftertouch, pitch-bend, velocity and note, got \"" + source +
            "\"");
    }
    const std::string name = text.substr(equals + 1);
    const int32_t index = plugin.Find(name);
    if (index < 0) throw std::runtime_error("unknown parameter \"" + name + "\" in --midi-map");
    mapping.parameter = plugin.Parameter(index).fullName;
    return mapping;
}

std::vector<uint8_t> ApplyMIDIMappings(const std::vector<uint8_t>& state, const std::vector<MIDIMapping>& mappings) {
    MXMLItem root = ReadStateTree(state);
    for (const MIDIMapping& m : mappings) {
        MXMLItem& slot = m.note ? FreeSlot(root.GetOrAddSubItem("NoteControllers"), "NoteController")
                                : FreeSlot(root.GetOrAddSubItem("Controllers"), "Controller");
        root.SetAttribute(m.note ? "NoteControllersEnabled" : "ControllersEnabled", "1");
        slot.SetAttribute("Enabled", "1");
        slot.SetAttribute("ParameterName", m.parameter);
        slot.SetAttribute("Channel", std::to_string(m.channel));
        if (!m.note) {
            slot.SetAttribute("Controller", std::to_string(m.source));
            slot.SetAttribute("FullRange", "2");  // up only: the source's travel is the parameter's
        }
    }
    return WriteStateTree(root);
}

}  // namespace render

#include "tools/render/ModulatorOptions.h"

#include <stdexcept>

#include "tools/render/PluginHost.h"
#include "tools/render/StateTree.h"

namespace render {

using corvane::MXMLItem;

namespace {

// "LFO n=REST": n - 1, and REST.
int32_t SplitModulator(const std::string& text, const std::string& option, std::string& rest) {
    const size_t equals = text.find('=');
    const std::string head = text.substr(0, equals);
    if (equals == std::string::npos || head.size() != 5 || head.compare(0, 4, "LFO ") != 0 || head[4] < '1' ||
        head[4] > '4')
        throw std::runtime_error(option + " needs \"LFO n=...\" with n from 1 to 4, got \"" + text + "\"");
    rest = text.substr(equals + 1);
    return head[4] - '1';
}

MXMLItem& ModulatorElement(MXMLItem& root, int32_t modulator) {
    return root.GetOrAddSubItem("LFOs").GetOrAddSubItem("LFO" + std::to_string(modulator));
}

}  // namespace

ModulatorSwitches ParseModulatorSwitches(const std::string& text) {
    ModulatorSwitches switches;
    std::string words;
    switches.modulator = SplitModulator(text, "--lfo", words);
    for (size_t start = 0; start <= words.size();) {
        const size_t comma = std::min(words.find(',', start), words.size());
        const std::string word = words.substr(start, comma - start);
        start = comma + 1;
        if (word == "normal") {
            switches.mode = "Normal";
        } else if (word == "follower") {
            switches.mode = "Envelope";
        } else if (word == "envelope" || word == "audio-envelope") {
            switches.mode = "MIDI Envelope";
            switches.audioEnvelope = word == "audio-envelope";
        } else if (word == "random") {
            switches.mode = "Random";
        } else if (word == "pitch") {
            switches.mode = "Pitch";
        } else if (word == "sync") {
            switches.sync = true;
        } else if (word == "high-speed") {
            switches.highSpeed = true;
        } else {
            throw std::runtime_error(
                "--lfo takes normal, follower, envelope, audio-envelope, random, pitch, sync "
                "and high-speed, got \"" +
                word + "\"");
        }
    }
    return switches;
}

std::vector<uint8_t> ApplyModulatorSwitches(const std::vector<uint8_t>& state,
                                            const std::vector<ModulatorSwitches>& switches) {
    MXMLItem root = ReadStateTree(state);
    for (const ModulatorSwitches& s : switches) {
        MXMLItem& element = ModulatorElement(root, s.modulator);
        if (!s.mode.empty()) element.SetAttribute("Mode", s.mode);
        if (s.audioEnvelope) element.GetOrAddSubItem("AudioEnvelope").SetAttribute("Source", "Audio");
        if (s.sync) element.GetOrAddSubItem("Sync").SetAttribute("Enabled", "1");
        if (s.highSpeed) element.SetAttribute("HiSpeed", "1");
    }
    return WriteStateTree(root);
}

ModulatorTarget ParseModulatorTarget(const std::string& text, const PluginHost& plugin) {
    std::string name;
    const int32_t modulator = SplitModulator(text, "--lfo-target", name);
    const int32_t index = plugin.Find(name);
    if (index < 0) throw std::runtime_error("unknown parameter \"" + name + "\" in --lfo-target");
    return {modulator, plugin.Parameter(index).fullName};
}

std::vector<uint8_t> ApplyModulatorTargets(const std::vector<uint8_t>& state,
                                           const std::vector<ModulatorTarget>& targets) {
    MXMLItem root = ReadStateTree(state);
    for (const ModulatorTarget& target : targets) {
        MXMLItem& element = ModulatorElement(root, target.modulator);
        // A new modulator's single target points nowhere yet: it gives way.
        for (size_t i = 0; i < element.SubItemCount(); ++i) {
            MXMLItem& entry = element.SubItem(i);
            if (entry.Name() == "Parameter" && entry.GetAttribute("ParameterName").empty()) entry.SetName("Unassigned");
        }
        element.RemoveSubItem("Unassigned");
        MXMLItem& parameter = element.AddSubItem("Parameter");
        parameter.SetAttribute("ParameterName", target.parameter);
        parameter.SetAttribute("FullRange", "0");
    }
    return WriteStateTree(root);
}

}  // namespace render

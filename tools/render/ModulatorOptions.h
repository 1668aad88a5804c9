#pragma once
// Modulators from the command line, written into the plug-in's state as a
// host would store it: "--lfo-target 'LFO 1=Volume'" points a modulator at
// a parameter (repeatable: each adds a target); "--lfo 'LFO 1=random,sync'"
// sets what hosts do not see as parameters: the mode, synchronisation to
// the tempo, high speed. The other settings are ordinary parameters
// ("LFO 1 Enabled", "LFO 1 Frequency", ...).

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class PluginHost;

struct ModulatorTarget {
    int32_t modulator;      // 0 .. 3
    std::string parameter;  // the parameter's full name
};

struct ModulatorSwitches {
    int32_t modulator;           // 0 .. 3
    std::string mode;            // stored mode name; empty: unchanged
    bool audioEnvelope = false;  // the envelope follows the input level instead of MIDI notes
    bool sync = false, highSpeed = false;
};

// Throws std::runtime_error saying what is wrong with the text.
ModulatorSwitches ParseModulatorSwitches(const std::string& text);
std::vector<uint8_t> ApplyModulatorSwitches(const std::vector<uint8_t>& state,
                                            const std::vector<ModulatorSwitches>& switches);

// Throws std::runtime_error saying what is wrong with the text.
ModulatorTarget ParseModulatorTarget(const std::string& text, const PluginHost& plugin);
// The state with the targets added (unassigned targets give way).
std::vector<uint8_t> ApplyModulatorTargets(const std::vector<uint8_t>& state,
                                           const std::vector<ModulatorTarget>& targets);

}  // namespace render

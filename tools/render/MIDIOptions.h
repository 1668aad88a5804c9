#pragma once
// MIDI mappings from the command line, written into the plug-in's state as
// a host would store it: "--midi-map 'cc7=Volume'" maps controller 7 onto a
// parameter; the source may also be aftertouch, pitch-bend, velocity, or
// note (a note controller: the played note moves the parameter), and
// "@CHANNEL" (1 .. 16) after it listens to one channel only.

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class PluginHost;

struct MIDIMapping {
    bool note = false;      // a note controller instead of a controller mapping
    int32_t source = 0;     // controller 0 .. 127, 128 aftertouch, 129 pitch-bend, 131 velocity
    int32_t channel = 0;    // 0: any
    std::string parameter;  // the parameter's full name
};

// Throws std::runtime_error saying what is wrong with the text.
MIDIMapping ParseMIDIMapping(const std::string& text, const PluginHost& plugin);
// The state with the mappings in the first free slots, and the tables switched on.
std::vector<uint8_t> ApplyMIDIMappings(const std::vector<uint8_t>& state, const std::vector<MIDIMapping>& mappings);

}  // namespace render

#pragma once
// Standard MIDI files (formats 0 and 1, metrical or SMPTE time) read into
// channel messages at sample positions, with the file's tempo changes.

#include <cstdint>
#include <string>
#include <vector>

namespace render {

struct MidiMessage {
    int64_t frame = 0;      // sample position from the start
    uint8_t bytes[3] = {};  // status and up to two data bytes
};

// Every track's channel messages merged in time order (ties keep file
// order). Throws std::runtime_error naming what is wrong with the file.
std::vector<MidiMessage> ReadMidiFile(const std::string& path, double sampleRate);
// The same from bytes already read; `name` is used in messages.
std::vector<MidiMessage> ParseMidiFile(const std::vector<uint8_t>& bytes, double sampleRate, const std::string& name);

}  // namespace render

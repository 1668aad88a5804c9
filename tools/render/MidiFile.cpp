#include "tools/render/MidiFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace render {

namespace {

// One track's message at its tick, before tempo is applied.
struct TimedMessage {
    int64_t tick;
    size_t order;  // file order, to keep ties stable
    MidiMessage message;
};

struct TempoChange {
    int64_t tick;
    double microsecondsPerQuarter;
};

class Reader {
public:
    Reader(const std::vector<uint8_t>& bytes, size_t begin, size_t end, const std::string& name)
        : bytes_(bytes), at_(begin), end_(end), name_(name) {}

    bool AtEnd() const { return at_ >= end_; }
    size_t Position() const { return at_; }
    uint8_t Byte() {
        if (at_ >= end_) Fail("ends in the middle of an event");
        return bytes_[at_++];
    }
    uint8_t Peek() const { return at_ < end_ ? bytes_[at_] : 0; }
    uint32_t Big(int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = (value << 8) | Byte();
        return value;
    }
    // A variable-length quantity: at most four bytes.
    uint32_t Variable() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = Byte();
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) return value;
        }
        Fail("has a length of more than four bytes");
        return 0;
    }
    void Skip(uint32_t count, const char* failure = "has an event running past its track") {
        if (count > end_ - at_) Fail(failure);
        at_ += count;
    }
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("the MIDI file " + name_ + " " + what + " (at byte " + std::to_string(at_) + ")");
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_, end_;
    const std::string& name_;
};

int DataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

void ReadTrack(Reader& track, std::vector<TimedMessage>& messages, std::vector<TempoChange>& tempi) {
    int64_t tick = 0;
    uint8_t running = 0;
    while (!track.AtEnd()) {
        tick += track.Variable();
        uint8_t status = track.Peek();
        if (status & 0x80) {
            track.Byte();
        } else {
            if (running == 0) track.Fail("has data without a status byte");
            status = running;
        }
        if (status == 0xFF) {  // meta event
            const uint8_t type = track.Byte();
            const uint32_t length = track.Variable();
            if (type == 0x2F) return;  // end of track
            if (type == 0x51 && length == 3) {
                const uint32_t perQuarter = track.Big(3);
                if (perQuarter > 0) tempi.push_back({tick, static_cast<double>(perQuarter)});
            } else {
                track.Skip(length);
            }
            running = 0;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {  // system exclusive
            track.Skip(track.Variable());
            running = 0;
            continue;
        }
        if (status >= 0xF0) track.Fail("has a system message that files do not hold");
        running = status;
        MidiMessage message;
        message.bytes[0] = status;
        for (int i = 0; i < DataBytes(status); ++i) {
            message.bytes[1 + i] = track.Byte();
            if (message.bytes[1 + i] & 0x80) track.Fail("has a data byte above 127");
        }
        messages.push_back({tick, messages.size(), message});
    }
}

}  // namespace

std::vector<MidiMessage> ParseMidiFile(const std::vector<uint8_t>& bytes, double sampleRate, const std::string& name) {
    Reader file(bytes, 0, bytes.size(), name);
    if (bytes.size() < 14 || file.Big(4) != 0x4D546864u) file.Fail("is not a standard MIDI file");
    const uint32_t headerLength = file.Big(4);
    if (headerLength < 6) file.Fail("has a header that is too short");
    const uint32_t format = file.Big(2), trackCount = file.Big(2), division = file.Big(2);
    file.Skip(headerLength - 6);
    if (format > 1) file.Fail("is of format 2 (independent songs), which cannot be played as one");
    if (division == 0) file.Fail("has no time division");

    std::vector<TimedMessage> messages;
    std::vector<TempoChange> tempi;
    for (uint32_t t = 0; t < trackCount && !file.AtEnd(); ++t) {
        const uint32_t id = file.Big(4), length = file.Big(4);
        const size_t begin = file.Position();
        file.Skip(length, "is cut short: a track runs past the end of the file");
        if (id != 0x4D54726Bu) continue;  // chunks of unknown kinds are passed over
        Reader track(bytes, begin, begin + length, name);
        ReadTrack(track, messages, tempi);
    }
    std::stable_sort(messages.begin(), messages.end(),
                     [](const TimedMessage& a, const TimedMessage& b) { return a.tick < b.tick; });
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });

    // Ticks to seconds: SMPTE division counts frames per second and ticks
    // per frame; metrical division follows the tempo map (120 BPM until the
    // first change), swept once alongside the sorted messages.
    const bool smpte = (division & 0x8000) != 0;
    const int framesPerSecond = smpte ? -static_cast<int8_t>(division >> 8) : 0;
    const int ticksPerFrame = smpte ? static_cast<int>(division & 0xFF) : 0;
    if (smpte && (framesPerSecond <= 0 || ticksPerFrame <= 0)) file.Fail("has an invalid SMPTE time division");
    double sweptSeconds = 0.0, perQuarter = 500000.0;
    int64_t sweptTick = 0;
    size_t nextTempo = 0;
    std::vector<MidiMessage> result;
    result.reserve(messages.size());
    for (const TimedMessage& timed : messages) {
        double at = 0.0;
        if (smpte) {
            at = static_cast<double>(timed.tick) / (framesPerSecond * ticksPerFrame);
        } else {
            while (nextTempo < tempi.size() && tempi[nextTempo].tick <= timed.tick) {
                sweptSeconds += static_cast<double>(tempi[nextTempo].tick - sweptTick) * perQuarter / division * 1e-6;
                sweptTick = tempi[nextTempo].tick;
                perQuarter = tempi[nextTempo++].microsecondsPerQuarter;
            }
            at = sweptSeconds + static_cast<double>(timed.tick - sweptTick) * perQuarter / division * 1e-6;
        }
        MidiMessage message = timed.message;
        message.frame = static_cast<int64_t>(std::llround(at * sampleRate));
        result.push_back(message);
    }
    return result;
}

std::vector<MidiMessage> ReadMidiFile(const std::string& path, double sampleRate) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open the MIDI file " + path);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseMidiFile(bytes, sampleRate, path);
}

}  // namespace render

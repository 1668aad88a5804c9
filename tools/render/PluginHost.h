#pragma once
// Hosts Sonvera the way a DAW does: the library through its VST 2.4 entry
// (VSTPluginMain) or a ".vst3" bundle through its VST3 factory, and the
// published binary interface, nothing else.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/render/MidiFile.h"

namespace render {

struct ParameterInfo {
    int32_t index;
    std::string name, identifier, display, label;
    std::string fullName;  // unique among the parameters ("LFO 1 Enabled")
};

// The transport a host plays: from the start at a fixed tempo, the song
// position advancing with every block processed.
class Transport {
public:
    void Start(double bpm, double sampleRate) { tempo_ = bpm, sampleRate_ = sampleRate, samples_ = 0; }
    bool Running() const { return tempo_ > 0.0; }
    double Tempo() const { return tempo_; }
    double SampleRate() const { return sampleRate_; }
    int64_t Samples() const { return samples_; }
    double QuarterNotes() const { return static_cast<double>(samples_) * tempo_ / (60.0 * sampleRate_); }
    void Advance(int32_t frames) { samples_ += frames; }

private:
    double tempo_ = -1.0, sampleRate_ = 48000.0;
    int64_t samples_ = 0;
};

class PluginHost {
public:
    // A ".vst3" bundle through VST3, anything else through VST 2.4. Throws
    // std::runtime_error with a readable reason when the library cannot be used.
    static std::unique_ptr<PluginHost> Open(const std::string& path, double sampleRate, int32_t blockSize);
    virtual ~PluginHost() = default;

    virtual int32_t ParameterCount() const = 0;
    virtual int32_t Latency() const = 0;
    virtual ParameterInfo Parameter(int32_t index) const = 0;
    std::vector<ParameterInfo> Parameters() const;
    // -1 when no parameter has this full name, display name or identifier (any case).
    int32_t Find(const std::string& name) const;
    // The names closest to a mistyped one.
    std::vector<std::string> Suggestions(const std::string& name, size_t count) const;
    virtual bool SetText(int32_t index, const std::string& text) = 0;
    virtual void SetNormalised(int32_t index, float value) = 0;

    // Plays at this tempo from the start of the render on.
    void SetTempo(double bpm, double sampleRate) { transport_.Start(bpm, sampleRate); }

    virtual std::vector<uint8_t> GetState() const = 0;
    virtual bool SetState(const std::vector<uint8_t>& bytes) = 0;

    // A channel message for the next Process call; `frame` is its offset in that block.
    void QueueMidi(const MidiMessage& message) { midi_.push_back(message); }

    // Stereo carrier (main input), stereo modulator (side-chain), stereo
    // output; the queued MIDI goes with the block.
    virtual void Process(float* const carrier[2], float* const modulator[2], float* output[2], int32_t frames) = 0;

protected:
    Transport transport_;
    std::vector<MidiMessage> midi_;
};

std::unique_ptr<PluginHost> OpenVst2(const std::string& path, double sampleRate, int32_t blockSize);
std::unique_ptr<PluginHost> OpenVst3(const std::string& bundle, double sampleRate, int32_t blockSize);

}  // namespace render

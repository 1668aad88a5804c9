#pragma once
// Hosts Sonvera.so the way a DAW does: dlopen, VSTPluginMain, and the VST 2.4
// binary interface, nothing else.

#include <cstdint>
#include <string>
#include <vector>

#include "hosts/vst2/VstInterface.h"

namespace render {

struct ParameterInfo {
    int32_t index;
    std::string name, identifier, display, label;
};

class PluginHost {
public:
    // Throws std::runtime_error with a readable reason when the library cannot be used.
    PluginHost(const std::string& path, double sampleRate, int32_t blockSize);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    int32_t ParameterCount() const { return effect_->numParams; }
    int32_t Latency() const { return effect_->initialDelay; }
    ParameterInfo Parameter(int32_t index) const;
    std::vector<ParameterInfo> Parameters() const;
    // -1 when no parameter has this display name or identifier (any case).
    int32_t Find(const std::string& name) const;
    // The names closest to a mistyped one.
    std::vector<std::string> Suggestions(const std::string& name, size_t count) const;
    bool SetText(int32_t index, const std::string& text);
    void SetNormalised(int32_t index, float value);

    std::vector<uint8_t> GetState() const;
    bool SetState(const std::vector<uint8_t>& bytes);

    // Stereo carrier (main input), stereo modulator (side-chain), stereo output.
    void Process(float* const carrier[2], float* const modulator[2], float* output[2], int32_t frames);

private:
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) const;

    void* library_ = nullptr;
    Vst2::AEffect* effect_ = nullptr;
};

}  // namespace render

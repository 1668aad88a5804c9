#pragma once
// Drives a vocoder effect through the effect command protocol, as the
// framework does, with deterministic test signals.

#include <cmath>
#include <cstdint>
#include <vector>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "entry/Exports.h"

namespace sonvera_test {

inline std::vector<float> Noise(int n, uint32_t seed, float amplitude = 0.5f) {
    std::vector<float> v(n);
    for (float& s : v) {
        seed = seed * 1664525u + 1013904223u;
        s = static_cast<float>(static_cast<int32_t>(seed)) * (amplitude / 2147483648.0f);
    }
    return v;
}

inline std::vector<float> Sine(int n, double frequency, double rate = 48000.0, float amplitude = 0.5f) {
    std::vector<float> v(n);
    for (int i = 0; i < n; ++i) v[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * frequency * i / rate));
    return v;
}

class EffectDriver {
public:
    explicit EffectDriver(int32_t channels = 2, double rate = 48000.0) {
        effect = reinterpret_cast<sonvera::SonveraAudioEffectPlugin*>(
            SonveraAudioEffectPluginInterface(nullptr, corvane::PluginCommand::GetObject, nullptr));
        Init(channels, rate);
    }
    ~EffectDriver() { SonveraAudioEffectPluginInterface(effect, corvane::PluginCommand::Destroy, nullptr); }

    void Init(int32_t channels, double rate) {
        corvane::MPluginArguments arguments;
        arguments.Set(0, static_cast<uint32_t>(channels));
        arguments.SetPointer(1, &rate);
        SonveraAudioEffectPluginInterface(effect, corvane::PluginCommand::InitProcessing, &arguments);
    }

    // A host writes the record, then announces the change.
    void SetFloat(int32_t index, double value) {
        effect->Parameter(index).floatValues.value = value;
        Changed(index);
    }
    void SetInteger(int32_t index, int32_t value) {
        effect->Parameter(index).integerValues.value = value;
        Changed(index);
    }
    void SetEnum(int32_t index, int32_t value) {
        effect->Parameter(index).enumValues.valueIndex = value;
        Changed(index);
    }
    void SetBool(int32_t index, bool value) {
        effect->Parameter(index).boolValue = value ? 1 : 0;
        Changed(index);
    }
    void Changed(int32_t index) {
        corvane::MPluginArguments arguments;
        arguments.Set(0, static_cast<uint32_t>(index));
        SonveraAudioEffectPluginInterface(effect, corvane::PluginCommand::ParameterChanged, &arguments);
    }

    // Main bus channels at 0..7, side-chain at 8..15.
    void Process(const std::vector<const float*>& main, const std::vector<const float*>& side,
                 const std::vector<float*>& outputs, int32_t n) {
        float* inputs[16] = {};
        for (size_t c = 0; c < main.size(); ++c) inputs[c] = const_cast<float*>(main[c]);
        for (size_t c = 0; c < side.size(); ++c) inputs[8 + c] = const_cast<float*>(side[c]);
        float* out[8] = {};
        for (size_t c = 0; c < outputs.size(); ++c) out[c] = outputs[c];
        ProcessTables(inputs, out, n);
    }

    // Channel tables as the framework hands them over; allocates nothing.
    void ProcessTables(float** inputs, float** out, int32_t n) {
        corvane::MPluginArguments arguments;
        arguments.SetPointer(1, inputs);
        arguments.SetPointer(2, out);
        arguments.Set(3, static_cast<uint32_t>(n));
        SonveraAudioEffectPluginInterface(effect, corvane::PluginCommand::Process, &arguments);
    }

    // Mono convenience: one carrier, one modulator, one output.
    std::vector<float> ProcessMono(const std::vector<float>& carrier, const std::vector<float>& modulator,
                                   int32_t block = 256) {
        std::vector<float> out(carrier.size());
        for (size_t start = 0; start < carrier.size(); start += block) {
            const int32_t n = static_cast<int32_t>(std::min<size_t>(block, carrier.size() - start));
            Process({carrier.data() + start}, {modulator.data() + start}, {out.data() + start}, n);
        }
        return out;
    }

    sonvera::SonveraAudioEffectPlugin* effect;
};

inline double Energy(const std::vector<float>& v, size_t from = 0) {
    double e = 0.0;
    for (size_t i = from; i < v.size(); ++i) e += static_cast<double>(v[i]) * v[i];
    return e;
}

}  // namespace sonvera_test

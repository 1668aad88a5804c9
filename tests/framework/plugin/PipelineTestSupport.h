#pragma once
// A small effect that records what the pipeline hands it, and a framework
// plug-in around it whose modulator activity a test can switch.

#include <cmath>
#include <functional>
#include <vector>

#include "entry/interface/MAudioEffectPlugin.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

namespace sonvera_test {

// out[c] = in[c] * gain on every channel; records sub-blocks and inputs.
class RecordingEffect : public corvane::MAudioEffectPlugin {
public:
    RecordingEffect() {
        gain_.kind = corvane::ParameterKindFloat;
        gain_.name = "Gain";
        gain_.identifier = "Gain";
        gain_.floatValues = {0.0, 4.0, 1.0, 1.0, 1.0};
        gain_.SetBit(0, corvane::ParameterBits::Interpolated, true);
        gain_.SetBit(0, corvane::ParameterBits::FullUpdate, false);
        table_.parameters = &gain_;
        table_.parameterCount = 1;
        table_.inputBusCount = 2;
    }
    int32_t InitProcessing(int32_t channels, double rate) override {
        channels_ = channels;
        rate_ = rate;
        return 0;
    }
    void Update() override {
        ++updates;
        if (failUpdate) throw corvane::MException("The design failed.");
    }
    void Process(void*, float** inputs, float** outputs, int32_t n) override {
        if (duringProcess) duringProcess();
        subBlocks.push_back(n);
        const double gain = gain_.IsTargetMode() ? gain_.floatValues.target : gain_.floatValues.value;
        gains.push_back(gain);
        for (int32_t c = 0; c < channels_; ++c) {
            for (int32_t i = 0; i < n; ++i) {
                seen[c].push_back(inputs[c][i]);
                seenSide[c].push_back(inputs[8 + c][i]);
                outputs[c][i] = static_cast<float>(inputs[c][i] * gain);
            }
        }
    }
    corvane::ParameterDescriptor& Gain() { return gain_; }
    int32_t Channels() const { return channels_; }
    double Rate() const { return rate_; }

    // Runs inside every sub-block, on the audio thread.
    std::function<void()> duringProcess;
    std::vector<int32_t> subBlocks;
    std::vector<double> gains;
    std::vector<float> seen[8], seenSide[8];
    int updates = 0;
    bool failUpdate = false;

private:
    corvane::ParameterDescriptor gain_;
    int32_t channels_ = 0;
    double rate_ = 0.0;
};

inline int64_t RecordingEffectInterface(void* object, int64_t command, corvane::MPluginArguments* arguments) {
    auto* effect = static_cast<RecordingEffect*>(object);
    if (effect == nullptr) effect = new RecordingEffect();
    if (command == corvane::PluginCommand::GetObject) return corvane::PointerResult(effect);
    corvane::MPluginArguments empty;
    return effect->Dispatch(command, arguments != nullptr ? *arguments : empty);
}

class TestPlugin : public corvane::MQuorlithAudioEffectPlugin {
public:
    explicit TestPlugin(double rate = 48000.0) {
        SetHostSampleRate(rate);
        Initialize("Test", "Quorlith", RecordingEffectInterface);
    }
    RecordingEffect& Effect() {
        return *static_cast<RecordingEffect*>(corvane::MAudioEffectPluginToAudioPluginAdapter::Effect());
    }

    // Stereo main input, optional side-chain, stereo output.
    void Run(std::vector<float>& left, std::vector<float>& right, std::vector<float>& outL, std::vector<float>& outR,
             int32_t replace = 1, float* sideL = nullptr, float* sideR = nullptr) {
        float* inputs[16] = {left.data(), right.data()};
        inputs[8] = sideL;
        inputs[9] = sideR;
        float* outputs[8] = {outL.data(), outR.data()};
        ProcessBlock(inputs, outputs, static_cast<int32_t>(left.size()), replace);
    }
};

inline std::vector<float> Tone(int n, double frequency, double rate, float amplitude = 0.5f) {
    std::vector<float> v(n);
    for (int i = 0; i < n; ++i) v[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * frequency * i / rate));
    return v;
}

}  // namespace sonvera_test

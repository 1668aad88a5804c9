#pragma once
// The vocoder effect: its parameters, band graphs and processing.

#include <cstdint>

#include "effect/vocoder/VocoderParameters.h"
#include "entry/interface/MAudioEffectPlugin.h"
#include "framework/modulation/MEnvelope.h"

namespace sonvera {

class SonveraAudioEffectPlugin : public corvane::MAudioEffectPlugin {
public:
    SonveraAudioEffectPlugin();
    ~SonveraAudioEffectPlugin() override;

    int32_t InitProcessing(int32_t channelCount, double sampleRate) override;
    void Process(void* context, float** inputs, float** outputs, int32_t sampleCount) override;

    corvane::ParameterDescriptor& Parameter(int32_t index) { return parameters_[index]; }
    corvane::MEnvelopeGraph& Graph(int32_t index) { return graphs_[index]; }
    int32_t ChannelCount() const { return channelCount_; }
    double SampleRate() const { return sampleRate_; }

private:
    corvane::ParameterDescriptor parameters_[VocoderParameterCount];
    corvane::SpecialParameterDescriptor graphSpecials_[BandGraphCount];
    corvane::MEnvelopeGraph graphs_[BandGraphCount];
    int32_t channelCount_ = 2;
    double sampleRate_ = 44100.0;
};

}  // namespace sonvera

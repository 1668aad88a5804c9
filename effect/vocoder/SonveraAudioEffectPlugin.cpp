#include "effect/vocoder/SonveraAudioEffectPlugin.h"

#include <algorithm>
#include <cstring>

#include "framework/core/MLock.h"

namespace sonvera {

using namespace corvane;

SonveraAudioEffectPlugin::SonveraAudioEffectPlugin() {
    DeclareVocoderParameters(parameters_);
    DeclareBandGraphs(graphSpecials_, graphs_);
    table_.parameters = parameters_;
    table_.parameterCount = VocoderParameterCount;
    table_.specials = graphSpecials_;
    table_.specialCount = BandGraphCount;
    table_.inputBusCount = 2;  // main input and side-chain
}

SonveraAudioEffectPlugin::~SonveraAudioEffectPlugin() = default;

int32_t SonveraAudioEffectPlugin::InitProcessing(int32_t channelCount, double sampleRate) {
    MLock hold(Lock());
    channelCount_ = channelCount;
    sampleRate_ = sampleRate;
    return 0;
}

void SonveraAudioEffectPlugin::Process(void* /*context*/, float** /*inputs*/, float** outputs, int32_t sampleCount) {
    MLock hold(Lock());
    // Until the band processing is in, the effect answers with silence
    // rather than leave whatever the host had in its buffers.
    if (outputs == nullptr || sampleCount <= 0) return;
    const int32_t channels = std::min(std::max(channelCount_, 0), 8);
    for (int32_t channel = 0; channel < channels; ++channel)
        if (outputs[channel] != nullptr)
            std::memset(outputs[channel], 0, sizeof(float) * static_cast<size_t>(sampleCount));
}

}  // namespace sonvera

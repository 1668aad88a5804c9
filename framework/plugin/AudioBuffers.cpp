#include "framework/plugin/AudioBuffers.h"

#include <algorithm>
#include <cstring>

namespace corvane {

float* GrowingBuffer::Ensure(int32_t n, bool clear) {
    if (n < 1) n = 1;
    if (static_cast<size_t>(n) > data_.size()) {
        size_t length = static_cast<size_t>(n);
        if (n > 2) {
            length = 1;
            while (length < static_cast<size_t>(n)) length <<= 1;
        }
        if (clear)
            data_.assign(length, 0.0f);
        else
            data_.resize(length);
    }
    return data_.data();
}

void AudioBufferRepair::Reserve(int32_t n) {
    silence_.Ensure(n, true);
    scratch_.Ensure(n, false);
    for (GrowingBuffer& copy : monoCopies_) copy.Ensure(n, false);
}

void AudioBufferRepair::FixAudioBuffers(float** table, int32_t hostChannels, int32_t buses, int32_t channelsPerBus,
                                        int32_t stride, bool input, int32_t count) {
    if (count == 0 || table == nullptr) return;
    float* fallback = input ? silence_.Ensure(count, true) : scratch_.Ensure(count, false);
    for (int32_t bus = 0; bus < buses; ++bus) {
        float** channels = table + bus * stride;
        const bool partial = hostChannels >= 1 && hostChannels < channelsPerBus;
        const int32_t delivered = partial ? hostChannels : channelsPerBus;
        if (channels[0] == nullptr) {
            for (int32_t c = 0; c < channelsPerBus; ++c) channels[c] = fallback;
            continue;
        }
        for (int32_t c = 1; c < delivered; ++c)
            if (channels[c] == nullptr) channels[c] = channels[c - 1];
        for (int32_t c = delivered; c < channelsPerBus; ++c) channels[c] = fallback;
        // Mono into a stereo bus: the single channel feeds the second one as well.
        if (input && partial && hostChannels == 1 && channelsPerBus == 2) {
            const size_t slot = static_cast<size_t>(bus) % 16;
            float* copy = monoCopies_[slot].Ensure(count, false);
            std::memcpy(copy, channels[0], sizeof(float) * static_cast<size_t>(count));
            channels[1] = copy;
        }
    }
}

}  // namespace corvane

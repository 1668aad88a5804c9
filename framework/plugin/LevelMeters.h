#pragma once
// Peak levels for the editor's meters, handed from the audio thread to the
// editor without a lock: the audio thread raises each meter to the block's
// peak, the editor takes the peak since its last look and starts it afresh.

#include <atomic>
#include <cmath>
#include <cstdint>

namespace corvane {

class LevelMeters {
public:
    enum Meter { Carrier, Modulator, Output, Count };

    // [audio-thread] The peak of `count` samples of each of `channels` channels.
    void Feed(Meter meter, const float* const* channels, int32_t channelCount, int32_t count) {
        float peak = 0.0f;
        for (int32_t c = 0; c < channelCount; ++c)
            if (channels[c] != nullptr)
                for (int32_t i = 0; i < count; ++i) peak = std::fmax(peak, std::fabs(channels[c][i]));
        std::atomic<float>& level = levels_[meter];
        float seen = level.load(std::memory_order_relaxed);
        while (peak > seen && !level.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {
        }
    }
    // [main-thread] The peak since the last call.
    float Take(Meter meter) { return levels_[meter].exchange(0.0f, std::memory_order_relaxed); }

private:
    std::atomic<float> levels_[Count] = {};
};

}  // namespace corvane

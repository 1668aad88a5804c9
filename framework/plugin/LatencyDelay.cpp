#include "framework/plugin/LatencyDelay.h"

#include <algorithm>

namespace corvane {

void LatencyDelay::SetLatency(int32_t samples) {
    samples = std::max(samples, 0);
    if (samples == latency_) return;
    size_t capacity = 1;
    while (capacity < static_cast<size_t>(samples) + 1) capacity <<= 1;
    if (capacity > line_.size()) {
        // Move the history into the larger ring, newest samples last.
        std::vector<float> grown(capacity, 0.0f);
        const size_t old = line_.size();
        for (size_t k = 1; k <= old; ++k) grown[capacity - k] = line_[(write_ + old - k) % old];
        line_.swap(grown);
        write_ = 0;
    }
    latency_ = samples;
}

void LatencyDelay::Process(const float* input, float* output, int32_t n) {
    if (latency_ == 0) {
        if (input != output) std::copy(input, input + n, output);
        return;
    }
    const size_t mask = line_.size() - 1;
    for (int32_t i = 0; i < n; ++i) {
        const float x = input[i];
        line_[write_] = x;
        output[i] = line_[(write_ - static_cast<size_t>(latency_)) & mask];
        write_ = (write_ + 1) & mask;
    }
}

void LatencyDelay::Clear() { std::fill(line_.begin(), line_.end(), 0.0f); }

}  // namespace corvane

#pragma once
// Delays a channel by the plug-in's latency, so that channels the effect
// does not process stay aligned with those it does.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane {

class LatencyDelay {
public:
    // Changing the latency keeps the newest samples, so no sample is lost.
    void SetLatency(int32_t samples);
    int32_t Latency() const { return latency_; }
    // output[i] = input[i - latency]; input and output may be the same buffer.
    void Process(const float* input, float* output, int32_t n);
    void Clear();

private:
    std::vector<float> line_;  // power-of-two ring
    size_t write_ = 0;
    int32_t latency_ = 0;
};

}  // namespace corvane

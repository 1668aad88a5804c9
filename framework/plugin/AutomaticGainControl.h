#pragma once
// Keeps the output level at the input level: both are measured as moving
// mean squares over a fixed window; the output gain follows the square root
// of their ratio, block by block, within 0.01 .. 100.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane {

class AutomaticGainControl {
public:
    static constexpr int32_t Window = 4096;  // samples at the processing rate

    AutomaticGainControl();
    void Reset();
    // Mean square over the channels, sample by sample, into the input measure.
    void MeasureInput(float* const* channels, int32_t channelCount, int32_t n);
    // No input bus: a fixed reference level instead of a measure.
    void UseReferenceInput();
    // Measures the output, then scales it by a gain ramping to the new target.
    void Apply(float* const* channels, int32_t channelCount, int32_t n);

    double Gain() const { return previousGain_; }
    void Hold(int32_t samples) { hold_ = samples; }

private:
    struct Measure {
        std::vector<double> ring;
        size_t position = 0;
        double sum = 0.0;
        double scale = 1.0;
        void Feed(float* const* channels, int32_t channelCount, int32_t n);
        void Reset();
    };

    Measure input_, output_;
    int32_t hold_ = 0;
    double previousGain_ = 1.0;
};

}  // namespace corvane

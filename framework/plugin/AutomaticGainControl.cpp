#include "framework/plugin/AutomaticGainControl.h"

#include <algorithm>
#include <cmath>

namespace corvane {

AutomaticGainControl::AutomaticGainControl() {
    input_.ring.assign(Window, 0.0);
    output_.ring.assign(Window, 0.0);
}

void AutomaticGainControl::Measure::Reset() {
    std::fill(ring.begin(), ring.end(), 0.0);
    position = 0;
    sum = 0.0;
}

void AutomaticGainControl::Reset() {
    input_.Reset();
    output_.Reset();
    hold_ = 0;
    previousGain_ = 1.0;
}

void AutomaticGainControl::Measure::Feed(float* const* channels, int32_t channelCount, int32_t n) {
    if (channelCount < 1) return;
    const double perChannel = 1.0 / channelCount;
    for (int32_t i = 0; i < n; ++i) {
        double square = 0.0;
        for (int32_t c = 0; c < channelCount; ++c) square += static_cast<double>(channels[c][i]) * channels[c][i];
        square *= perChannel;
        sum += square - ring[position];
        ring[position] = square;
        position = (position + 1) % ring.size();
    }
    if (sum < 0.0) sum = 0.0;  // rounding drift of the running sum
}

void AutomaticGainControl::MeasureInput(float* const* channels, int32_t channelCount, int32_t n) {
    input_.Feed(channels, channelCount, n);
}

void AutomaticGainControl::UseReferenceInput() {
    input_.sum = 0.05;
    input_.scale = 1.0;
}

void AutomaticGainControl::Apply(float* const* channels, int32_t channelCount, int32_t n) {
    output_.Feed(channels, channelCount, n);
    const double out = output_.sum * output_.scale;
    double target = 1.0;
    if (out >= 1e-10) target = std::min(std::max(std::sqrt(input_.sum * input_.scale / out), 0.01), 100.0);
    if (hold_ > 0) {
        target = std::min(target, 1.0);
        hold_ -= n;
    }
    const double step = n > 0 ? (target - previousGain_) / n : 0.0;
    for (int32_t c = 0; c < channelCount; ++c)
        for (int32_t i = 0; i < n; ++i)
            channels[c][i] = static_cast<float>(channels[c][i] * (previousGain_ + i * step));
    previousGain_ = target;
}

}  // namespace corvane

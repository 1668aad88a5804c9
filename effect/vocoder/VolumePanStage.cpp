#include "effect/vocoder/VolumePanStage.h"

#include <cmath>

namespace sonvera {
namespace {

// Per-sample value of a linear ramp from previous to current over the block.
struct Ramp {
    Ramp(double previous, double current, int32_t n)
        : start(previous), step(std::fabs(current - previous) < 1e-50 ? 0.0 : (current - previous) / n) {}
    double At(int32_t i) const { return start + i * step; }
    double start, step;
};

void Write(float* destination, int32_t i, double value, bool adding) {
    destination[i] = adding ? static_cast<float>(destination[i] + value) : static_cast<float>(value);
}

}  // namespace

void VolumePanStage::Process(const float* const* sources, float* const* destinations, int32_t channels, int32_t n,
                             double volume, double pan, bool adding) {
    if (n <= 0) return;
    const Ramp gain(previousVolume_ * previousVolume_, volume * volume, n);
    const Ramp panning(previousPan_, pan, n);
    if (channels == 2 && sources[0] != nullptr && sources[1] != nullptr) {
        const float* left = sources[0];
        const float* right = sources[1];
        for (int32_t i = 0; i < n; ++i) {
            const double g = gain.At(i);
            const double p = panning.At(i);
            double l = left[i], r = right[i];
            if (p < 0) {
                l = l + (-p) * r;
                r = (1.0 + p) * r;
            } else if (p > 0) {
                const double mixedRight = r + p * l;
                l = (1.0 - p) * l;
                r = mixedRight;
            }
            if (destinations[0] != nullptr) Write(destinations[0], i, g * l, adding);
            if (destinations[1] != nullptr) Write(destinations[1], i, g * r, adding);
        }
    } else {
        for (int32_t c = 0; c < channels; ++c) {
            if (sources[c] == nullptr || destinations[c] == nullptr) continue;
            for (int32_t i = 0; i < n; ++i) Write(destinations[c], i, gain.At(i) * sources[c][i], adding);
        }
    }
    previousVolume_ = volume;
    previousPan_ = pan;
}

}  // namespace sonvera

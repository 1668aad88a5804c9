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

template <bool Adding>
void Write(float* destination, int32_t i, double value) {
    destination[i] = Adding ? static_cast<float>(destination[i] + value) : static_cast<float>(value);
}

// Which way the pan leans for the whole block: left (-1), centre (0), right
// (1), or 2 when it crosses the centre and each sample decides.
int32_t PanSide(const Ramp& panning, int32_t n) {
    const double first = panning.At(0), last = panning.At(n - 1);
    if (first < 0 && last < 0) return -1;
    if (first > 0 && last > 0) return 1;
    if (first == 0 && panning.step == 0) return 0;
    return 2;
}

// The stereo mix, one instance per pan side and mode: with the choices out
// of the loop, the compiler runs it over several samples at once.
template <int32_t Side, bool Adding>
void MixStereo(const float* left, const float* right, float* toLeft, float* toRight, const Ramp& gain,
               const Ramp& panning, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        const double g = gain.At(i);
        const double p = panning.At(i);
        double l = left[i], r = right[i];
        if ((Side == 2 && p < 0) || Side == -1) {
            l = l + (-p) * r;
            r = (1.0 + p) * r;
        } else if ((Side == 2 && p > 0) || Side == 1) {
            const double mixedRight = r + p * l;
            l = (1.0 - p) * l;
            r = mixedRight;
        }
        if (toLeft != nullptr) Write<Adding>(toLeft, i, g * l);
        if (toRight != nullptr) Write<Adding>(toRight, i, g * r);
    }
}

template <bool Adding>
void MixStereo(const float* left, const float* right, float* toLeft, float* toRight, const Ramp& gain,
               const Ramp& panning, int32_t n) {
    switch (PanSide(panning, n)) {
        case -1:
            return MixStereo<-1, Adding>(left, right, toLeft, toRight, gain, panning, n);
        case 0:
            return MixStereo<0, Adding>(left, right, toLeft, toRight, gain, panning, n);
        case 1:
            return MixStereo<1, Adding>(left, right, toLeft, toRight, gain, panning, n);
        default:
            return MixStereo<2, Adding>(left, right, toLeft, toRight, gain, panning, n);
    }
}

template <bool Adding>
void Scale(const float* source, float* destination, const Ramp& gain, int32_t n) {
    for (int32_t i = 0; i < n; ++i) Write<Adding>(destination, i, gain.At(i) * source[i]);
}

}  // namespace

void VolumePanStage::Process(const float* const* sources, float* const* destinations, int32_t channels, int32_t n,
                             double volume, double pan, bool adding) {
    if (n <= 0) return;
    const Ramp gain(previousVolume_ * previousVolume_, volume * volume, n);
    const Ramp panning(previousPan_, pan, n);
    if (channels == 2 && sources[0] != nullptr && sources[1] != nullptr) {
        (adding ? MixStereo<true> : MixStereo<false>)(sources[0], sources[1], destinations[0], destinations[1], gain,
                                                      panning, n);
    } else {
        for (int32_t c = 0; c < channels; ++c) {
            if (sources[c] == nullptr || destinations[c] == nullptr) continue;
            (adding ? Scale<true> : Scale<false>)(sources[c], destinations[c], gain, n);
        }
    }
    previousVolume_ = volume;
    previousPan_ = pan;
}

}  // namespace sonvera

#pragma once
// Output volume and pan with per-sample ramps from the previous block's values.

#include <cstdint>

namespace sonvera {

class VolumePanStage {
public:
    // volume is an amplitude-square-root value: the gain is its square.
    // Pan acts on the first two channels; other channels take the gain only.
    void Process(const float* const* sources, float* const* destinations, int32_t channels, int32_t sampleCount,
                 double volume, double pan, bool adding);
    // The next block starts without a ramp from these values.
    void Reset(double volume, double pan) {
        previousVolume_ = volume;
        previousPan_ = pan;
    }

private:
    double previousVolume_ = 1.0;
    double previousPan_ = 0.0;
};

}  // namespace sonvera

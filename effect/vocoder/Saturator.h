#pragma once
// Soft saturation: tanh(pi x) / tanh(pi) inside (-1, 1), hard limit outside,
// plus an even-harmonic term; blended with the dry signal by the amount.

#include <cstdint>

namespace sonvera {

class Saturator {
public:
    // output[i] = saturate(input[i]) with wet amount a; double precision inside.
    void Process(const float* input, float* output, int32_t sampleCount, double amount) const;
    double Sample(double x, double amount) const;

private:
    double OutputScale() const;
};

}  // namespace sonvera

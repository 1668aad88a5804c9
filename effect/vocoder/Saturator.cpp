#include "effect/vocoder/Saturator.h"

#include <cmath>

namespace sonvera {
namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Knee = 0.0;
constexpr double InnerSlope = Pi / (1.0 - Knee);
constexpr double InnerScale = (1.0 - Knee) / Pi;
constexpr double EvenWeight = 1.0;

double Curve(double x) { return std::tanh(InnerSlope * x) * InnerScale; }

}  // namespace

double Saturator::OutputScale() const {
    static const double scale = 1.0 / (Curve(1.0 - Knee) + Knee);
    return scale;
}

double Saturator::Sample(double x, double amount) const {
    const double m = std::fabs(x);
    double r;
    if (m < Knee)
        r = m * OutputScale();
    else if (m < 1.0)
        r = (Curve(m - Knee) + Knee) * OutputScale();
    else
        r = 1.0;
    const double y = std::copysign(r, x);
    const double even = (y - x) * (y - x) * EvenWeight;
    return (even + y) * amount + x * (1.0 - amount);
}

void Saturator::Process(const float* input, float* output, int32_t sampleCount, double amount) const {
    for (int32_t i = 0; i < sampleCount; ++i) output[i] = static_cast<float>(Sample(input[i], amount));
}

}  // namespace sonvera

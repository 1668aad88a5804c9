#include "effect/vocoder/BandLayout.h"

#include <algorithm>
#include <cmath>

namespace sonvera {
namespace BandLayout {
namespace {

// Base Q by order (rows 1..10) at 4, 20, 50 and 100 bands.
const double BaseQTable[10][4] = {
    {0.2, 1.0, 3.5, 8.4},   {0.19, 1.1, 7.8, 16.0}, {0.33, 2.2, 5.7, 11.0}, {0.22, 1.95, 4.7, 10.0},
    {0.2, 1.46, 3.7, 7.8},  {0.17, 1.3, 3.5, 7.4},  {0.16, 1.16, 2.9, 6.2}, {0.14, 1.0, 2.5, 5.3},
    {0.12, 0.88, 2.4, 4.7}, {0.12, 0.83, 2.1, 4.1},
};

}  // namespace

double DefaultLogFrequency(int32_t band, int32_t bandCount) { return Log10Of20 + 3.0 * band / (bandCount - 1); }

double ShiftLogFrequency(double y, double semitones) {
    if (semitones == 0.0) return y;
    const double decades = semitones * std::log10(2.0) / 12.0;
    return (y - Log10Of20) * (3.0 - std::fabs(decades)) / 3.0 + Log10Of20 + std::max(decades, 0.0);
}

double BaseQ(int32_t order, int32_t n) {
    const double* t = BaseQTable[std::min(std::max(order, 1), 10) - 1];
    if (n <= 20) return t[0] + (t[1] - t[0]) * (n - 4) / 16.0;
    if (n <= 50) return t[1] + (t[2] - t[1]) * (n - 20) / 30.0;
    return t[2] + (t[3] - t[2]) * (n - 50) / 50.0;
}

double ResonantQ(double base, double resonance) { return base + (20.0 - base) * resonance; }

double TimeOffsetDb(double attack, double release) {
    if (attack <= 0.0001) return 6.0;
    const double k = std::min(std::max(std::log10(release / attack), 1.0), 3.0);
    return 6.0 - 1.5 * (k - 1.0);
}

double QOffsetDb(double q) { return q < 1.0 ? (q - 0.2) / 0.8 * 8.0 : (q - 1.0) / 7.0 * 8.0 + 8.0; }

double DetectorGain(double frequency, double offsetDb) {
    // The divisor spans ln 50 .. ln 12000.
    const double falling = 18.0 - 18.0 * (std::log(frequency) - 3.912) / (9.39266 - 3.912);
    const double db = std::min(std::max(falling, 0.0), 18.0) + offsetDb;
    return std::exp(db * std::log(10.0) / 20.0);
}

double SmoothingCoefficient(double seconds, double sampleRate) {
    const double samples = seconds * sampleRate;
    if (std::fabs(samples) < 1e-50) return 0.0;
    return std::exp(-1.0 / samples);
}

void ResampleBandArray(double* values, int32_t oldCount, int32_t newCount) {
    if (newCount < 2 || newCount == oldCount || oldCount < 1) return;
    if (oldCount == 1) {
        for (int32_t j = 1; j < newCount; ++j) values[j] = values[0];
        return;
    }
    const double last = values[oldCount - 1];
    auto interpolate = [&](int32_t j) {
        const double x = static_cast<double>(j) * (oldCount - 1) / (newCount - 1);
        const int32_t k = static_cast<int32_t>(x);
        const double t = x - k;
        values[j] = (1.0 - t) * values[k] + t * values[k + 1];
    };
    // Read every old value before it is overwritten.
    if (newCount < oldCount) {
        for (int32_t j = 1; j < newCount - 1; ++j) interpolate(j);
    } else {
        for (int32_t j = newCount - 2; j >= 1; --j) interpolate(j);
    }
    values[newCount - 1] = last;
}

}  // namespace BandLayout
}  // namespace sonvera

#pragma once
// The arithmetic of the band layout: centre frequencies, Q, detector gains
// and time constants. Pure functions of their arguments.

#include <cstdint>

namespace sonvera {
namespace BandLayout {

constexpr double Log10Of20 = 1.3010299956639813;

// log10 of the default centre frequencies: 20 Hz to 20 kHz in equal steps.
double DefaultLogFrequency(int32_t band, int32_t bandCount);
// Compresses the log-frequency span by the shift's decades and, for a
// positive shift, moves it up, so that bands stay within 20 Hz .. 20 kHz.
double ShiftLogFrequency(double logFrequency, double semitones);

// Base Q of a cascade order (1..10) at a band count, interpolated between 4, 20, 50 and 100 bands.
double BaseQ(int32_t order, int32_t bandCount);
// Base Q raised towards 20 by a resonance (already combined with any graph offset).
double ResonantQ(double base, double resonance);

double TimeOffsetDb(double attack, double release);
double QOffsetDb(double q);
// Linear detector gain of a band at frequency f: 18 dB at 50 Hz falling to 0 dB at 12 kHz, plus offset.
double DetectorGain(double frequency, double offsetDb);
// exp(-1 / (t * sampleRate)), 0 for a vanishing time.
double SmoothingCoefficient(double seconds, double sampleRate);

// Linear interpolation of a per-band array from oldCount to newCount bands, in place.
void ResampleBandArray(double* values, int32_t oldCount, int32_t newCount);

}  // namespace BandLayout
}  // namespace sonvera

#pragma once
// Second-order filter sections (RBJ cookbook designs), their runtime stages
// and cascades. Design is double precision; audio is single precision.

#include <complex>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace MAudioFilters {

// Raised on an invalid design request or a complex division by zero.
class FilterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum FilterType : int32_t {
    Peak = 0,
    LowShelf = 1,
    HighShelf = 2,
    LowPass = 3,
    HighPass = 4,
    BandPass = 7,
    Notch = 8,
    AllPass = 9,
};

// Added to every normalised coefficient: 1e-15 in single precision, widened.
constexpr double CoefficientOffset = 1.0000000036274937e-15;
// Added after every section to every output sample, against denormals.
constexpr float DenormalOffset = 1e-15f;

template <class T>
struct Filter {
    T cosW = 0;
    T alpha = 0;
    uint32_t version = 0;
    int32_t type = 0;
    int32_t reserved = 0;
    T frequency = 0;
    T sampleRate = 0;
    T q = 0;
    T b0 = 0;
    T b2 = 0;
    T negA2 = 0;
    T b1 = 0;
    T negA1 = 0;

    // Stores the design inputs the way callers do before ComputeCoefficients.
    void Prepare(FilterType filterType, T centre, T rate, T quality);
    // Bumps the version, then designs; "Invalid filter type." for 5, 6 or outside 0..9.
    void ComputeCoefficients(T gain);
    // H(z) at z^-1 = zInv1, z^-2 = zInv2.
    std::complex<T> Response(std::complex<T> zInv1, std::complex<T> zInv2) const;
};

extern template struct Filter<double>;

// Runtime state of one section on one channel: delay, the taps in use and
// the version they came from.
struct Stage {
    bool active = false;
    uint32_t version = 0;
    double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double s1 = 0, s2 = 0;  // transposed direct form II delay

    // Takes new taps when the section changed; keeps the delay. A released
    // stage starts again from silence.
    void Sync(const Filter<double>& section);
    void Release() { active = false; }
};

// Filters input through sections 0..count-1 into output (in place after the first).
void RunCascade(const Filter<double>* sections, int32_t count, Stage* stages, const float* input, float* output,
                int32_t sampleCount);

// a := a / b (Smith's method); "Complex division by zero." leaves a unchanged.
void ComplexDivide(std::complex<double>& a, const std::complex<double>& b);

}  // namespace MAudioFilters

#include "dsp/MAudioFilters.h"

#include <cmath>

namespace MAudioFilters {

template <class T>
void Filter<T>::Prepare(FilterType filterType, T centre, T rate, T quality) {
    type = filterType;
    frequency = centre;
    sampleRate = rate;
    q = quality;
    const T w0 = T(2) * T(M_PI) * centre / rate;
    cosW = std::cos(w0);
    alpha = std::sin(w0) / (T(2) * quality);
    reserved = 0;
}

template <class T>
void Filter<T>::ComputeCoefficients(T A) {
    ++version;
    T n0, n1, n2, d0, d1, d2;
    const T sqrtA = std::sqrt(A);
    switch (type) {
        case Peak:
            n0 = 1 + alpha * A, n1 = -2 * cosW, n2 = 1 - alpha * A;
            d0 = 1 + alpha / A, d1 = -2 * cosW, d2 = 1 - alpha / A;
            break;
        case LowShelf:
            n0 = A * ((A + 1) - (A - 1) * cosW + 2 * sqrtA * alpha);
            n1 = 2 * A * ((A - 1) - (A + 1) * cosW);
            n2 = A * ((A + 1) - (A - 1) * cosW - 2 * sqrtA * alpha);
            d0 = (A + 1) + (A - 1) * cosW + 2 * sqrtA * alpha;
            d1 = -2 * ((A - 1) + (A + 1) * cosW);
            d2 = (A + 1) + (A - 1) * cosW - 2 * sqrtA * alpha;
            break;
        case HighShelf:
            n0 = A * ((A + 1) + (A - 1) * cosW + 2 * sqrtA * alpha);
            n1 = -2 * A * ((A - 1) + (A + 1) * cosW);
            n2 = A * ((A + 1) + (A - 1) * cosW - 2 * sqrtA * alpha);
            d0 = (A + 1) - (A - 1) * cosW + 2 * sqrtA * alpha;
            d1 = 2 * ((A - 1) - (A + 1) * cosW);
            d2 = (A + 1) - (A - 1) * cosW - 2 * sqrtA * alpha;
            break;
        case LowPass:
            n0 = (1 - cosW) / 2, n1 = 1 - cosW, n2 = (1 - cosW) / 2;
            d0 = 1 + alpha, d1 = -2 * cosW, d2 = 1 - alpha;
            break;
        case HighPass:
            n0 = (1 + cosW) / 2, n1 = -(1 + cosW), n2 = (1 + cosW) / 2;
            d0 = 1 + alpha, d1 = -2 * cosW, d2 = 1 - alpha;
            break;
        case BandPass:
            n0 = alpha, n1 = 0, n2 = -alpha;
            d0 = 1 + alpha, d1 = -2 * cosW, d2 = 1 - alpha;
            break;
        case Notch:
            n0 = 1, n1 = -2 * cosW, n2 = 1;
            d0 = 1 + alpha, d1 = -2 * cosW, d2 = 1 - alpha;
            break;
        case AllPass:
            n0 = 1 - alpha, n1 = -2 * cosW, n2 = 1 + alpha;
            d0 = 1 + alpha, d1 = -2 * cosW, d2 = 1 - alpha;
            break;
        default:
            throw FilterError("Invalid filter type.");
    }
    b0 = n0 / d0 + T(CoefficientOffset);
    b1 = n1 / d0 + T(CoefficientOffset);
    b2 = n2 / d0 + T(CoefficientOffset);
    negA1 = -d1 / d0 + T(CoefficientOffset);
    negA2 = -d2 / d0 + T(CoefficientOffset);
}

template <class T>
std::complex<T> Filter<T>::Response(std::complex<T> zInv1, std::complex<T> zInv2) const {
    std::complex<T> numerator = b0 + b1 * zInv1 + b2 * zInv2;
    const std::complex<T> denominator = T(1) - negA1 * zInv1 - negA2 * zInv2;
    ComplexDivide(numerator, denominator);
    return numerator;
}

template struct Filter<double>;

void Stage::Sync(const Filter<double>& section) {
    if (active && version == section.version) return;
    b0 = section.b0;
    b1 = section.b1;
    b2 = section.b2;
    a1 = -section.negA1;
    a2 = -section.negA2;
    if (!active) s1 = s2 = 0.0;
    version = section.version;
    active = true;
}

void RunCascade(const Filter<double>* sections, int32_t count, Stage* stages, const float* input, float* output,
                int32_t sampleCount) {
    for (int32_t s = 0; s < count; ++s) {
        Stage& stage = stages[s];
        stage.Sync(sections[s]);
        const float* source = s == 0 ? input : output;
        double s1 = stage.s1, s2 = stage.s2;
        for (int32_t i = 0; i < sampleCount; ++i) {
            const double x = source[i];
            const double y = stage.b0 * x + s1;
            s1 = stage.b1 * x - stage.a1 * y + s2;
            s2 = stage.b2 * x - stage.a2 * y;
            output[i] = static_cast<float>(y) + DenormalOffset;
        }
        stage.s1 = s1;
        stage.s2 = s2;
    }
    if (count <= 0 && input != output)
        for (int32_t i = 0; i < sampleCount; ++i) output[i] = input[i];
}

void ComplexDivide(std::complex<double>& a, const std::complex<double>& b) {
    const double ar = a.real(), ai = a.imag(), br = b.real(), bi = b.imag();
    if (std::fabs(br) > std::fabs(bi)) {
        if (br == 0) throw FilterError("Complex division by zero.");
        const double r = bi / br;
        const double d = br + bi * r;
        if (d == 0) throw FilterError("Complex division by zero.");
        a = {(ar + ai * r) / d, (ai - ar * r) / d};
    } else {
        if (bi == 0) throw FilterError("Complex division by zero.");
        const double r = br / bi;
        const double d = br * r + bi;
        if (d == 0) throw FilterError("Complex division by zero.");
        a = {(ar * r + ai) / d, (ai * r - ar) / d};
    }
}

}  // namespace MAudioFilters

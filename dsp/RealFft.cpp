#include "dsp/RealFft.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace MAudioFilters {

namespace {

// Plain products: std::complex's operator* checks for infinities on every call.
inline std::complex<double> Times(const std::complex<double>& a, const std::complex<double>& b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

}  // namespace

RealFft::RealFft(int32_t size) : size_(size) {
    if (size < 4 || (size & (size - 1)) != 0) throw std::invalid_argument("FFT size must be a power of two");
    const int32_t half = size / 2;
    work_.resize(static_cast<size_t>(half));
    reversed_.resize(static_cast<size_t>(half));
    int32_t bits = 0;
    while ((1 << bits) < half) ++bits;
    for (int32_t i = 0; i < half; ++i) {
        int32_t r = 0;
        for (int32_t b = 0; b < bits; ++b)
            if (i & (1 << b)) r |= 1 << (bits - 1 - b);
        reversed_[static_cast<size_t>(i)] = r;
    }
    const double pi = 3.14159265358979323846;
    // Each stage's twiddles side by side (stage of length L from L / 2 - 1 on): read in order.
    for (int32_t length = 2; length <= half; length <<= 1)
        for (int32_t k = 0; k < length / 2; ++k) twiddle_.push_back(std::polar(1.0, -2.0 * pi * k / length));
    for (int32_t k = 0; k <= half; ++k) split_.push_back(std::polar(1.0, -2.0 * pi * k / size));
}

void RealFft::Forward(const double* in, std::complex<double>* bins) {
    const int32_t half = size_ / 2;
    // Pairs (even, odd) as one complex sequence, in bit-reversed order.
    for (int32_t i = 0; i < half; ++i)
        work_[static_cast<size_t>(reversed_[static_cast<size_t>(i)])] = {in[2 * i], in[2 * i + 1]};
    std::complex<double>* w = work_.data();
    for (int32_t length = 2; length <= half; length <<= 1) {
        const std::complex<double>* twiddle = twiddle_.data() + (length / 2 - 1);
        const int32_t middle = length / 2;
        for (int32_t start = 0; start < half; start += length)
            for (int32_t k = 0; k < middle; ++k) {
                std::complex<double>& a = w[start + k];
                std::complex<double>& b = w[start + k + middle];
                const std::complex<double> t = Times(b, twiddle[k]);
                b = a - t;
                a += t;
            }
    }
    // Untangle the even and odd spectra: X[k] = E[k] + e^(-2 pi i k / N) O[k],
    // with E[k] = (z[k] + conj z[half - k]) / 2 and O[k] = -i (z[k] - conj z[half - k]) / 2.
    const double r0 = w[0].real(), i0 = w[0].imag();
    bins[0] = {r0 + i0, 0.0};
    bins[half] = {r0 - i0, 0.0};
    const std::complex<double>* split = split_.data();
    for (int32_t k = 1; k < half; ++k) {
        const double zr = w[k].real(), zi = w[k].imag();
        const double cr = w[half - k].real(), ci = -w[half - k].imag();
        const double er = 0.5 * (zr + cr), ei = 0.5 * (zi + ci);
        const double or_ = 0.5 * (zi - ci), oi = -0.5 * (zr - cr);
        const double sr = split[k].real(), si = split[k].imag();
        bins[k] = {er + sr * or_ - si * oi, ei + sr * oi + si * or_};
    }
}

}  // namespace MAudioFilters

#include "dsp/RealFft.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace MAudioFilters {

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
    for (int32_t k = 0; k < half / 2; ++k) twiddle_.push_back(std::polar(1.0, -2.0 * pi * k / half));
    for (int32_t k = 0; k <= half; ++k) split_.push_back(std::polar(1.0, -2.0 * pi * k / size));
}

void RealFft::Forward(const double* in, std::complex<double>* bins) {
    const int32_t half = size_ / 2;
    // Pairs (even, odd) as one complex sequence, in bit-reversed order.
    for (int32_t i = 0; i < half; ++i)
        work_[static_cast<size_t>(reversed_[static_cast<size_t>(i)])] = {in[2 * i], in[2 * i + 1]};
    for (int32_t length = 2; length <= half; length <<= 1) {
        const int32_t stride = half / length;
        for (int32_t start = 0; start < half; start += length)
            for (int32_t k = 0; k < length / 2; ++k) {
                std::complex<double>& a = work_[static_cast<size_t>(start + k)];
                std::complex<double>& b = work_[static_cast<size_t>(start + k + length / 2)];
                const std::complex<double> t = b * twiddle_[static_cast<size_t>(k * stride)];
                b = a - t;
                a += t;
            }
    }
    // Untangle the even and odd spectra: X[k] = E[k] + e^(-2 pi i k / N) O[k].
    for (int32_t k = 0; k <= half; ++k) {
        const std::complex<double> z = work_[static_cast<size_t>(k % half)];
        const std::complex<double> zc = std::conj(work_[static_cast<size_t>((half - k) % half)]);
        const std::complex<double> even = (z + zc) * 0.5;
        const std::complex<double> odd = (z - zc) * std::complex<double>(0.0, -0.5);
        bins[k] = even + split_[static_cast<size_t>(k)] * odd;
    }
}

}  // namespace MAudioFilters

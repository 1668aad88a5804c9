#pragma once
// Forward FFT of real frames of one fixed power-of-two size: a complex FFT
// of half the size over even/odd pairs, then one split pass. Tables are
// built at construction; a transform allocates nothing.

#include <complex>
#include <cstdint>
#include <vector>

namespace MAudioFilters {

class RealFft {
public:
    explicit RealFft(int32_t size);  // a power of two, at least 4

    int32_t Size() const { return size_; }
    // bins[k] for k = 0 .. size / 2 (size / 2 + 1 values), unnormalised:
    // sum over n of in[n] * e^(-2 pi i k n / size).
    void Forward(const double* in, std::complex<double>* bins);

private:
    int32_t size_;
    std::vector<std::complex<double>> work_;     // size / 2
    std::vector<std::complex<double>> twiddle_;  // per stage of length L: e^(-2 pi i k / L), k < L / 2
    std::vector<std::complex<double>> split_;    // e^(-2 pi i k / size), k <= size / 2
    std::vector<int32_t> reversed_;              // bit reversal of the half-size indexes
};

}  // namespace MAudioFilters

#include "framework/plugin/Resampler.h"

#include <algorithm>
#include <cmath>

namespace corvane {
namespace {

constexpr double Pi = 3.14159265358979323846;
// Pass band edge of every variant, as a fraction of the host rate.
constexpr double Cutoff = 0.45;

double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 50; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// Windowed sinc low-pass with unit gain at DC, Kaiser beta 8 (about 80 dB side lobes).
std::vector<double> KaiserLowPass(int32_t length, double cutoff) {
    const double beta = 8.0;
    std::vector<double> taps(static_cast<size_t>(length));
    const double middle = (length - 1) / 2.0;
    double sum = 0.0;
    for (int32_t k = 0; k < length; ++k) {
        const double t = k - middle;
        const double sinc = t == 0.0 ? 2.0 * cutoff : std::sin(2.0 * Pi * cutoff * t) / (Pi * t);
        const double r = t / middle;
        const double window = BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / BesselI0(beta);
        taps[static_cast<size_t>(k)] = sinc * window;
        sum += taps[static_cast<size_t>(k)];
    }
    for (double& tap : taps) tap /= sum;
    return taps;
}

}  // namespace

ResamplingFilter::Variant ResamplingFilter::VariantFor(int32_t factor, bool highQuality) {
    if (!highQuality) return ButterworthCascade;
    return factor <= 2 ? FirShort : FirLong;
}

void ResamplingFilter::Design(int32_t factor, bool highQuality) {
    factor_ = std::max(factor, 1);
    variant_ = VariantFor(factor_, highQuality);
    const double rate = 1.0;  // normalised to the upsampled rate
    const double cutoff = Cutoff / factor_;
    if (variant_ == ButterworthCascade) {
        // Pole pairs of a 20th-order Butterworth: Q = 1 / (2 cos(theta)).
        for (int k = 0; k < 10; ++k) {
            const double theta = Pi * (2 * k + 1) / 40.0;
            sections_[k].Prepare(MAudioFilters::LowPass, cutoff, rate, 1.0 / (2.0 * std::cos(theta)));
            sections_[k].ComputeCoefficients(1.0);
        }
        taps_.clear();
    } else {
        taps_ = KaiserLowPass(variant_ == FirShort ? 63 : 129, cutoff);
    }
    Clear();
}

void ResamplingFilter::Clear() {
    for (auto& stage : stages_) stage.Release();
    history_.assign(taps_.empty() ? 0 : taps_.size() - 1, 0.0f);
}

void ResamplingFilter::Run(float* samples, int32_t n) {
    if (variant_ == ButterworthCascade) {
        MAudioFilters::RunCascade(sections_, 10, stages_, samples, samples, n);
        return;
    }
    const size_t order = taps_.size() - 1;
    const size_t keep = order;
    history_.resize(keep + static_cast<size_t>(n));
    std::copy(samples, samples + n, history_.begin() + static_cast<std::ptrdiff_t>(keep));
    for (int32_t i = 0; i < n; ++i) {
        double sum = 0.0;
        const float* x = history_.data() + i + order;
        for (size_t k = 0; k < taps_.size(); ++k) sum += taps_[k] * x[-static_cast<std::ptrdiff_t>(k)];
        samples[i] = static_cast<float>(sum);
    }
    std::copy(history_.end() - static_cast<std::ptrdiff_t>(keep), history_.end(), history_.begin());
    history_.resize(keep);
}

void ResamplingFilter::Reserve(int32_t n) {
    if (!taps_.empty()) history_.reserve(taps_.size() - 1 + static_cast<size_t>(std::max(n, 0)));
}

double ResamplingFilter::DelayUpsampled() const {
    if (variant_ != ButterworthCascade) return (taps_.size() - 1) / 2.0;
    // Group delay at low frequencies of the cascade: sum over the sections of
    // the derivative of the phase, taken numerically at a low frequency.
    const double w = 1e-4, dw = 1e-6;
    auto phase = [&](double omega) {
        std::complex<double> h = 1.0;
        for (const auto& s : sections_) h *= s.Response(std::polar(1.0, -omega), std::polar(1.0, -2.0 * omega));
        return std::arg(h);
    };
    return -(phase(w + dw) - phase(w - dw)) / (2.0 * dw);
}

void Upsampler::Configure(int32_t factor, bool highQuality) {
    factor_ = std::max(factor, 1);
    highQuality_ = highQuality;
    filter_.Design(factor_, highQuality);
}

void Upsampler::Reserve(int32_t n) {
    const size_t needed = static_cast<size_t>(std::max(n, 1)) * static_cast<size_t>(factor_);
    if (needed > buffer_.size()) {
        size_t length = 1;
        while (length < needed) length <<= 1;
        buffer_.resize(length);
    }
    filter_.Reserve(static_cast<int32_t>(needed));
}

float* Upsampler::Process(const float* input, int32_t n) {
    const size_t needed = static_cast<size_t>(n) * static_cast<size_t>(factor_);
    if (needed > buffer_.size()) Reserve(n);  // a block longer than announced grows the buffers once
    const float gain = static_cast<float>(factor_);
    for (int32_t i = 0; i < n; ++i) {
        float* frame = buffer_.data() + static_cast<size_t>(i) * factor_;
        frame[0] = (input[i] + 1e-15f) * gain;
        for (int32_t k = 1; k < factor_; ++k) frame[k] = 1e-15f;
    }
    filter_.Run(buffer_.data(), static_cast<int32_t>(needed));
    return buffer_.data();
}

void Downsampler::Configure(int32_t factor, bool highQuality) {
    factor_ = std::max(factor, 1);
    filter_.Design(factor_, highQuality);
}

void Downsampler::Process(float* upsampled, float* output, int32_t n, bool replace) {
    filter_.Run(upsampled, n * factor_);
    for (int32_t i = 0; i < n; ++i) {
        const float value = upsampled[static_cast<size_t>(i) * factor_];
        output[i] = replace ? value : output[i] + value;
    }
}

int32_t ResamplingLatency(int32_t factor, bool highQuality) {
    if (factor < 2) return 0;
    ResamplingFilter filter;
    filter.Design(factor, highQuality);
    // The same filter runs on the way up and on the way down.
    return static_cast<int32_t>(std::lround(2.0 * filter.DelayUpsampled() / factor));
}

}  // namespace corvane

#pragma once
// Upsampling by zero stuffing and downsampling by picking, each behind a
// low-pass filter. Three filter variants:
//  - standard quality, any factor: a 20th-order Butterworth low-pass (ten
//    second-order sections) at 0.45 of the host rate; minimum phase;
//  - high quality, factor 2: a 63-tap linear-phase FIR (Kaiser window);
//  - high quality, factor 4 and more: a 129-tap linear-phase FIR.

#include <cstdint>
#include <vector>

#include "dsp/MAudioFilters.h"

namespace corvane {

class ResamplingFilter {
public:
    enum Variant { ButterworthCascade, FirShort, FirLong };

    static Variant VariantFor(int32_t factor, bool highQuality);

    void Design(int32_t factor, bool highQuality);
    // In place over n samples at the upsampled rate.
    void Run(float* samples, int32_t n);
    void Clear();
    // Room for blocks of up to n samples at the upsampled rate.
    void Reserve(int32_t n);
    Variant GetVariant() const { return variant_; }
    // Delay this filter adds at the upsampled rate, in samples (rounded for the cascade).
    double DelayUpsampled() const;
    const std::vector<double>& Taps() const { return taps_; }

private:
    Variant variant_ = ButterworthCascade;
    int32_t factor_ = 1;
    MAudioFilters::Filter<double> sections_[10];
    MAudioFilters::Stage stages_[10];
    std::vector<double> taps_;
    std::vector<float> history_;  // FIR: the last taps-1 inputs, then the block
};

class Upsampler {
public:
    void Configure(int32_t factor, bool highQuality);
    // n input samples into n * factor samples at the upsampled rate.
    float* Process(const float* input, int32_t n);
    // Room for blocks of up to n input samples.
    void Reserve(int32_t n);
    float* Buffer() { return buffer_.data(); }
    int32_t Factor() const { return factor_; }
    bool HighQuality() const { return highQuality_; }
    const ResamplingFilter& Filter() const { return filter_; }

private:
    int32_t factor_ = 1;
    bool highQuality_ = false;
    ResamplingFilter filter_;
    std::vector<float> buffer_;
};

class Downsampler {
public:
    void Configure(int32_t factor, bool highQuality);
    // Filters n * factor samples in place, then writes (or adds) every factor-th.
    void Process(float* upsampled, float* output, int32_t n, bool replace);
    // Room for blocks of up to n output samples.
    void Reserve(int32_t n) { filter_.Reserve(n * factor_); }
    const ResamplingFilter& Filter() const { return filter_; }

private:
    int32_t factor_ = 1;
    ResamplingFilter filter_;
};

// Host-rate samples that the up and down filters add together.
int32_t ResamplingLatency(int32_t factor, bool highQuality);

}  // namespace corvane

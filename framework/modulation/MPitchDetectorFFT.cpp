#include "framework/modulation/MPitchDetectorFFT.h"

#include <algorithm>
#include <cmath>

#include "framework/core/Strings.h"

namespace corvane {

namespace {

constexpr double TwoPi = 2.0 * M_PI;

double Wrapped(double angle) { return angle - TwoPi * std::floor((angle + M_PI) / TwoPi); }

}  // namespace

MPitchDetectorFFT::MPitchDetectorFFT()
    : fft_(FrameSize),
      history_(FrameSize),
      window_(FrameSize),
      frame_(FrameSize),
      bins_(BinCount + 1),
      magnitude_(BinCount),
      previousPhase_(BinCount),
      frequency_(BinCount),
      work_(BinCount) {
    // A Hann window: its side lobes fall fast enough that the peak
    // isolation sees one peak per partial.
    for (int32_t n = 0; n < FrameSize; ++n) window_[n] = 0.5 - 0.5 * std::cos(TwoPi * n / FrameSize);
    Setup(sampleRate_);
}

void MPitchDetectorFFT::Setup(double sampleRate) {
    if (sampleRate > 0.0) sampleRate_ = sampleRate;
    Derive();
    std::fill(history_.begin(), history_.end(), 0.0f);
    std::fill(previousPhase_.begin(), previousPhase_.end(), 0.0);
    std::fill(work_.begin(), work_.end(), 0.0);
    for (int32_t k = 0; k < BinCount; ++k) frequency_[k] = k * sampleRate_ / FrameSize;
    written_ = filled_ = sinceFrame_ = 0;
    pitch_ = candidate_ = 0.0;
    counter_ = stabilizationFrames_;
}

void MPitchDetectorFFT::SetOverlap(double overlap) {
    overlap_ = std::isnan(overlap) ? 0.0 : std::min(std::max(overlap, 0.0), 1.0);
    Derive();
}

void MPitchDetectorFFT::SetSettings(const Settings& settings) {
    settings_ = settings;
    Derive();
}

void MPitchDetectorFFT::Derive() {
    const int32_t overlapping = std::min(FrameSize - 1, static_cast<int32_t>(FrameSize * overlap_));
    hop_ = FrameSize - overlapping;
    oversampling_ = 1.0 / (1.0 - overlapping / double(FrameSize));
    kmin_ = static_cast<int32_t>(FrameSize * 50.0 / sampleRate_);
    kmax_ = std::min(BinCount - 1, static_cast<int32_t>(FrameSize * 2000.0 / sampleRate_));
    stabilizationFrames_ = static_cast<int32_t>(RoundHalfUp(sampleRate_ / hop_ * settings_.stabilization));
    speedLimited_ = settings_.speed < 1.0;
    if (speedLimited_) {
        maximumStep_ = (std::pow(settings_.speed, 4.0) * 20.0 + 0.01) * (hop_ / sampleRate_);
        if (stabilizationFrames_ > 0) maximumStep_ *= stabilizationFrames_;
    }
}

void MPitchDetectorFFT::Feed(const float* samples, int32_t count) {
    // Samples go round a history of one frame; every hop, once a whole frame
    // has arrived, the last FrameSize samples are analysed, so sub-blocks of
    // any length give the same frames.
    for (int32_t i = 0; i < count; ++i) {
        history_[written_] = std::isfinite(samples[i]) ? samples[i] : 0.0f;
        written_ = (written_ + 1) % FrameSize;
        filled_ = std::min(filled_ + 1, FrameSize);
        if (++sinceFrame_ >= hop_ && filled_ == FrameSize) {
            sinceFrame_ = 0;
            AnalyseFrame();
        }
    }
}

void MPitchDetectorFFT::AnalyseFrame() {
    // The oldest sample sits where the next one will be written.
    const int32_t older = FrameSize - written_;
    for (int32_t n = 0; n < older; ++n) frame_[n] = history_[written_ + n] * window_[n];
    for (int32_t n = older; n < FrameSize; ++n) frame_[n] = history_[n - older] * window_[n];
    fft_.Forward(frame_.data(), bins_.data());
    double sum = 0.0;
    for (int32_t k = 0; k < BinCount; ++k) {
        magnitude_[k] = std::sqrt(std::norm(bins_[k]));
        sum += magnitude_[k];
    }
    // 1. Each analysis bin's frequency from its phase advance over the hop
    // (only bins that can hold a fundamental need their phase).
    const double expected = TwoPi / oversampling_;
    for (int32_t k = kmin_; k <= kmax_; ++k) {
        const double phase = std::atan2(bins_[k].imag(), bins_[k].real());
        const double d = Wrapped(phase - previousPhase_[k] - k * expected);
        frequency_[k] = (k + d * oversampling_ / TwoPi) * sampleRate_ / FrameSize;
        previousPhase_[k] = phase;
    }
    // 2. A quiet frame changes nothing.
    if (settings_.threshold > 0.0 && sum < BinCount * settings_.threshold) return;
    const int32_t bin = FundamentalBin();
    if (bin <= 0) return;
    const double candidate = frequency_[bin];
    if (candidate < settings_.lowest || candidate > settings_.highest) return;
    Offer(candidate);
}

int32_t MPitchDetectorFFT::FundamentalBin() {
    std::vector<double>& w = work_;
    const std::vector<double>& m = magnitude_;
    std::copy(m.begin(), m.end(), w.begin());
    if (*std::max_element(w.begin(), w.end()) < 1.0) return 0;
    // Peak isolation: the slopes falling away from every local maximum go to the floor.
    const double floor = *std::min_element(m.begin(), m.end());
    for (int32_t i = 1; i + 1 < BinCount; ++i) {
        if (!(m[i] > m[i - 1] && m[i] > m[i + 1])) continue;
        for (int32_t j = i - 1; j >= 0 && m[j] < m[j + 1]; --j) w[j] = floor;
        for (int32_t j = i + 1; j < BinCount && m[j] < m[j - 1]; ++j) w[j] = floor;
    }
    auto largest = [&](int32_t from, int32_t to) {
        int32_t best = from;
        for (int32_t i = from; i <= to; ++i)
            if (w[i] > w[best]) best = i;
        return best;
    };
    const int32_t k1 = largest(kmin_, kmax_);
    int32_t k0 = kmin_;
    double below = 0.0;
    for (int32_t i = kmin_; i < k1; ++i) below += w[i];
    if (k1 > kmin_ && below >= 0.01 * w[k1]) {
        // Energy under the strongest peak: a harmonic product finds the fundamental.
        std::copy(m.begin(), m.end(), w.begin());
        const double limit = 0.01 * w[k1];
        k0 = k1;
        for (int32_t i = k1 - 1; i >= kmin_; --i) {
            if (w[i] < limit)
                w[i] = 0.0;
            else
                k0 = i;
        }
        for (int32_t h = 2; h <= 4; ++h) {
            int32_t i = k0;
            for (; h * i < BinCount; ++i) w[i] *= m[h * i];
            for (; i < BinCount; ++i) w[i] = 0.0;
        }
    }
    const int32_t k = largest(k0, kmax_);
    if (k < 2 * kmin_) return k;
    // Sub-octave check: a strong enough bin at half the frequency is the fundamental.
    const int32_t j = k / 2;
    const double enough = 0.1 * w[k];
    if (w[j] >= enough) return j;
    if (w[j + 1] >= enough) return j + 1;
    if (j >= 1 && w[j - 1] >= enough) return j - 1;
    return k;
}

void MPitchDetectorFFT::Offer(double candidate) {
    if (stabilizationFrames_ > 0) {
        const bool close = candidate_ > 0.0 && candidate >= 0.8 * candidate_ && candidate <= 1.25 * candidate_;
        candidate_ = candidate;
        if (!close) {
            counter_ = stabilizationFrames_;
            return;
        }
        if (--counter_ > 0) return;
        counter_ = 0;
    } else {
        candidate_ = candidate;
    }
    if (speedLimited_ && pitch_ >= 1.0) {
        const double current = std::log10(pitch_);
        pitch_ =
            std::pow(10.0, std::min(std::max(std::log10(candidate), current - maximumStep_), current + maximumStep_));
    } else {
        pitch_ = candidate;
    }
}

}  // namespace corvane

#pragma once
// Follows the fundamental frequency of a signal: overlapping frames of 4096
// samples, a harmonic-product search over isolated spectral peaks, the
// peak's frequency refined from the phase advance between frames, and a new
// pitch released only once stable and then at a limited speed.
// [audio-thread] Feed and Pitch; set-up and settings where the modulator
// prepares processing. Nothing allocates after construction.

#include <complex>
#include <cstdint>
#include <vector>

#include "dsp/RealFft.h"

namespace corvane {

class MPitchDetectorFFT {
public:
    static constexpr int32_t FrameSize = 4096;
    static constexpr int32_t BinCount = FrameSize / 2;

    struct Settings {
        double threshold = 0.0;  // mean bin magnitude below which a frame changes nothing
        double lowest = 50.0;    // the recognized range, hertz
        double highest = 2000.0;
        double stabilization = 0.0;  // seconds a new pitch must hold before it counts
        double speed = 1.0;          // 0 .. 1; below 1 the pitch moves at most so many decades a frame
    };

    MPitchDetectorFFT();

    void Setup(double sampleRate);
    void SetOverlap(double overlap);
    void SetSettings(const Settings& settings);
    void Feed(const float* samples, int32_t count);

    double Pitch() const { return pitch_; }
    double Candidate() const { return candidate_; }
    int32_t StabilityCounter() const { return counter_; }
    int32_t Hop() const { return hop_; }
    int32_t StabilizationFrames() const { return stabilizationFrames_; }

private:
    void Derive();
    void AnalyseFrame();
    int32_t FundamentalBin();
    void Offer(double candidate);

    MAudioFilters::RealFft fft_;
    double sampleRate_ = 48000.0;
    double overlap_ = 0.75;
    Settings settings_;
    int32_t hop_ = FrameSize / 4;
    double oversampling_ = 4.0;
    int32_t kmin_ = 0, kmax_ = 0;
    int32_t stabilizationFrames_ = 0;
    double maximumStep_ = 0.0;  // decades per accepted frame
    bool speedLimited_ = false;

    std::vector<float> history_;  // the last FrameSize samples, circular
    int32_t written_ = 0;         // position of the next sample in history_
    int32_t filled_ = 0;          // samples seen, up to FrameSize
    int32_t sinceFrame_ = 0;      // samples since the last analysed frame
    std::vector<double> window_, frame_;
    std::vector<std::complex<double>> bins_;
    std::vector<double> magnitude_, previousPhase_, frequency_, work_;

    double pitch_ = 0.0, candidate_ = 0.0;
    int32_t counter_ = 0;
};

}  // namespace corvane

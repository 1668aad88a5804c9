#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "dsp/Fft.h"
#include "dsp/RealFft.h"
#include "framework/modulation/MPitchDetectorFFT.h"
#include "tests/support/AllocationCounter.h"

using namespace corvane;

namespace {

constexpr double Rate = 48000.0;

// Partials (multiple of f0, amplitude) summed from sample `start` on.
std::vector<float> Tone(double f0, const std::vector<std::pair<int, double>>& partials, int n, int start = 0) {
    std::vector<float> out(n);
    for (int i = 0; i < n; ++i) {
        double v = 0.0;
        for (const auto& [h, a] : partials) v += a * std::sin(2 * M_PI * f0 * h * (start + i) / Rate);
        out[i] = static_cast<float>(v);
    }
    return out;
}

// Feeds in uneven sub-blocks, as a host's blocks would arrive.
void FeedInPieces(MPitchDetectorFFT& detector, const std::vector<float>& signal) {
    const int pieces[] = {1, 64, 333, 512, 7};
    size_t at = 0;
    for (int p = 0; at < signal.size(); ++p) {
        const int n = static_cast<int>(std::min<size_t>(pieces[p % 5], signal.size() - at));
        detector.Feed(signal.data() + at, n);
        at += static_cast<size_t>(n);
    }
}

TEST(RealFft, MatchesTheComplexTransform) {
    MAudioFilters::RealFft fft(64);
    std::vector<double> in(64);
    std::vector<std::complex<double>> reference(64), out(33);
    uint32_t seed = 5;
    for (int i = 0; i < 64; ++i) {
        seed = seed * 1664525u + 1013904223u;
        in[i] = static_cast<int32_t>(seed) / 2147483648.0;
        reference[i] = in[i];
    }
    MAudioFilters::Fft(reference);
    fft.Forward(in.data(), out.data());
    for (int k = 0; k <= 32; ++k) EXPECT_LT(std::abs(out[k] - reference[k]), 1e-12) << k;
}

TEST(PitchDetector, FindsTheFundamentalOfHarmonicTones) {
    struct Case {
        const char* name;
        double f0;
        std::vector<std::pair<int, double>> partials;
    } cases[] = {
        {"sine", 220.0, {{1, 0.5}}},
        {"bright", 146.83, {{1, 0.3}, {2, 0.25}, {3, 0.2}, {4, 0.1}, {5, 0.05}}},
        // The second harmonic is the strongest partial.
        {"strong octave", 110.0, {{1, 0.1}, {2, 0.5}, {3, 0.2}, {4, 0.1}}},
        {"high", 987.77, {{1, 0.4}, {2, 0.1}}},
    };
    for (const Case& c : cases) {
        MPitchDetectorFFT detector;
        detector.Setup(Rate);
        const std::vector<float> tone = Tone(c.f0, c.partials, 24000);
        sonvera_test::AllocationCounter counter;
        FeedInPieces(detector, tone);
        EXPECT_EQ(counter.Count(), 0u) << "frames are analysed without allocating";
        EXPECT_NEAR(detector.Pitch(), c.f0, 0.002 * c.f0) << c.name;
    }
}

TEST(PitchDetector, SilenceBelowTheThresholdKeepsThePitch) {
    MPitchDetectorFFT detector;
    detector.Setup(Rate);
    MPitchDetectorFFT::Settings settings;
    settings.threshold = 0.01;
    detector.SetSettings(settings);
    FeedInPieces(detector, Tone(330.0, {{1, 0.5}}, 16384));
    EXPECT_NEAR(detector.Pitch(), 330.0, 0.7);
    // Once the last frame holding the tone has passed, silence changes nothing.
    FeedInPieces(detector, std::vector<float>(MPitchDetectorFFT::FrameSize, 0.0f));
    const double pitch = detector.Pitch();
    FeedInPieces(detector, std::vector<float>(48000, 0.0f));
    EXPECT_EQ(detector.Pitch(), pitch);
    // Outside the recognized range nothing is taken either.
    settings.highest = 300.0;
    detector.SetSettings(settings);
    FeedInPieces(detector, Tone(440.0, {{1, 0.5}}, 16384));
    EXPECT_LT(detector.Pitch(), 300.0);
}

// Frames that do not overlap, so each holds one note only.
struct FrameByFrame {
    explicit FrameByFrame(double stabilization, double speed = 1.0) {
        detector.Setup(Rate);
        detector.SetOverlap(0.0);
        MPitchDetectorFFT::Settings settings;
        settings.stabilization = stabilization;
        settings.speed = speed;
        detector.SetSettings(settings);
    }
    void Frame(double f0) {
        const std::vector<float> frame = Tone(f0, {{1, 0.5}}, MPitchDetectorFFT::FrameSize, position);
        position += MPitchDetectorFFT::FrameSize;
        detector.Feed(frame.data(), static_cast<int32_t>(frame.size()));
    }
    MPitchDetectorFFT detector;
    int position = 0;
};

TEST(PitchDetector, StabilizationWaitsForThreeAgreeingFrames) {
    FrameByFrame f(0.256);  // 48000 / 4096 * 0.256 = 3 frames
    ASSERT_EQ(f.detector.StabilizationFrames(), 3);
    for (int i = 0; i < 6; ++i) f.Frame(200.0);
    EXPECT_NEAR(f.detector.Pitch(), 200.0, 0.5);
    f.Frame(400.0);  // a new note restarts the count
    EXPECT_EQ(f.detector.StabilityCounter(), 3);
    for (int i = 0; i < 2; ++i) {
        f.Frame(400.0);
        EXPECT_NEAR(f.detector.Pitch(), 200.0, 0.5) << i;
    }
    f.Frame(400.0);  // the third frame that agrees with the one before
    EXPECT_NEAR(f.detector.Pitch(), 400.0, 1.0);

    // No stabilization, full speed: every frame counts. A note's first frame
    // has no phase of the same note to refine against, so it is good to half
    // a bin; its second frame is exact.
    FrameByFrame follow(0.0);
    const double halfBin = Rate / MPitchDetectorFFT::FrameSize / 2;
    for (double note : {200.0, 300.0, 250.0, 500.0}) {
        follow.Frame(note);
        EXPECT_NEAR(follow.detector.Pitch(), note, halfBin);
        follow.Frame(note);
        EXPECT_NEAR(follow.detector.Pitch(), note, 0.002 * note);
    }
}

TEST(PitchDetector, SpeedLimitsTheStepPerFrame) {
    FrameByFrame f(0.0, 0.0);  // the slowest: (0 + 0.01) * 4096 / 48000 decades a frame
    f.Frame(200.0);            // the first pitch is taken as it comes
    const double first = f.detector.Pitch();
    const double step = 0.01 * 4096 / 48000.0;
    for (int i = 1; i <= 3; ++i) {
        f.Frame(400.0);
        EXPECT_NEAR(std::log10(f.detector.Pitch()), std::log10(first) + i * step, 1e-12) << i;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>

#include "framework/plugin/Resampler.h"
#include "tests/framework/plugin/PipelineTestSupport.h"

using namespace corvane;
using namespace sonvera_test;

namespace {

double ToneLevel(const std::vector<float>& signal, size_t from, double frequency, double rate) {
    std::complex<double> sum = 0.0;
    for (size_t i = from; i < signal.size(); ++i)
        sum += static_cast<double>(signal[i]) * std::polar(1.0, -2.0 * M_PI * frequency * i / rate);
    return 2.0 * std::abs(sum) / (signal.size() - from);
}

}  // namespace

// Every factor and quality through the whole pipeline with a unit-gain effect:
// a 1 kHz tone passes within 0.1 dB at the reported latency, and the images
// the zero stuffing makes above the host's Nyquist frequency stay down.
TEST(Resampling, PassBandImagesAndLatency) {
    struct Case {
        int factor;
        bool hq;
        double minimumImageRejection;
    } cases[] = {{2, false, 40.0}, {4, false, 40.0}, {2, true, 70.0}, {4, true, 70.0}};
    for (const Case& c : cases) {
        TestPlugin::SetHighQualityUpsampling(c.hq);
        TestPlugin plugin;
        plugin.SetUpsampling(c.factor);
        TestPlugin::SetHighQualityUpsampling(false);
        const int n = 8192;
        std::vector<float> l = Tone(n, 1000.0, 48000.0), r = l, ol(n), orr(n);
        // A second, aperiodic probe on the right channel tells the delay apart from the tone's period.
        for (int i = 0; i < n; ++i) r[i] = 0.3f * static_cast<float>(std::sin(0.0911 * i) + std::sin(0.2437 * i));
        plugin.Effect().seen[0].clear();
        plugin.Run(l, r, ol, orr);

        const double level = ToneLevel(ol, 4096, 1000.0, 48000.0) / 0.5;
        EXPECT_NEAR(20.0 * std::log10(level), 0.0, 0.1) << c.factor << (c.hq ? " hq" : "");

        // Delay: the output's phase against the input's, in samples.
        const int latency = plugin.Latency();
        double best = 1e9;
        int measured = -1;
        for (int d = 0; d < 200; ++d) {
            double error = 0.0;
            for (int i = 4096; i < 4096 + 512; ++i) error += std::fabs(orr[i] - r[i - d]);
            if (error < best) best = error, measured = d;
        }
        EXPECT_EQ(measured, latency) << c.factor << (c.hq ? " hq" : "");

        // Images inside the effect: the 1 kHz tone mirrored around the host rate.
        const std::vector<float>& inside = plugin.Effect().seen[0];
        const double rate = 48000.0 * c.factor;
        const double tone = ToneLevel(inside, 8192, 1000.0, rate);
        const double image = ToneLevel(inside, 8192, 47000.0, rate);
        const double rejection = 20.0 * std::log10(tone / image);
        std::printf("upsampling x%d %s: latency %d, image rejection %.1f dB\n", c.factor, c.hq ? "hq" : "standard",
                    latency, rejection);
        EXPECT_GT(rejection, c.minimumImageRejection);
    }
}

TEST(Resampling, FilterFigures) {
    // Pass band to 0.35 of the host rate, stop band from 0.55 of it.
    for (bool hq : {false, true})
        for (int factor : {2, 4}) {
            ResamplingFilter filter;
            filter.Design(factor, hq);
            auto gain = [&](double hostFraction) {
                // Response of one filter at a frequency given as a fraction of the host rate.
                const double w = 2.0 * M_PI * hostFraction / factor;
                std::vector<float> probe(4096);
                for (size_t i = 0; i < probe.size(); ++i) probe[i] = static_cast<float>(std::cos(w * i));
                ResamplingFilter copy = filter;
                copy.Run(probe.data(), static_cast<int32_t>(probe.size()));
                double peak = 0.0;
                for (size_t i = 2048; i < probe.size(); ++i) peak = std::max(peak, std::fabs(double(probe[i])));
                return 20.0 * std::log10(peak);
            };
            double ripple = 0.0;
            for (double f = 0.01; f <= 0.35; f += 0.01) ripple = std::max(ripple, std::fabs(gain(f)));
            const double edge = gain(0.4);
            const double stop = gain(0.55);
            std::printf(
                "resampling x%d %s: pass-band deviation %.4f dB to 0.35 fs, %.3f dB at 0.40 fs, %.1f dB at "
                "0.55 fs\n",
                factor, hq ? "hq" : "standard", ripple, edge, stop);
            EXPECT_LT(ripple, hq ? 0.01 : 0.5);
            EXPECT_LT(stop, hq ? -70.0 : -20.0);
        }
}

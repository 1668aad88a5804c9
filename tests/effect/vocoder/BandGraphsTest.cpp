#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "dsp/Fft.h"
#include "effect/vocoder/BandLayout.h"
#include "framework/core/MRandom.h"
#include "tests/effect/vocoder/VocoderTestSupport.h"

using namespace sonvera;
using namespace corvane;
using sonvera_test::EffectDriver;
using sonvera_test::Noise;

namespace {

void Shape(EffectDriver& driver, int32_t graph, std::vector<MEnvelope::Point> points) {
    driver.effect->Graph(graph).SetPoints(points.data(), static_cast<int32_t>(points.size()));
    driver.effect->SetGraphEnabled(graph, true);
    driver.Changed(-1);
}

MEnvelope::Point At(double x, double y) { return {x, y, 0.0, 1.0, SegmentMode1}; }

// The power-weighted mean of log2(frequency) over the spectrum of a block.
double LogCentroid(const std::vector<float>& block, double rate) {
    std::vector<std::complex<double>> x(block.begin(), block.end());
    MAudioFilters::Fft(x);
    double weighted = 0.0, total = 0.0;
    for (size_t k = 1; k < x.size() / 2; ++k) {
        const double power = std::norm(x[k]);
        weighted += power * std::log2(k * rate / static_cast<double>(x.size()));
        total += power;
    }
    return weighted / total;
}

double MaxDifference(const std::vector<float>& a, const std::vector<float>& b) {
    double worst = 0.0;
    for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(static_cast<double>(a[i]) - b[i]));
    return worst;
}

}  // namespace

TEST(BandGraphs, EnablingAnUneditedGraphChangesNothingAudible) {
    const std::vector<float> carrier = Noise(8192, 3), modulator = Noise(8192, 4);
    EffectDriver plain(1);
    plain.SetFloat(ParamGate, 0.1);  // so the gate graphs have something to scale
    plain.SetFloat(ParamWhitening, 0.3);
    const std::vector<float> reference = plain.ProcessMono(carrier, modulator);
    double peak = 0.0;
    for (float s : reference) peak = std::max(peak, static_cast<double>(std::fabs(s)));
    for (int32_t g = 0; g < BandGraphCount; ++g) {
        EffectDriver graphed(1);
        graphed.SetFloat(ParamGate, 0.1);
        graphed.SetFloat(ParamWhitening, 0.3);
        graphed.effect->SetGraphEnabled(g, true);
        graphed.Changed(-1);
        EXPECT_LT(MaxDifference(graphed.ProcessMono(carrier, modulator), reference), 1e-5 * peak)
            << BandGraphIdentifiers[g];
    }
}

TEST(BandGraphs, AnOctaveHigherCurveMovesTheSpectrumUpAnOctave) {
    const int n = 65536;
    const std::vector<float> carrier = Noise(n, 21), modulator = Noise(n, 22);
    auto centroid = [&](double lowHz, double highHz) {
        EffectDriver driver(1);
        Shape(driver, GraphBandDistributionCar, {At(0, std::log10(lowHz)), At(1, std::log10(highHz))});
        const std::vector<float> out = driver.ProcessMono(carrier, modulator);
        EXPECT_NEAR(driver.effect->Bank().bands[0].carrierSections[0].frequency, lowHz, 1e-9 * lowHz);
        EXPECT_NEAR(driver.effect->Bank().bands[31].carrierSections[0].frequency, highHz, 1e-9 * highHz);
        return LogCentroid(std::vector<float>(out.end() - 32768, out.end()), 48000.0);
    };
    const double shift = centroid(200.0, 4000.0) - centroid(100.0, 2000.0);
    RecordProperty("centroid_shift_octaves", std::to_string(shift));
    // A little under an octave: the detector gains fall with frequency, so
    // the moved bands come out slightly quieter towards the top.
    EXPECT_NEAR(shift, 1.0, 0.1);
}

TEST(BandGraphs, ModulatorFrequenciesFollowTheirGraphOrTheCarriers) {
    EffectDriver driver(1);
    Shape(driver, GraphBandDistributionCar, {At(0, 2.0), At(1, 3.0)});
    const VocoderBank& bank = driver.effect->Bank();
    EXPECT_NEAR(bank.bands[31].modulatorSections[0].frequency, 1000.0, 1e-9);
    Shape(driver, GraphBandDistributionMod, {At(0, 2.5), At(1, 4.0)});
    EXPECT_NEAR(bank.bands[0].modulatorSections[0].frequency, std::pow(10.0, 2.5), 1e-9);
    EXPECT_NEAR(bank.bands[0].carrierSections[0].frequency, 100.0, 1e-9);
}

TEST(BandGraphs, ResonanceGraphsSetTheQOfEachBand) {
    EffectDriver driver(1);
    driver.SetFloat(ParamResonanceCar, 0.5);
    // From no offset at the lowest band to +1 at the highest.
    Shape(driver, GraphResonanceCar, {At(0, 0.0), At(1, 1.0)});
    const VocoderBank& bank = driver.effect->Bank();
    const double base = BandLayout::BaseQ(driver.effect->Parameter(ParamOrderCar).integerValues.value, 32);
    const double modBase = BandLayout::BaseQ(driver.effect->Parameter(ParamOrderMod).integerValues.value, 32);
    for (int32_t b : {0, 10, 31}) {
        const double g = b / 31.0, r = std::min(g + 0.25, 1.0);
        EXPECT_NEAR(bank.bands[b].carrierSections[0].q, base + (20 - base) * r * r, 1e-12) << b;
        // The modulator follows the carrier's graph while its own is off, with its own resonance (0).
        EXPECT_NEAR(bank.bands[b].modulatorSections[0].q, modBase + (20 - modBase) * g * g, 1e-12) << b;
    }
    EXPECT_NEAR(bank.bands[31].carrierSections[0].q, 20.0, 1e-12);
}

TEST(BandGraphs, TimeGraphsScaleEachBandsDetector) {
    // Release four times longer on the upper half of the bands: after the
    // voice stops, those bands keep sounding while the lower ones have died.
    EffectDriver driver(1);
    driver.SetFloat(ParamRelease, 0.05);
    Shape(driver, GraphRelease, {At(0, 0.0), At(0.5, 0.0), {0.5, 2.0, 0.0, 1.0, SegmentMode1}, At(1, 2.0)});
    const VocoderBank& bank = driver.effect->Bank();
    const double rate = 48000.0;
    EXPECT_NEAR(bank.releaseCoef[3], std::exp(-1.0 / (0.05 * rate)), 1e-15);
    EXPECT_NEAR(bank.releaseCoef[28], std::exp(-1.0 / (0.2 * rate)), 1e-15);
    EXPECT_NEAR(bank.attackCoef[28], bank.attackCoef[3], 0.0) << "the attack graph is off";

    // Measured: the detector of a high band decays four times slower.
    const std::vector<float> carrier = Noise(48000, 5);
    std::vector<float> voice = Noise(48000, 6);
    std::fill(voice.begin() + 24000, voice.end(), 0.0f);
    EffectDriver flat(1);
    flat.SetFloat(ParamRelease, 0.05);
    const std::vector<float> shaped = driver.ProcessMono(carrier, voice);
    const std::vector<float> unshaped = flat.ProcessMono(carrier, voice);
    const double tailShaped = sonvera_test::Energy(std::vector<float>(shaped.begin() + 33600, shaped.end()));
    const double tailFlat = sonvera_test::Energy(std::vector<float>(unshaped.begin() + 33600, unshaped.end()));
    EXPECT_GT(tailShaped, 100.0 * tailFlat);
}

TEST(BandGraphs, RatioAndGateGraphsActPerBand) {
    const std::vector<float> carrier = Noise(8192, 7), modulator = Noise(8192, 8, 0.05f);
    // Ratio 0 plus an offset of +1 on every band is Ratio 1.
    EffectDriver full(1), offset(1);
    offset.SetFloat(ParamRatio, 0.0);
    offset.effect->CommitParameterValues();
    Shape(offset, GraphRatio, {At(0, 1.0), At(1, 1.0)});
    EXPECT_EQ(offset.ProcessMono(carrier, modulator), full.ProcessMono(carrier, modulator));

    // A gate threshold sixteen times higher on every band shuts a quiet voice out.
    EffectDriver open(1), shut(1);
    for (EffectDriver* d : {&open, &shut}) {
        d->SetFloat(ParamGate, 0.2);
        d->SetFloat(ParamGateRatio, 20.0);
    }
    Shape(shut, GraphGateThreshold, {At(0, 4.0), At(1, 4.0)});
    EXPECT_EQ(shut.effect->Bank().gateThresholdFactor[5], 16.0);
    const double openEnergy = sonvera_test::Energy(open.ProcessMono(carrier, modulator), 4096);
    const double shutEnergy = sonvera_test::Energy(shut.ProcessMono(carrier, modulator), 4096);
    EXPECT_LT(shutEnergy, 0.01 * openEnergy);
}

TEST(BandGraphs, FullRandomisationReshapesSomeGraphsOfItsOwnInstanceOnly) {
    EffectDriver driver(1), other(1);
    MRandom::Seed(12345);
    double amount = 1.0;
    MPluginArguments arguments;
    arguments.SetPointer(0, &amount);
    SonveraAudioEffectPluginInterface(driver.effect, PluginCommand::Randomize, &arguments);
    int32_t reshaped = 0;
    for (int32_t g = 0; g < BandGraphCount; ++g) {
        MEnvelopeGraph& graph = driver.effect->Graph(g);
        const MEnvelope::Range range = graph.GetRange();
        bool moved = false;
        for (int32_t p = 0; p < graph.PointCount(); ++p) {
            const MEnvelope::Point point = graph.PointAt(p);
            EXPECT_GE(point.y, range.yMin);
            EXPECT_LE(point.y, range.yMax);
            moved = moved || std::fabs(point.y - NeutralGraphValue(g, point.x)) > 1e-12;
        }
        reshaped += moved ? 1 : 0;
        EXPECT_FALSE(driver.effect->GraphEnabled(g)) << "randomising leaves the switches alone";
        // The other instance keeps its identity shapes.
        for (int32_t p = 0; p < other.effect->Graph(g).PointCount(); ++p)
            EXPECT_EQ(other.effect->Graph(g).PointAt(p).y, NeutralGraphValue(g, other.effect->Graph(g).PointAt(p).x));
    }
    EXPECT_GT(reshaped, 0);
    EXPECT_LT(reshaped, BandGraphCount) << "each graph is picked half of the time";
}

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "dsp/Fft.h"
#include "tests/effect/vocoder/ReferenceVocoder.h"
#include "tests/effect/vocoder/VocoderTestSupport.h"

using namespace sonvera;
using namespace sonvera_test;

namespace {

// One configuration of the band processing to compare with the reference.
struct Scenario {
    const char* name;
    int mode;
    double ratio;
    void (*configure)(EffectDriver& driver);
};

void Defaults(EffectDriver&) {}

void RampsGateAndWhitening(EffectDriver& d) {
    d.SetFloat(ParamWhitening, 0.6);
    d.SetFloat(ParamGate, 0.05);
    d.SetFloat(ParamGateRatio, 4.0);
    d.SetFloat(ParamRMSLength, 0.0);
    d.SetFloat(ParamHold, 0.01);
}

void Rerouted(EffectDriver& d) {
    d.SetInteger(ParamBandCount, 21);  // not a multiple of any lane count
    d.SetInteger(ParamOrderCar, 5);
    d.SetInteger(ParamOrderMod, 1);
    d.effect->SetMatrix(3, 3, false);  // band 3 silent
    d.effect->SetMatrix(4, 5, true);   // band 5 follows 4, 5 and 6
    d.effect->SetMatrix(6, 5, true);
    d.effect->SetMatrix(0, 9, true);  // band 9 follows 0 and 9
    d.effect->BandLevel(2) = 1.5;
    d.SetFloat(ParamResonanceMod, 0.4);
}

void HeavyBank(EffectDriver& d) {
    d.SetInteger(ParamBandCount, 100);
    d.SetInteger(ParamOrderCar, 10);
    d.SetInteger(ParamOrderMod, 10);
}

const Scenario scenarios[] = {
    {"vocoder", ModeVocoder, 1.0, Defaults},
    {"vocoder-half", ModeVocoder, 0.5, RampsGateAndWhitening},
    {"dual", ModeVocoderDual, 0.7, Rerouted},
    {"morph1", ModeMorph1, 0.3, Defaults},
    {"morph2", ModeMorph2, 0.8, RampsGateAndWhitening},
    {"ring", ModeRingModulation, 0.6, Rerouted},
    {"exciting", ModeExciting, 0.9, Defaults},
    {"inversion", ModeInversion, 0.4, Rerouted},
    {"inversion-dual", ModeInversionDual, 0.5, HeavyBank},
};

std::vector<KernelPath> SupportedPaths() {
    std::vector<KernelPath> paths;
    for (KernelPath p : {KernelPath::Scalar, KernelPath::SSE2, KernelPath::AVX2, KernelPath::AVX512})
        if (KernelPathSupported(p)) paths.push_back(p);
    return paths;
}

}  // namespace

// Every mode, on every instruction-set path, gives the reference's output bit
// for bit, over blocks of several lengths, with the ratio ramping and freeze
// switching on and off.
TEST(VocoderProcessing, EveryPathMatchesTheReferenceInEveryMode) {
    const int n = 1500;
    const std::vector<float> carL = Noise(n, 1), carR = Noise(n, 2), modL = Noise(n, 3), modR = Sine(n, 440.0);
    const int blocks[] = {256, 100, 37, 512, 1, 594};
    for (const Scenario& scenario : scenarios) {
        for (KernelPath path : SupportedPaths()) {
            SCOPED_TRACE(std::string(scenario.name) + " path " + std::to_string(static_cast<int>(path)));
            EffectDriver driver;
            driver.effect->SetKernelPath(path);
            scenario.configure(driver);
            driver.SetEnum(ParamMode, scenario.mode);
            driver.Changed(-1);  // rebuild with the matrix changes
            ReferenceVocoder reference(*driver.effect);
            std::vector<float> outL(n), outR(n), refL(n), refR(n);
            int start = 0;
            for (int block = 0; start < n; ++block) {
                const int count = std::min(blocks[block % 6], n - start);
                if (block == 2) driver.SetFloat(ParamRatio, scenario.ratio);  // ramps over block 2
                if (block == 3) driver.SetBool(ParamFreeze, true);
                if (block == 4) driver.SetBool(ParamFreeze, false);
                driver.Process({carL.data() + start, carR.data() + start}, {modL.data() + start, modR.data() + start},
                               {outL.data() + start, outR.data() + start}, count);
                reference.Process({carL.data() + start, carR.data() + start},
                                  {modL.data() + start, modR.data() + start},
                                  {refL.data() + start, refR.data() + start}, count);
                start += count;
            }
            int mismatches = 0;
            for (int i = 0; i < n; ++i) mismatches += (outL[i] != refL[i]) + (outR[i] != refR[i]);
            EXPECT_EQ(mismatches, 0);
            EXPECT_GT(Energy(outL), 1e-6) << "the scenario produces sound";
        }
    }
}

TEST(VocoderProcessing, SilentModulatorGivesSilence) {
    EffectDriver driver(1);
    const std::vector<float> out = driver.ProcessMono(Noise(4800, 7), std::vector<float>(4800, 0.0f));
    for (float v : out) ASSERT_LT(std::fabs(v), 1e-6f);
}

TEST(VocoderProcessing, RatioZeroPassesTheFilteredCarrierAtUnitGain) {
    EffectDriver driver(1);
    driver.SetFloat(ParamRatio, 0.0);
    driver.effect->CommitParameterValues();  // no ramp from the old ratio
    const double middle = driver.effect->Bank().bands[16].carrierSections[0].frequency;
    const std::vector<float> out = driver.ProcessMono(Sine(9600, middle), Noise(9600, 5));
    double peak = 0.0;
    for (size_t i = 4800; i < out.size(); ++i) peak = std::max(peak, std::fabs(static_cast<double>(out[i])));
    EXPECT_NEAR(20.0 * std::log10(peak / 0.5), 0.0, 0.1) << "a sine at the bank's middle passes at its level";
}

TEST(VocoderProcessing, EmptyColumnSilencesItsBand) {
    // Only band 10 keeps a source: the output is that band's filtered carrier alone.
    EffectDriver driver(1);
    driver.SetFloat(ParamRatio, 0.0);
    driver.effect->CommitParameterValues();
    for (int b = 0; b < 32; ++b)
        if (b != 10) driver.effect->SetMatrix(b, b, false);
    driver.Changed(-1);
    const std::vector<float> carrier = Noise(2048, 9);
    const std::vector<float> out = driver.ProcessMono(carrier, Noise(2048, 10));
    const VocoderBand& band = driver.effect->Bank().bands[10];
    MAudioFilters::Stage stages[MaxSections];
    std::vector<float> expected(2048);
    MAudioFilters::RunCascade(band.carrierSections, band.carrierOrder, stages, carrier.data(), expected.data(), 2048);
    for (int i = 0; i < 2048; ++i) ASSERT_EQ(out[i], expected[i] * driver.effect->Bank().outputNormaliser) << i;
}

namespace {

// Power spectrum of a block whose length is a power of two.
std::vector<double> Spectrum(const std::vector<float>& signal) {
    std::vector<std::complex<double>> x(signal.begin(), signal.end());
    MAudioFilters::Fft(x);
    std::vector<double> power(x.size() / 2);
    for (size_t k = 0; k < power.size(); ++k) power[k] = std::norm(x[k]);
    return power;
}

}  // namespace

TEST(VocoderProcessing, NoiseCarrierTakesTheSpectrumOfASineModulator) {
    EffectDriver driver(1);
    const int n = 65536;
    // The sine sits on the centre of band 18 (about 1105 Hz).
    const double sine = driver.effect->Bank().bands[18].modulatorSections[0].frequency;
    const std::vector<float> out = driver.ProcessMono(Noise(n, 11), Sine(n, sine));
    const std::vector<float> tail(out.end() - 32768, out.end());
    const std::vector<double> power = Spectrum(tail);
    double inside = 0.0, total = 0.0;
    const double low = sine / std::pow(2.0, 1.0 / 6.0), high = sine * std::pow(2.0, 1.0 / 6.0);
    for (size_t k = 1; k < power.size(); ++k) {
        const double f = k * 48000.0 / 32768.0;
        total += power[k];
        if (f >= low && f <= high) inside += power[k];
    }
    const double share = inside / total;
    RecordProperty("third_octave_share", std::to_string(share));
    std::printf("energy within a third of an octave of the sine: %.1f%%\n", 100.0 * share);
    EXPECT_GE(share, 0.6);
}

TEST(VocoderProcessing, FreezeHoldsAndResumes) {
    EffectDriver driver(1);
    const std::vector<float> carrier = Noise(4800, 13), voice = Sine(4800, 700.0), quiet(4800, 0.0f);
    driver.ProcessMono(carrier, voice);
    driver.SetBool(ParamFreeze, true);
    const std::vector<float> held = driver.ProcessMono(carrier, quiet);
    EXPECT_GT(Energy(held, 2400), 1e-3) << "the envelopes stay where they were";
    const std::vector<float> stillHeld = driver.ProcessMono(carrier, quiet);
    EXPECT_NEAR(Energy(stillHeld), Energy(held), 0.2 * Energy(held));
    driver.SetBool(ParamFreeze, false);
    driver.ProcessMono(carrier, quiet);
    const std::vector<float> released = driver.ProcessMono(carrier, quiet);
    EXPECT_LT(Energy(released), 1e-6 * Energy(held)) << "detection resumes and decays";
}

TEST(VocoderProcessing, LREncoding) {
    const std::vector<float> left = Noise(2048, 17), right = Sine(2048, 300.0), silent(2048, 0.0f);
    EffectDriver stereo(2);
    stereo.SetBool(ParamLREncoding, true);
    std::vector<float> outL(2048), outR(2048);
    stereo.Process({left.data(), right.data()}, {silent.data(), silent.data()}, {outL.data(), outR.data()}, 2048);
    EXPECT_EQ(outL, outR);
    EXPECT_GT(Energy(outL), 1e-3) << "left carries the carrier, right the modulator";

    EffectDriver on(1), off(1);
    on.SetBool(ParamLREncoding, true);
    EXPECT_EQ(on.ProcessMono(left, right), off.ProcessMono(left, right)) << "one channel: no effect";
}

TEST(VocoderProcessing, SwapExchangesTheInputs) {
    const std::vector<float> a = Noise(2048, 19), b = Sine(2048, 500.0);
    EffectDriver straight(1), swapped(1);
    swapped.SetBool(ParamSwap, true);
    EXPECT_EQ(straight.ProcessMono(a, b), swapped.ProcessMono(b, a));
}

TEST(VocoderProcessing, VolumePanAndDrySignals) {
    const int n = 512;
    const std::vector<float> car = Noise(n, 23), mod = Noise(n, 29), silent(n, 0.0f);
    EffectDriver driver(2);
    driver.SetFloat(ParamVolume, 0.0);  // processed signal silent
    driver.SetFloat(ParamVolumeCar, 1.0);
    driver.SetFloat(ParamPanoramaCar, -1.0);  // carrier fully left
    driver.SetFloat(ParamVolumeMod, std::sqrt(0.5));
    driver.SetFloat(ParamPanoramaMod, 0.0);
    driver.effect->InitProcessing(2, 48000.0);  // start without ramps
    std::vector<float> outL(n), outR(n);
    driver.Process({car.data(), silent.data()}, {silent.data(), mod.data()}, {outL.data(), outR.data()}, n);
    for (int i = 0; i < n; ++i) {
        ASSERT_NEAR(outL[i], car[i], 1e-6f) << i;
        ASSERT_NEAR(outR[i], 0.5f * mod[i], 1e-6f) << i;
    }
}

TEST(VocoderProcessing, SaturationShapesOnlyTheProcessedPath) {
    Saturator saturator;
    EXPECT_DOUBLE_EQ(saturator.Sample(0.0, 1.0), 0.0);
    EXPECT_NEAR(saturator.Sample(0.5, 1.0),
                std::tanh(M_PI * 0.5) / std::tanh(M_PI) + std::pow(std::tanh(M_PI * 0.5) / std::tanh(M_PI) - 0.5, 2),
                1e-12);
    EXPECT_DOUBLE_EQ(saturator.Sample(3.0, 1.0), 1.0 + 4.0) << "hard limit plus the even term";
    EXPECT_DOUBLE_EQ(saturator.Sample(-3.0, 0.0), -3.0) << "no amount, no change";
    EXPECT_DOUBLE_EQ(saturator.Sample(-0.5, 1.0),
                     -saturator.Sample(0.5, 1.0) + 2.0 * std::pow(std::tanh(M_PI * 0.5) / std::tanh(M_PI) - 0.5, 2))
        << "the even term keeps its sign";

    const std::vector<float> car = Noise(1024, 31), mod = Noise(1024, 37);
    EffectDriver plain(1), saturated(1);
    saturated.SetFloat(ParamSatCar, 1.0);
    EXPECT_NE(plain.ProcessMono(car, mod), saturated.ProcessMono(car, mod));
}

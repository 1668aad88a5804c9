#include <gtest/gtest.h>

#include <cmath>

#include "effect/vocoder/BandLayout.h"
#include "tests/effect/vocoder/VocoderTestSupport.h"

using namespace sonvera;
using sonvera_test::EffectDriver;

namespace {

double CarrierFrequency(const SonveraAudioEffectPlugin& effect, int band) {
    return effect.Bank().bands[band].carrierSections[0].frequency;
}
double ModulatorFrequency(const SonveraAudioEffectPlugin& effect, int band) {
    return effect.Bank().bands[band].modulatorSections[0].frequency;
}

}  // namespace

TEST(BandLayout, ThirtyTwoBandsSpanTwentyHertzToTwentyKilohertz) {
    EffectDriver driver;
    const SonveraAudioEffectPlugin& e = *driver.effect;
    ASSERT_EQ(e.Bank().bandCount, 32);
    EXPECT_NEAR(CarrierFrequency(e, 0), 20.0, 1e-9);
    for (int b = 1; b < 32; ++b)
        EXPECT_NEAR(CarrierFrequency(e, b) / CarrierFrequency(e, b - 1), std::pow(10.0, 3.0 / 31.0), 1e-12);
    EXPECT_NEAR(CarrierFrequency(e, 31), 20000.0, 1e-6);
    EXPECT_EQ(e.Bank().bands[0].carrierOrder, 3);
    EXPECT_EQ(e.Bank().bands[0].modulatorOrder, 2);
    EXPECT_EQ(e.Bank().bands[5].carrierSections[2].type, MAudioFilters::BandPass);
}

TEST(BandLayout, FormantShiftMovesOnlyTheCarrier) {
    struct Case {
        double semitones, low, high;
    } cases[] = {{12.0, 40.0, 20000.0}, {-12.0, 20.0, 10000.0}, {0.0, 20.0, 20000.0}};
    for (const Case& c : cases) {
        EffectDriver driver;
        driver.SetFloat(ParamFormantShift, c.semitones);
        const SonveraAudioEffectPlugin& e = *driver.effect;
        EXPECT_NEAR(CarrierFrequency(e, 0), c.low, 1e-6) << c.semitones;
        EXPECT_NEAR(CarrierFrequency(e, 31), c.high, 1e-6) << c.semitones;
        EXPECT_NEAR(ModulatorFrequency(e, 0), 20.0, 1e-9);
        EXPECT_NEAR(ModulatorFrequency(e, 31), 20000.0, 1e-6);
    }
}

TEST(BandLayout, CarrierQFromTheTableAndResonance) {
    EffectDriver driver;
    driver.SetInteger(ParamBandCount, 20);
    driver.SetInteger(ParamOrderCar, 3);
    EXPECT_NEAR(driver.effect->Bank().bands[7].carrierSections[0].q, 2.2, 1e-12);
    driver.SetFloat(ParamResonanceCar, 1.0);
    EXPECT_NEAR(driver.effect->Bank().bands[7].carrierSections[0].q, 20.0, 1e-12);
    // Between the table's columns the base is interpolated linearly.
    EXPECT_NEAR(BandLayout::BaseQ(3, 35), 2.2 + (5.7 - 2.2) * 0.5, 1e-12);
    EXPECT_NEAR(BandLayout::BaseQ(10, 100), 4.1, 1e-12);
    EXPECT_NEAR(BandLayout::BaseQ(1, 4), 0.2, 1e-12);
}

TEST(BandLayout, DetectorOffsetsAndTimes) {
    EXPECT_DOUBLE_EQ(BandLayout::TimeOffsetDb(0.001, 0.01), 6.0);
    EXPECT_DOUBLE_EQ(BandLayout::TimeOffsetDb(0.001, 1.0), 3.0);
    EXPECT_DOUBLE_EQ(BandLayout::TimeOffsetDb(0.00005, 1.0), 6.0);
    EXPECT_DOUBLE_EQ(BandLayout::QOffsetDb(0.2), 0.0);
    EXPECT_DOUBLE_EQ(BandLayout::QOffsetDb(1.0), 8.0);
    EXPECT_DOUBLE_EQ(BandLayout::QOffsetDb(8.0), 16.0);
    EXPECT_NEAR(BandLayout::DetectorGain(50.0, 0.0), std::pow(10.0, 18.0 / 20.0), 1e-3);
    EXPECT_NEAR(BandLayout::DetectorGain(12000.0, 0.0), 1.0, 1e-3);
    EXPECT_EQ(BandLayout::SmoothingCoefficient(0.0, 48000.0), 0.0);
    EXPECT_DOUBLE_EQ(BandLayout::SmoothingCoefficient(0.01, 48000.0), std::exp(-1.0 / 480.0));

    EffectDriver driver;
    driver.SetFloat(ParamRMSLength, 0.0);
    EXPECT_EQ(driver.effect->Bank().rmsKeep[3], 0.0);
    EXPECT_EQ(driver.effect->Bank().rmsInput[3], 1.0);
    EXPECT_DOUBLE_EQ(driver.effect->Bank().releaseCoef[3], std::exp(-1.0 / 480.0));
}

TEST(BandLayout, NormalisersGiveTheBankUnitGainAtItsMiddle) {
    EffectDriver driver;
    const VocoderBank& bank = driver.effect->Bank();
    const double f = CarrierFrequency(*driver.effect, 16);
    const double w = 2.0 * M_PI * f / 48000.0;
    std::complex<double> sum = 0.0;
    for (int b = 0; b < 32; ++b) {
        std::complex<double> product = 1.0;
        for (int s = 0; s < 3; ++s)
            product *= bank.bands[b].carrierSections[s].Response(std::polar(1.0, -w), std::polar(1.0, -2.0 * w));
        sum += product;
    }
    EXPECT_NEAR(std::abs(sum) * bank.outputNormaliser, 1.0, 1e-6);
}

TEST(BandLayout, ResampleBandArray) {
    double grow[7] = {0, 1, 0, 1};
    BandLayout::ResampleBandArray(grow, 4, 7);
    const double grown[7] = {0, 0.5, 1, 0.5, 0, 0.5, 1};
    for (int i = 0; i < 7; ++i) EXPECT_DOUBLE_EQ(grow[i], grown[i]) << i;

    double shrink[7] = {0, 0.5, 1, 0.5, 0, 0.5, 1};
    BandLayout::ResampleBandArray(shrink, 7, 4);
    const double shrunk[4] = {0, 1, 0, 1};
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(shrink[i], shrunk[i]) << i;

    double single[3] = {0.7, 9, 9};
    BandLayout::ResampleBandArray(single, 1, 3);
    EXPECT_EQ(single[2], 0.7);
    double same[2] = {1, 2};
    BandLayout::ResampleBandArray(same, 2, 1);
    EXPECT_EQ(same[1], 2.0) << "fewer than two bands: nothing happens";
}

TEST(BandLayout, BandCountChangeResamplesLevelsAndStaysInRange) {
    EffectDriver driver;
    driver.SetInteger(ParamBandCount, 4);
    for (int b = 0; b < 4; ++b) driver.effect->BandLevel(b) = b % 2;
    driver.SetInteger(ParamBandCount, 7);
    EXPECT_DOUBLE_EQ(driver.effect->BandLevel(1), 0.5);
    EXPECT_DOUBLE_EQ(driver.effect->BandLevel(6), 1.0);
    driver.effect->Parameter(ParamBandCount).integerValues.value = 5000;  // a broken record
    driver.Changed(ParamBandCount);
    EXPECT_EQ(driver.effect->Bank().bandCount, 100);
}

TEST(BandLayout, LowSampleRatesKeepSectionsStable) {
    EffectDriver driver(2, 22050.0);
    for (int b = 0; b < 32; ++b) {
        const auto& f = driver.effect->Bank().bands[b].carrierSections[0];
        EXPECT_LT(f.frequency, 0.5 * 22050.0) << b;
        EXPECT_LT(std::fabs(f.negA2), 1.0) << "poles inside the unit circle";
    }
}

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/core/MRandom.h"
#include "framework/parameters/DisplayCallbacks.h"
#include "framework/parameters/ParameterMapping.h"
#include "framework/parameters/UnitTexts.h"

using namespace corvane;
namespace PM = ParameterMapping;

namespace {

ParameterDescriptor Float(double minimum, double maximum, double value, uint32_t curve = CurveLinear) {
    ParameterDescriptor d;
    d.kind = ParameterKindFloat;
    d.floatValues = {minimum, maximum, value, value, value};
    d.curve = curve;
    return d;
}

ParameterDescriptor Integer(int32_t minimum, int32_t maximum, int32_t value) {
    ParameterDescriptor d;
    d.kind = ParameterKindInteger;
    d.integerValues = {minimum, maximum, value, value, value};
    return d;
}

const char* const eightNames[] = {"a", "b", "c", "d", "e", "f", "g", "h"};

ParameterDescriptor Enum8() {
    ParameterDescriptor d;
    d.kind = ParameterKindEnum;
    d.enumValues = {eightNames, 8, 2, 2};
    return d;
}

}  // namespace

TEST(ParameterMapping, FloatCurves) {
    struct Case {
        uint32_t curve;
        double x, stored;
    } cases[] = {{CurveLinear, 0.5, 0.5}, {CurveQuadratic, 0.5, 0.25}, {CurveFourthPower, 0.5, 0.0625}};
    for (const Case& c : cases) {
        ParameterDescriptor d = Float(0.0, 1.0, 0.0, c.curve);
        PM::SetNormalized(d, c.x);
        EXPECT_DOUBLE_EQ(d.floatValues.value, c.stored);
        EXPECT_DOUBLE_EQ(PM::GetNormalized(d), c.x);
    }
    ParameterDescriptor d = Float(1.0, 20.0, 2.0, CurveQuadratic);
    EXPECT_DOUBLE_EQ(PM::GetDefaultNormalized(d), std::sqrt(1.0 / 19.0));
}

TEST(ParameterMapping, TargetModeWritesTheTarget) {
    ParameterDescriptor d = Float(0.0, 10.0, 1.0);
    PM::SetInterpolating(d, true);
    EXPECT_TRUE(d.IsTargetMode());
    PM::SetNormalized(d, 0.5);
    EXPECT_DOUBLE_EQ(d.floatValues.value, 1.0);
    EXPECT_DOUBLE_EQ(d.floatValues.target, 5.0);
    PM::SetInterpolating(d, false);
    EXPECT_FALSE(d.IsTargetMode());
    EXPECT_DOUBLE_EQ(d.floatValues.target, 1.0) << "switching copies the value into the target";
}

TEST(ParameterMapping, IntegersRoundHalfUpAndStayInRange) {
    ParameterDescriptor d = Integer(1, 10, 1);
    PM::SetNormalized(d, 0.5);
    EXPECT_EQ(d.integerValues.value, 6);
    EXPECT_DOUBLE_EQ(PM::GetNormalized(d), 5.0 / 9.0);
    ParameterDescriptor bands = Integer(4, 100, 32);
    for (double wild : {-3.0, 1.7, 1e300, -std::numeric_limits<double>::infinity()}) {
        PM::SetNormalized(bands, wild);
        EXPECT_GE(bands.integerValues.value, 4) << wild;
        EXPECT_LE(bands.integerValues.value, 100) << wild;
    }
    PM::SetNormalized(bands, std::nan(""));
    EXPECT_EQ(bands.integerValues.value, 4) << "NaN leaves the value as it was";
}

TEST(ParameterMapping, EnumerationSteps) {
    ParameterDescriptor d = Enum8();
    struct Case {
        double x;
        int32_t index;
    } cases[] = {{1.0, 7}, {0.0, 0}, {0.1249, 0}, {0.125, 1}, {0.5, 4}};
    for (const Case& c : cases) {
        PM::SetNormalized(d, c.x);
        EXPECT_EQ(d.enumValues.valueIndex, c.index) << c.x;
    }
    d.enumValues.valueIndex = 7;
    EXPECT_DOUBLE_EQ(PM::GetNormalized(d), 1.0);
    EXPECT_EQ(PM::ValueName(d), "h");
    EXPECT_EQ(PM::ValueNameFrom01(d, 0.0), "a");
    EXPECT_DOUBLE_EQ(PM::ParseValueName(d, "C"), 2.0 / 7.0) << "item names parse, ignoring case";
}

TEST(ParameterMapping, BooleansAndTheirTexts) {
    ParameterDescriptor d;
    d.kind = ParameterKindBool;
    PM::SetNormalized(d, 0.4999);
    EXPECT_EQ(d.boolValue, 0);
    PM::SetNormalized(d, 0.5);
    EXPECT_EQ(d.boolValue, 1);
    EXPECT_EQ(PM::ValueName(d), "On");
    EXPECT_EQ(PM::ValueNameFrom01(d, 0.3), "On");
    EXPECT_EQ(PM::ValueNameFrom01(d, 0.0), "Off");
    EXPECT_EQ(PM::ValueNameFrom01(d, std::nan("")), "On");
    EXPECT_EQ(PM::HostType(d), 4);
}

TEST(ParameterMapping, FloatTextsFromCallbackFormatOrDecimals) {
    ParameterDescriptor d = Float(-12.0, 12.0, 3.0);
    EXPECT_EQ(PM::ValueName(d), "3.000000");
    d.format = "{+0.02} semitones";
    EXPECT_EQ(PM::ValueName(d), "+3.00 semitones");
    EXPECT_EQ(PM::ValueNameFrom01(d, 0.0), "-12.00 semitones");
    EXPECT_DOUBLE_EQ(d.floatValues.value, 3.0) << "texts for other values leave the descriptor alone";

    ParameterDescriptor gain = Float(0.0, 2.0, 1.0);
    gain.displayCallback = DisplayCallbacks::SquareRootGain;
    EXPECT_EQ(PM::ValueName(gain), "0.00 dB");
    EXPECT_EQ(PM::ValueNameFrom01(gain, 1.0), "12.0 dB");
    const double x = PM::ParseValueName(gain, "6");
    EXPECT_NEAR(x, std::sqrt(std::pow(10.0, 0.3)) / 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(gain.floatValues.value, 1.0) << "parsing proposes a value, the host sets it";

    ParameterDescriptor curved = Float(0.0, 1.0, 0.0, CurveQuadratic);
    EXPECT_DOUBLE_EQ(PM::ParseValueName(curved, "0.25"), 0.5);
    EXPECT_DOUBLE_EQ(PM::ParseValueName(Integer(1, 10, 1), "10"), 1.0);
}

TEST(ParameterMapping, RandomisationHonoursBitsAndRanges) {
    ParameterDescriptor fixed = Float(0.0, 2.0, 1.0);
    fixed.SetBit(0, ParameterBits::Randomizable, false);
    MRandom::Seed(1);
    PM::Randomize(fixed, 1.0, false);
    EXPECT_DOUBLE_EQ(fixed.floatValues.value, 1.0);
    PM::Randomize(fixed, 1.0, true);
    EXPECT_NE(fixed.floatValues.value, 1.0) << "forcing ignores the bit";

    // Full randomisation of a float: min + span * u with u = 41 / 32767.
    ParameterDescriptor d = Float(0.0, 10.0, 5.0);
    MRandom::Seed(1);
    PM::Randomize(d, 1.0, false);
    EXPECT_DOUBLE_EQ(d.floatValues.value, 10.0 * 41.0 / 32767.0);
    EXPECT_DOUBLE_EQ(d.committedValue, d.floatValues.value);

    ParameterDescriptor whole = Float(0.0, 10.0, 5.0);
    whole.SetBit(1, ParameterBits::WholeNumbers, true);
    for (uint32_t seed = 0; seed < 50; ++seed) {
        MRandom::Seed(seed);
        PM::Randomize(whole, 0.3, false);
        EXPECT_EQ(whole.floatValues.value, std::floor(whole.floatValues.value));
        EXPECT_GE(whole.floatValues.value, 0.0);
        EXPECT_LE(whole.floatValues.value, 10.0);
    }

    ParameterDescriptor e = Enum8();
    ParameterDescriptor i = Integer(1, 10, 5);
    for (uint32_t seed = 0; seed < 200; ++seed) {
        MRandom::Seed(seed);
        PM::Randomize(e, 1.0, false);
        PM::Randomize(i, 0.7, false);
        EXPECT_GE(e.enumValues.valueIndex, 0);
        EXPECT_LE(e.enumValues.valueIndex, 7);
        EXPECT_GE(i.integerValues.value, 1);
        EXPECT_LE(i.integerValues.value, 10);
    }

    ParameterDescriptor b;
    b.kind = ParameterKindBool;
    MRandom::Seed(1);
    PM::Randomize(b, 0.49, false);
    EXPECT_EQ(MRandom::State(), 1u) << "small amounts leave booleans and the generator alone";
    PM::Randomize(b, 0.5, false);
    EXPECT_EQ(b.boolValue, ((1u * 214013u + 2531011u) >> 16) & 1u);
}

TEST(DisplayCallbacks, ShowAndParse) {
    struct Case {
        DisplayCallback callback;
        double value;
        const char* shown;
        const char* typed;
        double stored;
    } cases[] = {
        {DisplayCallbacks::Percent, 0.5, "50.0%", "25", 0.25},
        {DisplayCallbacks::Time, 0.02, "20 ms", "5", 0.005},
        {DisplayCallbacks::Gain, 2.0, "6.02 dB", "20", 10.0},
        {DisplayCallbacks::SquareRootGain, 2.0, "12.0 dB", "20", std::sqrt(10.0)},
        {DisplayCallbacks::Pan, 0.25, "25% right", "-50", -0.5},
        {DisplayCallbacks::Degrees, 0.5, "180\xC2\xB0 (50.0%)", "90", 0.25},
        {DisplayCallbacks::LogFrequency, 3.0, "1000 Hz", "100", 2.0},
        {DisplayCallbacks::Frequency, 440.0, "440 Hz", "880", 880.0},
    };
    for (const Case& c : cases) {
        ParameterDescriptor d = Float(-100.0, 100.0, c.value);
        EXPECT_EQ(c.callback(d, ""), c.shown);
        EXPECT_EQ(c.callback(d, c.typed), "");
        EXPECT_NEAR(d.floatValues.value, c.stored, 1e-12) << c.shown;
    }
    // No logarithm or frequency for zero or less: the value stays.
    ParameterDescriptor d = Float(0.0, 5.0, 3.0);
    DisplayCallbacks::LogFrequency(d, "0");
    DisplayCallbacks::Frequency(d, "-5");
    EXPECT_DOUBLE_EQ(d.floatValues.value, 3.0);
}

#include <gtest/gtest.h>

#include <cmath>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/core/MRandom.h"
#include "framework/parameters/ParameterMapping.h"
#include "tests/support/TestOwner.h"

using namespace corvane;
using namespace sonvera;
namespace PM = ParameterMapping;

class VocoderParametersTest : public testing::Test {
protected:
    ParameterDescriptor& P(int32_t index) { return effect_.Parameter(index); }
    SonveraAudioEffectPlugin effect_;
};

TEST_F(VocoderParametersTest, ListOrderKindsRangesAndDefaults) {
    struct Row {
        int32_t index;
        const char* identifier;
        const char* name;
        uint32_t kind;
        double minimum, maximum, defaultValue;
        uint32_t curve;
        bool fullUpdate, randomizable;
    } rows[] = {
        {ParamVolume, "Volume", "Volume", ParameterKindFloat, 0, 2, 1, CurveLinear, false, false},
        {ParamPanoramaMod, "PanoramaMod", "Modulator pan", ParameterKindFloat, -1, 1, 0, CurveLinear, false, false},
        {ParamMode, "Mode", "Mode", ParameterKindEnum, 0, 7, 0, CurveLinear, false, true},
        {ParamRatio, "Ratio", "Ratio", ParameterKindFloat, 0, 1, 1, CurveLinear, false, true},
        {ParamLREncoding, "LREncoding", "LR encoding", ParameterKindBool, 0, 1, 0, CurveLinear, false, false},
        {ParamGroupEffects, "", "Effects", ParameterKindGroup, 0, 0, 0, CurveLinear, true, true},
        {ParamFormantShift, "FormantShift", "Formant shift", ParameterKindFloat, -12, 12, 0, CurveLinear, true, true},
        {ParamGateRatio, "GateRatio", "Gate ratio", ParameterKindFloat, 1, 20, 2, CurveQuadratic, true, true},
        {ParamAttack, "Attack", "Attack", ParameterKindFloat, 0, 1, 0.001, CurveFourthPower, true, true},
        {ParamRMSLength, "RMSLength", "RMS length", ParameterKindFloat, 0, 0.1, 0.001, CurveQuadratic, true, true},
        {ParamFreeze, "Freeze", "Freeze", ParameterKindBool, 0, 1, 0, CurveLinear, true, true},
        {ParamBandCount, "BandCount", "Bands", ParameterKindInteger, 4, 100, 32, CurveLinear, true, true},
        {ParamOrderMod, "OrderMod", "Mod order", ParameterKindInteger, 1, 10, 2, CurveLinear, true, true},
        {ParamResonanceMod, "ResonanceMod", "Mod resonance", ParameterKindFloat, 0, 1, 0, CurveLinear, true, true},
    };
    EXPECT_EQ(effect_.Table().parameterCount, 29);
    EXPECT_EQ(effect_.Table().specialCount, 12);
    EXPECT_EQ(effect_.Table().inputBusCount, 2);
    for (const Row& r : rows) {
        const ParameterDescriptor& d = P(r.index);
        SCOPED_TRACE(r.name);
        EXPECT_EQ(d.identifier, r.identifier);
        EXPECT_EQ(d.name, r.name);
        EXPECT_EQ(d.kind, r.kind);
        EXPECT_EQ(d.curve, r.curve);
        EXPECT_EQ(d.NeedsFullUpdate(), r.fullUpdate);
        EXPECT_EQ(d.IsRandomizable(), r.randomizable);
        EXPECT_TRUE(d.IsExposed());
        EXPECT_FALSE(d.IsInterpolated());
        if (r.kind == ParameterKindFloat) {
            EXPECT_EQ(d.floatValues.minimum, r.minimum);
            EXPECT_EQ(d.floatValues.maximum, r.maximum);
            EXPECT_EQ(d.floatValues.defaultValue, r.defaultValue);
            EXPECT_EQ(d.floatValues.value, r.defaultValue);
        } else if (r.kind == ParameterKindInteger) {
            EXPECT_EQ(d.integerValues.minimum, r.minimum);
            EXPECT_EQ(d.integerValues.maximum, r.maximum);
            EXPECT_EQ(d.integerValues.value, r.defaultValue);
        }
    }
    EXPECT_EQ(P(ParamMode).enumValues.itemCount, 8);
    EXPECT_STREQ(P(ParamMode).enumValues.itemNames[7], "Inversion (dual)");
    EXPECT_EQ(P(ParamSatCar).adapterFlags, 72u);
    EXPECT_EQ(P(ParamGroupDetector).attributes[2] & 1, 1);
    EXPECT_EQ(P(ParamRatio).triplet2[0], -5);
    EXPECT_EQ(P(ParamFreeze).helpText, "");
    EXPECT_EQ(P(ParamSwap).helpText,
              "<name>Swap carrier and modulator</name> exchanges the carrier and modulator signals. By default the "
              "carrier (usually synth) is the main input and modulator (usually voice) is the side-chain.");
}

TEST_F(VocoderParametersTest, DisplayTexts) {
    struct Case {
        int32_t index;
        double value;
        const char* text;
    } cases[] = {
        {ParamVolume, 1.0, "0.00 dB"},     {ParamVolume, 2.0, "12.0 dB"},
        {ParamVolumeCar, 0.0, "silence"},  {ParamGate, 0.0, "silence"},
        {ParamRMSLength, 0.0, "Peak"},     {ParamRMSLength, 0.001, "1.0 ms"},
        {ParamPanorama, -0.5, "50% left"}, {ParamFormantShift, 3.0, "+3.00 semitones"},
        {ParamGateRatio, 4.0, "4.0 : 1"},  {ParamWhitening, 0.25, "25.0%"},
        {ParamAttack, 0.001, "1.0 ms"},    {ParamRatio, 1.0, "1.000000"},
    };
    for (const Case& c : cases) {
        P(c.index).floatValues.value = c.value;
        EXPECT_EQ(PM::ValueName(P(c.index)), c.text) << P(c.index).name;
    }
    EXPECT_EQ(PM::ValueName(P(ParamMode)), "Vocoder");
    EXPECT_EQ(PM::ValueName(P(ParamBandCount)), "32");
    EXPECT_EQ(PM::ValueName(P(ParamSwap)), "Off");
}

TEST_F(VocoderParametersTest, TypedValuesParse) {
    P(ParamVolume).displayCallback(P(ParamVolume), "6");
    EXPECT_NEAR(P(ParamVolume).floatValues.value, std::sqrt(std::pow(10.0, 0.3)), 1e-12);
    EXPECT_NEAR(P(ParamVolume).floatValues.value, 1.4125, 1e-4);
    EXPECT_DOUBLE_EQ(PM::ParseValueName(P(ParamRMSLength), "10"), std::sqrt(0.01 / 0.1));
    EXPECT_DOUBLE_EQ(PM::ParseValueName(P(ParamMode), "Ring modulation"), 4.0 / 7.0);
}

TEST_F(VocoderParametersTest, IntegerParametersStayInRange) {
    for (double x : {-1.0, 0.0, 0.37, 1.0, 2.0, 1e12}) {
        PM::SetNormalized(P(ParamBandCount), x);
        PM::SetNormalized(P(ParamOrderCar), x);
        PM::SetNormalized(P(ParamOrderMod), x);
        EXPECT_GE(P(ParamBandCount).integerValues.value, 4);
        EXPECT_LE(P(ParamBandCount).integerValues.value, 100);
        EXPECT_GE(P(ParamOrderCar).integerValues.value, 1);
        EXPECT_LE(P(ParamOrderCar).integerValues.value, 10);
        EXPECT_GE(P(ParamOrderMod).integerValues.value, 1);
        EXPECT_LE(P(ParamOrderMod).integerValues.value, 10);
    }
}

TEST_F(VocoderParametersTest, RegisteredAsHostParameters) {
    sonvera_test::TestOwner owner;
    owner.registry.RegisterEffect(effect_, effect_.Table());
    owner.registry.Finish();
    // 26 plain parameters (the groups have no switch), then twelve graphs.
    const int32_t graphCount = MEnvelope::MaxPoints * 4;
    EXPECT_EQ(owner.registry.ParameterCount(), 26 + 12 * graphCount);
    EXPECT_EQ(owner.registry.GetParameterID(0), "Volume");
    EXPECT_EQ(owner.registry.GetParameterID(10), "Effects - Whitening");
    EXPECT_EQ(owner.registry.GetParameterID(21), "Filters - Bands");
    EXPECT_EQ(owner.registry.GetParameterID(26), "Graph Frequencies carrier - Point 1 X");
    EXPECT_EQ(owner.registry.GetParameterID(26 + 11 * graphCount), "Graph Gate ratio - Point 1 X");
    EXPECT_EQ(owner.registry.AdapterAt(26).flags, 61u);
    EXPECT_EQ(owner.registry.GetParameterValueName(0), "0.00 dB");

    MRandom::Seed(7);
    owner.registry.AdapterAt(0).Randomize(1.0);
    EXPECT_DOUBLE_EQ(P(ParamVolume).floatValues.value, 1.0) << "Volume is not randomizable";
    owner.registry.SetParameter(21, 1.0, false);
    EXPECT_EQ(P(ParamBandCount).integerValues.value, 100);
    EXPECT_TRUE(owner.updatePending);
}

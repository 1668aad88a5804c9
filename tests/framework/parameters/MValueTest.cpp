#include <gtest/gtest.h>

#include "framework/parameters/MValueTypes.h"

using namespace corvane;

TEST(MValue, NumberTravelClampAndChangedFlag) {
    double v = 0.0;
    MValueDouble value(v, -1.0, 1.0, 0.25, 0.1);
    EXPECT_TRUE(value.Set01(0.75));
    EXPECT_DOUBLE_EQ(v, 0.5);
    EXPECT_DOUBLE_EQ(value.Get01(), 0.75);
    value.changed = false;
    EXPECT_TRUE(value.SetText("7"));
    EXPECT_DOUBLE_EQ(v, 1.0) << "typed values are pulled into the range";
    EXPECT_TRUE(value.changed);
    EXPECT_TRUE(value.ResetToDefault());
    EXPECT_DOUBLE_EQ(v, 0.25);

    double flat = 3.0;
    MValueDouble empty(flat, 3.0, 3.0, 3.0);
    EXPECT_DOUBLE_EQ(empty.Get01(), 0.0) << "an empty range never divides by zero";
}

TEST(MValue, IncrementsAndAcceleration) {
    double v = 0.0;
    MValueDouble value(v, 0.0, 10.0, 0.0, 0.5);
    value.maximumIncrement = 1.5;
    int hooks = 0;
    value.changeHook = [&](MValue&) { ++hooks; };
    EXPECT_TRUE(value.Increment(2));
    EXPECT_DOUBLE_EQ(v, 1.0);
    EXPECT_TRUE(value.IncrementAccelerated(1, 3));  // 0.5 * 8, limited to 1.5
    EXPECT_DOUBLE_EQ(v, 2.5);
    EXPECT_EQ(hooks, 2);
    v = 10.0;
    EXPECT_FALSE(value.Increment(1)) << "already at the end";
}

TEST(MValue, FrequencyTravelIsLogarithmic) {
    double hz = 20.0;
    MValueFrequency frequency(hz, 20.0, 20000.0, 1000.0);
    frequency.Set01(0.5);
    EXPECT_NEAR(hz, 632.456, 0.001);
    EXPECT_NEAR(frequency.Get01(), 0.5, 1e-12);
    EXPECT_EQ(frequency.GetText(), "632 Hz");
    frequency.Increment(100);
    EXPECT_NEAR(frequency.Get01(), 0.6, 1e-12) << "travel steps of a thousandth";

    double fixed = 440.0;
    MValueFrequency flat(fixed, 440.0, 440.0, 440.0);
    EXPECT_DOUBLE_EQ(flat.Get01(), 1.0);
}

TEST(MValue, ScaledTravels) {
    double v = 0.0;
    MValueDouble inner(v, 0.0, 1.0, 0.0);
    MValueScaleSqr sqr(inner);
    sqr.Set01(0.5);
    EXPECT_DOUBLE_EQ(v, 0.25);
    EXPECT_DOUBLE_EQ(sqr.Get01(), 0.5);
    MValueScalePower power(inner);
    power.Set01(0.5);
    EXPECT_DOUBLE_EQ(v, 0.0625);
    EXPECT_DOUBLE_EQ(power.Get01(), 0.5);
    EXPECT_EQ(power.GetText(), inner.GetText());
}

TEST(MValue, StepsRoundHalfUpBeforeClamping) {
    double v = 0.0;
    MValueStepDouble step(v, 0.0, 1.0, 0.0, 0.25);
    v = 0.3;
    step.Clamp();
    EXPECT_DOUBLE_EQ(v, 0.25);
    v = 0.375;
    step.Clamp();
    EXPECT_DOUBLE_EQ(v, 0.5);
    v = 1.2;
    step.Clamp();
    EXPECT_DOUBLE_EQ(v, 1.0);

    MXMLItem attributes("value");
    attributes.SetAttribute("step", "0.1");
    step.LoadAttributes(attributes);
    EXPECT_DOUBLE_EQ(step.Step(), 0.1);
}

TEST(MValue, EnumerationTravelCountsItems) {
    int32_t index = 3;
    MValueEnum choice(index, {"A", "B", "C", "D", "E"}, 0);
    EXPECT_DOUBLE_EQ(choice.Get01(), 3.0);
    choice.Set01(2.6);
    EXPECT_EQ(index, 3);
    choice.Set01(1e300);
    EXPECT_EQ(index, 4) << "wild input stays on the last item";
    EXPECT_EQ(choice.GetText(), "E");
    choice.Increment(-9);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(choice.GetDiscreteCount(), 5);
    EXPECT_EQ(choice.GetTextList(), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
}

TEST(MValue, ListTravelSpansTheItems) {
    int32_t index = 0;
    MValueList list(index, {"Low", "Mid", "High"}, 1);
    list.Set01(1.0);
    EXPECT_EQ(index, 2);
    EXPECT_DOUBLE_EQ(list.Get01(), 1.0);
    list.Set01(0.24);
    EXPECT_EQ(index, 0);
    list.SetDiscrete(2);
    EXPECT_EQ(index, 2) << "a discrete position selects its own item";
    EXPECT_EQ(list.ToString(), "High");
    list.FromString("Mid");
    EXPECT_EQ(index, 1);
    list.FromString("0");
    EXPECT_EQ(index, 0) << "older texts hold the index";
}

TEST(MValue, UnitTextsAndPitchFormat) {
    double v = 1.0;
    MValueVolume volume(v, 0.0, 4.0, 1.0);
    EXPECT_EQ(volume.GetText(), "0.00 dB");
    MValuePan pan(v, -1.0, 1.0, 0.0);
    v = -0.5;
    EXPECT_EQ(pan.GetText(), "50% left");
    double semitones = 2.0;
    MValuePitch pitch(semitones, -24.0, 24.0, 0.0);
    EXPECT_EQ(pitch.GetText(), "+2.00");
    pitch.Increment(1);
    EXPECT_NEAR(semitones, 2.1, 1e-12);
    int32_t note = 60;
    MValueMIDINote midi(note, 0, 127, 60);
    EXPECT_EQ(midi.GetText(), "C5");
    double log = 3.0;
    MValueFrequencyLog logFrequency(log, 1.0, 4.0, 3.0);
    EXPECT_EQ(logFrequency.GetText(), "1000 Hz");
}

TEST(MValue, TextCallbackTakesOverTextEntry) {
    double v = 0.0;
    MValueDouble value(v, 0.0, 100.0, 0.0);
    value.textCallback = [&](MValue&, const std::string& input) -> std::string {
        if (input.empty()) return "custom";
        v = 200.0;
        return std::string();
    };
    EXPECT_EQ(value.GetDisplayText(), "custom");
    EXPECT_TRUE(value.SetText("anything"));
    EXPECT_DOUBLE_EQ(v, 100.0) << "the callback's value is clamped too";
}

TEST(MValue, StoreLoadAndAttributes) {
    double v = 1.0 / 3.0;
    MValueDouble value(v, 0.0, 10.0, 2.0);
    value.SetIdentifier("Amount");
    EXPECT_EQ(value.ToString(), "0.333333");
    MXMLItem node("settings");
    value.Store(node);
    EXPECT_EQ(node.GetAttribute("Amount"), "0.333333333333");
    v = 0.0;
    value.Load(node);
    EXPECT_NEAR(v, 1.0 / 3.0, 1e-12);
    MXMLItem empty("settings");
    value.Load(empty);
    EXPECT_DOUBLE_EQ(v, 2.0) << "a missing entry restores the default";

    int32_t count = 0;
    MValueInt integer(count, 0, 10, 0);
    MXMLItem attributes("value");
    attributes.SetAttribute("id", "Count");
    attributes.SetAttribute("min", "1");
    attributes.SetAttribute("max", "64");
    attributes.SetAttribute("value", "16");
    attributes.SetAttribute("inc", "4");
    attributes.SetAttribute("format", "{0} bands");
    integer.LoadAttributes(attributes);
    EXPECT_EQ(integer.Identifier(), "Count");
    EXPECT_EQ(count, 16);
    EXPECT_EQ(integer.defaultValue, 16) << "without \"default\", \"value\" sets the default too";
    EXPECT_EQ(integer.maximumIncrement, 4) << "the coarse step is at least the fine one";
    EXPECT_EQ(integer.GetText(), "16 bands");
    attributes.SetAttribute("default", "8");
    integer.LoadAttributes(attributes);
    EXPECT_EQ(integer.defaultValue, 8);
    EXPECT_EQ(count, 16);
}

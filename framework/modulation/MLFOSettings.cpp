#include "framework/modulation/MLFOSettings.h"

#include <cmath>

#include "framework/parameters/DisplayCallbacks.h"

namespace corvane {

namespace {

struct SettingRow {
    const char* name;
    const char* key;  // empty: a host parameter only, not stored by key
    ParameterKind kind;
    double minimum, maximum, defaultValue;
    DisplayCallback display;
    const char* format;
    ParameterCurve curve;
};

constexpr double Log20 = 1.3010299956639813, Log20000 = 4.301029995663981;
using namespace DisplayCallbacks;

const SettingRow rows[LFOSettingCount] = {
    {"Enabled", "Enabled", ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear},
    {"Frequency", "Frequency", ParameterKindFloat, 0.001, 1, 0.1, Frequency, "", CurveLinear},
    {"High-speed", "HiSpeed", ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear},
    {"Side-chain", "SideChain", ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear},
    {"Automated value", "", ParameterKindFloat, 0, 1, 0.5, Percent, "", CurveLinear},
    {"Follower - LFO modulation", "LFOModulation", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear},
    {"Follower - Level min", "LevelMin", ParameterKindFloat, -120, 0, -50, nullptr, "{+0.2} dB", CurveLinear},
    {"Follower - Level max", "LevelMax", ParameterKindFloat, -120, 0, 0, nullptr, "{+0.2} dB", CurveLinear},
    {"Follower - Attack", "Attack", ParameterKindFloat, 0, 1, 0.01, Time, "", CurveQuadratic},
    {"Follower - Release", "Release", ParameterKindFloat, 0, 1, 0.1, Time, "", CurveQuadratic},
    {"Follower - Hold", "Hold", ParameterKindFloat, 0, 1, 0, Time, "", CurveQuadratic},
    {"Follower - RMS length", "RMSLength", ParameterKindFloat, 0, 0.01, 0, Time, "", CurveQuadratic},
    {"Follower - Phase", "PhaseShift", ParameterKindFloat, 0, 1, 0.75, Degrees, "", CurveLinear},
    {"Follower - Interval size", "IntervalSize", ParameterKindFloat, 0, 2, 0.5, Degrees, "", CurveLinear},
    {"Follower - Threshold", "Threshold", ParameterKindFloat, 0, 1, 0.025, Gain, "", CurveLinear},
    {"Follower - Bandpass min", "BandPassMin", ParameterKindFloat, Log20, Log20000, Log20, LogFrequency, "",
     CurveLinear},
    {"Follower - Bandpass max", "BandPassMax", ParameterKindFloat, Log20, Log20000, Log20000, LogFrequency, "",
     CurveLinear},
    {"Follower - Bandpass Q", "BandPassQ", ParameterKindFloat, 0.05, 10, 0.7071067811865476, nullptr, "{0.2}",
     CurveFourthPower},
    {"Envelope - LFO modulation", "LFOModulation", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear},
    {"Envelope - Threshold on", "ThresholdOn", ParameterKindFloat, 0, 1, 0.17782794100389229, Gain, "", CurveQuadratic},
    {"Envelope - Threshold off", "ThresholdOff", ParameterKindFloat, 0, 1, 0.056234132519034911, Gain, "",
     CurveQuadratic},
    {"Envelope - RMS length", "RMSLength", ParameterKindFloat, 0, 0.1, 0.01, Time, "", CurveQuadratic},
    {"Envelope - Phase", "PhaseShift", ParameterKindFloat, 0, 1, 0.75, Degrees, "", CurveLinear},
    {"Envelope - Interval size", "IntervalSize", ParameterKindFloat, 0, 2, 0.5, Degrees, "", CurveLinear},
    {"Randomizer - LFO modulation", "LFOModulation", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear},
    {"Randomizer - Speed", "Speed", ParameterKindFloat, -10, 10, 0, Percent, "", CurveLinear},
    {"Randomizer - Smoothness", "Smoothness", ParameterKindFloat, 0, 1, 1, Percent, "", CurveLinear},
    {"Randomizer - Phase", "PhaseShift", ParameterKindFloat, 0, 1, 0.75, Degrees, "", CurveLinear},
    {"Randomizer - Interval size", "IntervalSize", ParameterKindFloat, 0, 2, 0.5, Degrees, "", CurveLinear},
    {"Pitch - LFO modulation", "LFOModulation", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear},
    {"Pitch - Shift octaves", "ShiftOctaves", ParameterKindInteger, -10, 10, 0, nullptr, "{+0}", CurveLinear},
    {"Pitch - Shift semitones", "ShiftSemitones", ParameterKindInteger, -24, 24, 0, nullptr, "{+0}", CurveLinear},
    {"Pitch - Shift cents", "ShiftCents", ParameterKindFloat, -100, 100, 0, nullptr, "{+0.1}", CurveLinear},
    {"Pitch - Min frequency", "MinFrequency", ParameterKindFloat, Log20, Log20000, Log20, LogFrequency, "",
     CurveLinear},
    {"Pitch - Max frequency", "MaxFrequency", ParameterKindFloat, Log20, Log20000, Log20000, LogFrequency, "",
     CurveLinear},
    {"Pitch - Min recognized frequency", "MinFrequencyRec", ParameterKindFloat, Log20, Log20000, 1.6989700043360187,
     LogFrequency, "", CurveLinear},
    {"Pitch - Max recognized frequency", "MaxFrequencyRec", ParameterKindFloat, Log20, Log20000, 3.3010299956639813,
     LogFrequency, "", CurveLinear},
    {"Pitch - Stabilization", "Stabilization", ParameterKindFloat, 0, 1, 0.01, Time, "", CurveLinear},
    {"Pitch - Speed", "Speed", ParameterKindFloat, 0, 1, 0.75, Percent, "", CurveLinear},
    {"Pitch - Threshold", "Threshold", ParameterKindFloat, 0, 1, 0.1, Gain, "", CurveLinear},
    {"Pitch - Detection accuracy", "Accuracy", ParameterKindFloat, 0, 1, 0.8, Percent, "", CurveLinear},
    {"Pitch - Auto-tune speed", "AutoTuneSpeed", ParameterKindFloat, 0, 1, 0.5, Percent, "", CurveLinear},
    {"Pitch - Auto-tune depth", "AutoTuneDepth", ParameterKindFloat, 0, 1, 0.5, Percent, "", CurveLinear},
};

}  // namespace

void DeclareLFOSettings(ParameterDescriptor (&settings)[LFOSettingCount]) {
    for (int32_t i = 0; i < LFOSettingCount; ++i) {
        const SettingRow& row = rows[i];
        ParameterDescriptor& d = settings[i];
        d = ParameterDescriptor();
        d.kind = row.kind;
        d.name = row.name;
        d.identifier = row.key;
        d.displayCallback = row.display;
        d.format = row.format;
        d.curve = row.curve;
        d.adapterFlags = AdapterFlags::FrameworkParameter;
        // Modulator settings move no filter bank of the effect.
        d.SetBit(0, ParameterBits::FullUpdate, false);
        if (row.kind == ParameterKindFloat) {
            d.floatValues = {row.minimum, row.maximum, row.defaultValue, row.defaultValue, row.defaultValue};
        } else if (row.kind == ParameterKindInteger) {
            const auto low = static_cast<int32_t>(row.minimum), high = static_cast<int32_t>(row.maximum);
            const auto value = static_cast<int32_t>(row.defaultValue);
            d.integerValues = {low, high, value, value, value};
        } else {
            d.boolValue = d.boolDefault = row.defaultValue != 0.0 ? 1 : 0;
        }
    }
}

}  // namespace corvane

#include "framework/modulation/MLFOSettings.h"

#include <cmath>

#include "framework/modulation/ModulatorLaws.h"
#include "framework/parameters/DisplayCallbacks.h"
#include "framework/parameters/ParameterRows.h"

namespace corvane {

namespace {

constexpr double Log20 = 1.3010299956639813, Log20000 = 4.301029995663981;
using namespace DisplayCallbacks;

const ParameterRow rows[LFOSettingCount] = {
    {"Enabled", "Enabled", "", ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear, false, true},
    {"Frequency", "Frequency", "", ParameterKindFloat, 0.001, 1, 0.1, Frequency, "", CurveLinear, false, true},
    {"HiSpeed", "High-speed", "", ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear, false, true},
    {"SideChain", "Side-chain", "", ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear, false, true},
    {"AutomatedValue", "Automated value", "", ParameterKindFloat, 0, 1, 0.5, Percent, "", CurveLinear, false, true},
    {"LFOModulation", "Follower - LFO modulation", "", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear, false,
     true},
    {"LevelMin", "Follower - Level min", "", ParameterKindFloat, -120, 0, -50, nullptr, "{+0.2} dB", CurveLinear, false,
     true},
    {"LevelMax", "Follower - Level max", "", ParameterKindFloat, -120, 0, 0, nullptr, "{+0.2} dB", CurveLinear, false,
     true},
    {"Attack", "Follower - Attack", "", ParameterKindFloat, 0, 1, 0.01, Time, "", CurveQuadratic, false, true},
    {"Release", "Follower - Release", "", ParameterKindFloat, 0, 1, 0.1, Time, "", CurveQuadratic, false, true},
    {"Hold", "Follower - Hold", "", ParameterKindFloat, 0, 1, 0, Time, "", CurveQuadratic, false, true},
    {"RMSLength", "Follower - RMS length", "", ParameterKindFloat, 0, 0.01, 0, Time, "", CurveQuadratic, false, true},
    {"PhaseShift", "Follower - Phase", "", ParameterKindFloat, 0, 1, 0.75, Degrees, "", CurveLinear, false, true},
    {"IntervalSize", "Follower - Interval size", "", ParameterKindFloat, 0, 2, 0.5, Degrees, "", CurveLinear, false,
     true},
    {"Threshold", "Follower - Threshold", "", ParameterKindFloat, 0, 1, 0.025, Gain, "", CurveLinear, false, true},
    {"BandPassMin", "Follower - Bandpass min", "", ParameterKindFloat, Log20, Log20000, Log20, LogFrequency, "",
     CurveLinear, false, true},
    {"BandPassMax", "Follower - Bandpass max", "", ParameterKindFloat, Log20, Log20000, Log20000, LogFrequency, "",
     CurveLinear, false, true},
    {"BandPassQ", "Follower - Bandpass Q", "", ParameterKindFloat, 0.05, 10, 0.7071067811865476, nullptr, "{0.2}",
     CurveFourthPower, false, true},
    {"LFOModulation", "Envelope - LFO modulation", "", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear, false,
     true},
    {"ThresholdOn", "Envelope - Threshold on", "", ParameterKindFloat, 0, 1, 0.17782794100389229, Gain, "",
     CurveQuadratic, false, true},
    {"ThresholdOff", "Envelope - Threshold off", "", ParameterKindFloat, 0, 1, 0.056234132519034911, Gain, "",
     CurveQuadratic, false, true},
    {"RMSLength", "Envelope - RMS length", "", ParameterKindFloat, 0, 0.1, 0.01, Time, "", CurveQuadratic, false, true},
    {"PhaseShift", "Envelope - Phase", "", ParameterKindFloat, 0, 1, 0.75, Degrees, "", CurveLinear, false, true},
    {"IntervalSize", "Envelope - Interval size", "", ParameterKindFloat, 0, 2, 0.5, Degrees, "", CurveLinear, false,
     true},
    {"LFOModulation", "Randomizer - LFO modulation", "", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear, false,
     true},
    {"Speed", "Randomizer - Speed", "", ParameterKindFloat, -10, 10, 0, Percent, "", CurveLinear, false, true},
    {"Smoothness", "Randomizer - Smoothness", "", ParameterKindFloat, 0, 1, 1, Percent, "", CurveLinear, false, true},
    {"PhaseShift", "Randomizer - Phase", "", ParameterKindFloat, 0, 1, 0.75, Degrees, "", CurveLinear, false, true},
    {"IntervalSize", "Randomizer - Interval size", "", ParameterKindFloat, 0, 2, 0.5, Degrees, "", CurveLinear, false,
     true},
    {"LFOModulation", "Pitch - LFO modulation", "", ParameterKindFloat, 0, 1, 0, Percent, "", CurveLinear, false, true},
    {"ShiftOctaves", "Pitch - Shift octaves", "", ParameterKindInteger, -10, 10, 0, nullptr, "{+0}", CurveLinear, false,
     true},
    {"ShiftSemitones", "Pitch - Shift semitones", "", ParameterKindInteger, -24, 24, 0, nullptr, "{+0}", CurveLinear,
     false, true},
    {"ShiftCents", "Pitch - Shift cents", "", ParameterKindFloat, -100, 100, 0, nullptr, "{+0.1}", CurveLinear, false,
     true},
    {"MinFrequency", "Pitch - Min frequency", "", ParameterKindFloat, Log20, Log20000, Log20, LogFrequency, "",
     CurveLinear, false, true},
    {"MaxFrequency", "Pitch - Max frequency", "", ParameterKindFloat, Log20, Log20000, Log20000, LogFrequency, "",
     CurveLinear, false, true},
    {"MinFrequencyRec", "Pitch - Min recognized frequency", "", ParameterKindFloat, Log20, Log20000, 1.6989700043360187,
     LogFrequency, "", CurveLinear, false, true},
    {"MaxFrequencyRec", "Pitch - Max recognized frequency", "", ParameterKindFloat, Log20, Log20000, 3.3010299956639813,
     LogFrequency, "", CurveLinear, false, true},
    {"Stabilization", "Pitch - Stabilization", "", ParameterKindFloat, 0, 1, 0.01, Time, "", CurveLinear, false, true},
    {"Speed", "Pitch - Speed", "", ParameterKindFloat, 0, 1, 0.75, Percent, "", CurveLinear, false, true},
    {"Threshold", "Pitch - Threshold", "", ParameterKindFloat, 0, 1, 0.1, Gain, "", CurveLinear, false, true},
    {"Accuracy", "Pitch - Detection accuracy", "", ParameterKindFloat, 0, 1, 0.8, Percent, "", CurveLinear, false,
     true},
    {"AutoTuneSpeed", "Pitch - Auto-tune speed", "", ParameterKindFloat, 0, 1, 0.5, Percent, "", CurveLinear, false,
     true},
    {"AutoTuneDepth", "Pitch - Auto-tune depth", "", ParameterKindFloat, 0, 1, 0.5, Percent, "", CurveLinear, false,
     true},
    {"synclength", "Length", "", ParameterKindEnum, 0, 14, 7, nullptr, "", CurveLinear, false, true},
    {"synctype", "Type", "", ParameterKindEnum, 0, 3, 0, nullptr, "", CurveLinear, false, true},
    {"syncphase", "Phase", "", ParameterKindFloat, 0, 1, 0, Degrees, "", CurveLinear, false, true},
};

}  // namespace

const char* const SyncLengthNames[15] = {"128/1", "64/1", "32/1", "16/1", "8/1",  "4/1",  "2/1",  "1/1",
                                         "1/2",   "1/4",  "1/8",  "1/16", "1/32", "1/64", "1/128"};

void DeclareLFOSettings(ParameterDescriptor (&settings)[LFOSettingCount]) {
    for (int32_t i = 0; i < LFOSettingCount; ++i) {
        if (i == LFOSyncLength)
            DeclareRow(rows[i], settings[i], SyncLengthNames, SyncLengthCount);
        else if (i == LFOSyncType)
            DeclareRow(rows[i], settings[i], SyncTypeNames, 4);
        else
            DeclareRow(rows[i], settings[i]);
        settings[i].adapterFlags = AdapterFlags::FrameworkParameter;
    }
}

}  // namespace corvane

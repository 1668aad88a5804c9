#pragma once
// The settings of one modulator as parameter descriptors: names, storage
// keys, ranges, defaults, display rules and curves.

#include <cstdint>

#include "framework/parameters/ParameterDescriptor.h"

namespace corvane {

enum LFOSetting : int32_t {
    LFOEnabled,
    LFOFrequency,
    LFOHiSpeed,
    LFOSideChain,
    LFOAutomatedValue,
    FollowerLFOModulation,
    FollowerLevelMin,
    FollowerLevelMax,
    FollowerAttack,
    FollowerRelease,
    FollowerHold,
    FollowerRMSLength,
    FollowerPhase,
    FollowerIntervalSize,
    FollowerThreshold,
    FollowerBandPassMin,
    FollowerBandPassMax,
    FollowerBandPassQ,
    EnvelopeLFOModulation,
    EnvelopeThresholdOn,
    EnvelopeThresholdOff,
    EnvelopeRMSLength,
    EnvelopePhase,
    EnvelopeIntervalSize,
    RandomLFOModulation,
    RandomSpeed,
    RandomSmoothness,
    RandomPhase,
    RandomIntervalSize,
    PitchLFOModulation,
    PitchShiftOctaves,
    PitchShiftSemitones,
    PitchShiftCents,
    PitchMinFrequency,
    PitchMaxFrequency,
    PitchMinRecognized,
    PitchMaxRecognized,
    PitchStabilization,
    PitchSpeed,
    PitchThreshold,
    PitchAccuracy,
    PitchAutoTuneSpeed,
    PitchAutoTuneDepth,
    LFOSyncLength,
    LFOSyncType,
    LFOSyncPhase,
    LFOSettingCount
};

// One cycle's length in notes, by sync length index: "128/1" .. "1/128".
extern const char* const SyncLengthNames[15];

// Fills the descriptors with their fixed declarations and default values.
void DeclareLFOSettings(ParameterDescriptor (&settings)[LFOSettingCount]);

}  // namespace corvane

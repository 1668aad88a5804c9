#pragma once
// The vocoder's parameter list and its band-graph descriptors.

#include <cstdint>

#include "framework/parameters/ParameterDescriptor.h"

namespace sonvera {

enum VocoderParameter : int32_t {
    ParamVolume,
    ParamPanorama,
    ParamVolumeCar,
    ParamPanoramaCar,
    ParamVolumeMod,
    ParamPanoramaMod,
    ParamMode,
    ParamRatio,
    ParamSwap,
    ParamLREncoding,
    ParamGroupEffects,
    ParamWhitening,
    ParamFormantShift,
    ParamGate,
    ParamGateRatio,
    ParamSatCar,
    ParamSatMod,
    ParamGroupDetector,
    ParamAttack,
    ParamRelease,
    ParamHold,
    ParamRMSLength,
    ParamFreeze,
    ParamGroupFilters,
    ParamBandCount,
    ParamOrderCar,
    ParamResonanceCar,
    ParamOrderMod,
    ParamResonanceMod,
    VocoderParameterCount
};

enum VocoderMode : int32_t {
    ModeVocoder,
    ModeVocoderDual,
    ModeMorph1,
    ModeMorph2,
    ModeRingModulation,
    ModeExciting,
    ModeInversion,
    ModeInversionDual,
    VocoderModeCount
};

enum BandGraph : int32_t {
    GraphBandDistributionCar,
    GraphBandDistributionMod,
    GraphResonanceCar,
    GraphResonanceMod,
    GraphAttack,
    GraphRelease,
    GraphHold,
    GraphRMSLength,
    GraphRatio,
    GraphWhitening,
    GraphGateThreshold,
    GraphGateRatio,
    BandGraphCount
};

extern const char* const VocoderModeNames[VocoderModeCount];
extern const char* const BandGraphNames[BandGraphCount];
extern const char* const BandGraphIdentifiers[BandGraphCount];

void DeclareVocoderParameters(corvane::ParameterDescriptor (&descriptors)[VocoderParameterCount]);

// "Peak" for the shortest lengths, else milliseconds.
std::string RMSTimeDisplay(corvane::ParameterDescriptor& descriptor, const std::string& input);

}  // namespace sonvera

#pragma once
// The vocoder's parameter list and its band-graph descriptors.

#include <cstdint>

#include "framework/modulation/MEnvelope.h"
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
// Declares the graphs to hosts and gives each its range and default shape.
void DeclareBandGraphs(corvane::SpecialParameterDescriptor (&specials)[BandGraphCount],
                       corvane::MEnvelopeGraph (&graphs)[BandGraphCount]);
// Where a band graph's points may lie; no state can push a band out of the
// audible range or a detector time towards infinity.
corvane::MEnvelope::Range BandGraphRange(int32_t graph);

// "Peak" for the shortest lengths, else milliseconds.
std::string RMSTimeDisplay(corvane::ParameterDescriptor& descriptor, const std::string& input);

}  // namespace sonvera

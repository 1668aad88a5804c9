#include "effect/vocoder/VocoderParameters.h"

#include <cmath>

#include "framework/parameters/DisplayCallbacks.h"
#include "framework/parameters/ParameterRows.h"

namespace sonvera {

using namespace corvane;

const char* const VocoderModeNames[VocoderModeCount] = {
    "Vocoder", "Vocoder (dual)", "Morph 1", "Morph 2", "Ring modulation", "Exciting", "Inversion", "Inversion (dual)"};

const char* const BandGraphNames[BandGraphCount] = {"Frequencies carrier",
                                                    "Frequencies modulator",
                                                    "Resonance carrier",
                                                    "Resonance modulator",
                                                    "Attack",
                                                    "Release",
                                                    "Hold",
                                                    "RMS length",
                                                    "Ratio",
                                                    "Whitening",
                                                    "Gate threshold",
                                                    "Gate ratio"};

const char* const BandGraphIdentifiers[BandGraphCount] = {"BandDistributionCar",
                                                          "BandDistributionMod",
                                                          "ResonanceCar",
                                                          "ResonanceMod",
                                                          "Attack",
                                                          "Release",
                                                          "Hold",
                                                          "RMSLength",
                                                          "Ratio",
                                                          "Whitening",
                                                          "GateThreshold",
                                                          "GateRatio"};

namespace {

// In index order; groups have no identifier.
const ParameterRow rows[VocoderParameterCount] = {
    {"Volume", "Volume", "<name>Volume</name> defines output volume of the processed signal.", ParameterKindFloat, 0.0,
     2.0, 1.0, DisplayCallbacks::SquareRootGain, "", CurveLinear, false, false},
    {"Panorama", "Panorama", "<name>Panorama</name> defines output panorama of the processed signal.",
     ParameterKindFloat, -1.0, 1.0, 0.0, DisplayCallbacks::Pan, "", CurveLinear, false, false},
    {"VolumeCar", "Carrier volume",
     "<name>Carrier volume</name> defines output volume of the carrier signal (main input by default).",
     ParameterKindFloat, 0.0, 1.0, 0.0, DisplayCallbacks::SquareRootGain, "", CurveLinear, false, false},
    {"PanoramaCar", "Carrier pan",
     "<name>Carrier pan</name> defines output panorama of the carrier signal (main input by default).",
     ParameterKindFloat, -1.0, 1.0, 0.0, DisplayCallbacks::Pan, "", CurveLinear, false, false},
    {"VolumeMod", "Modulator volume",
     "<name>Modulator volume</name> defines output volume of the modulator signal (side-chain input by default).",
     ParameterKindFloat, 0.0, 1.0, 0.0, DisplayCallbacks::SquareRootGain, "", CurveLinear, false, false},
    {"PanoramaMod", "Modulator pan",
     "<name>Modulator pan</name> defines output panorama of the modulator signal (side-chain input by default).",
     ParameterKindFloat, -1.0, 1.0, 0.0, DisplayCallbacks::Pan, "", CurveLinear, false, false},
    {"Mode", "Mode",
     "<name>Mode</name> controls the actual operation performed on each band.<p><value>Vocoder</value> mode performs "
     "the typical vocoder processing - carrier signal is multiplied by envelope of the modulator. Ratio controls the "
     "amount of processed signal.<p><value>Dual vocoder</value> mode is similar to Vocoder mode, however Ratio "
     "controls amount of reverse-processed signal - modulator multiplied by envelope of the carrier.<p><value>Morph 1 "
     "and Morph 2</value> modes somehow morph between the carrier and modulator signals. Basic idea is to take the "
     "dominant signals from both of them. Ratio controls which one, carrier or modulator is preferred.<p><value>Ring "
     "modulation</value> mode performs per-band ring modulation, which can often result in highly inharmonic sound and "
     "can be used to special effects. Ratio controls the amount of processed signal.<p><value>Exciting</value> mode "
     "amplifies bands dominant in both carrier and modulator signals. Ratio controls the amount of processed "
     "signal.<p><value>Inversion and Dual inversion</value> modes are similar to Vocoder and Dual vocoder modes, but "
     "the envelopes are inverted, so instead of keeping frequencies in carrier which are dominant in modulator and "
     "keeps frequencies, which are not dominant in modulator.",
     ParameterKindEnum, 0, 7, 0, nullptr, "", CurveLinear, false, true},
    {"Ratio", "Ratio",
     "<name>Ratio</name> is an additional parameter for the operation performed on each band and its meaning depends "
     "on the <reference>Mode</reference> parameter.",
     ParameterKindFloat, 0.0, 1.0, 1.0, nullptr, "", CurveLinear, false, true},
    {"Swap", "Swap carrier and modulator",
     "<name>Swap carrier and modulator</name> exchanges the carrier and modulator signals. By default the carrier "
     "(usually synth) is the main input and modulator (usually voice) is the side-chain.",
     ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear, false, false},
    {"LREncoding", "LR encoding",
     "<name>LR encoding</name> exchanges the standard side-chain input for input stereo - left channel becomes "
     "carrier, right channel modulator.",
     ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear, false, false},
    {"", "Effects", "<name>Effects panel</name> contains parameters of some effects performed by the vocoder.",
     ParameterKindGroup, 0, 0, 0, nullptr, "", CurveLinear, true, true},
    {"Whitening", "Whitening",
     "<name>Whitening</name> controls the amount of special effect applied on the carrier signal, which basically "
     "amplifies missing frequencies according to detector results, hence resulting in a richer sound.",
     ParameterKindFloat, 0.0, 1.0, 0.0, DisplayCallbacks::Percent, "", CurveLinear, true, true},
    {"FormantShift", "Formant shift",
     "<name>Formant shift</name> lets you manually alter the formant information, which generally results in no pitch "
     "shifting, but creating the mickey-mouse effect for example.",
     ParameterKindFloat, -12.0, 12.0, 0.0, nullptr, "{+0.02} semitones", CurveLinear, true, true},
    {"Gate", "Gate threshold", "<name>Gate threshold</name> controls the per-band noise gate threshold.",
     ParameterKindFloat, 0.0, 2.0, 0.0, DisplayCallbacks::SquareRootGain, "", CurveLinear, true, true},
    {"GateRatio", "Gate ratio",
     "<name>Gate ratio</name> controls the per-band noise gate ratio. The higher it is, the steeper and rougher the "
     "gate is.",
     ParameterKindFloat, 1.0, 20.0, 2.0, nullptr, "{0.1} : 1", CurveQuadratic, true, true},
    {"SatCar", "Saturation car",
     "<name>Saturation car</name> controls amount of saturation performed on the carrier signal. Saturation adds "
     "higher harmonics making the spectrum richer, which could be advantageous for vocoding.",
     ParameterKindFloat, 0.0, 1.0, 0.0, DisplayCallbacks::Percent, "", CurveLinear, true, true},
    {"SatMod", "Saturation mod",
     "<name>Saturation mod</name> controls amount of saturation performed on the modulator signal. Saturation adds "
     "higher harmonics making the spectrum richer, which could be advantageous for vocoding.",
     ParameterKindFloat, 0.0, 1.0, 0.0, DisplayCallbacks::Percent, "", CurveLinear, true, true},
    {"", "Detector", "<name>Detector panel</name> contains envelope detector parameters.", ParameterKindGroup, 0, 0, 0,
     nullptr, "", CurveLinear, true, true},
    {"Attack", "Attack", "<name>Attack</name> defines how quickly can the processor increase the measured input level.",
     ParameterKindFloat, 0.0, 1.0, 0.001, DisplayCallbacks::Time, "", CurveFourthPower, true, true},
    {"Release", "Release",
     "<name>Release</name> defines how quickly can the processor decrease the measured input level.",
     ParameterKindFloat, 0.0, 1.0, 0.01, DisplayCallbacks::Time, "", CurveFourthPower, true, true},
    {"Hold", "Hold", "<name>Hold</name> defines how long the processor keeps the measured input level at its maximum.",
     ParameterKindFloat, 0.0, 1.0, 0.001, DisplayCallbacks::Time, "", CurveFourthPower, true, true},
    {"RMSLength", "RMS length",
     "<name>RMS length</name> defines length of the RMS. Higher value provides smoother results, but slower response "
     "to transients.",
     ParameterKindFloat, 0.0, 0.1, 0.001, RMSTimeDisplay, "", CurveQuadratic, true, true},
    {"Freeze", "Freeze", "", ParameterKindBool, 0, 1, 0, nullptr, "", CurveLinear, true, true},
    {"", "Filters",
     "<name>Filters panel</name> contains advanced parameters regarding the filters being used by the vocoder.",
     ParameterKindGroup, 0, 0, 0, nullptr, "", CurveLinear, true, true},
    {"BandCount", "Bands",
     "<name>Bands</name> controls number of the bands used by the vocoder. More bands usually provide higher clarity "
     "and higher CPU usage.",
     ParameterKindInteger, 4, 100, 32, nullptr, "", CurveLinear, true, true},
    {"OrderCar", "Car order",
     "<name>Car order</name> controls the filter order applied on the carrier signal. Higher order provides higher "
     "clarity and higher CPU usage.",
     ParameterKindInteger, 1, 10, 3, nullptr, "", CurveLinear, true, true},
    {"ResonanceCar", "Car resonance",
     "<name>Car resonance</name> controls the filter resonance applied on the carrier signal. Low resonance results in "
     "a fuller sound, while higher resonance ends in a thinner sound.",
     ParameterKindFloat, 0.0, 1.0, 0.0, DisplayCallbacks::Percent, "", CurveLinear, true, true},
    {"OrderMod", "Mod order",
     "<name>Mod order</name> controls the filter order applied on the modulator signal. Higher order provides higher "
     "clarity and higher CPU usage.",
     ParameterKindInteger, 1, 10, 2, nullptr, "", CurveLinear, true, true},
    {"ResonanceMod", "Mod resonance",
     "<name>Mod resonance</name> controls the filter resonance applied on the modulator signal. Low resonance results "
     "in a fuller sound, while higher resonance ends in a thinner sound.",
     ParameterKindFloat, 0.0, 1.0, 0.0, DisplayCallbacks::Percent, "", CurveLinear, true, true},
};

void SetTriplet(int32_t (&triplet)[3], int32_t a, int32_t b, int32_t c) {
    triplet[0] = a;
    triplet[1] = b;
    triplet[2] = c;
}

}  // namespace

void DeclareVocoderParameters(ParameterDescriptor (&d)[VocoderParameterCount]) {
    for (int32_t i = 0; i < VocoderParameterCount; ++i) DeclareRow(rows[i], d[i], VocoderModeNames, VocoderModeCount);

    // Further attribute values, carried for the framework.
    d[ParamSatCar].adapterFlags = AdapterFlags::Saturation;
    d[ParamSatMod].adapterFlags = AdapterFlags::Saturation;
    d[ParamBandCount].SetBit(0, ParameterBits::VocoderMarkA, true);
    d[ParamFreeze].SetBit(0, ParameterBits::VocoderMarkB, true);
    d[ParamGroupDetector].SetBit(0, ParameterBits::DetectorMark0, true);
    d[ParamGroupDetector].SetBit(1, ParameterBits::DetectorMark0, true);
    d[ParamGroupDetector].SetBit(2, ParameterBits::DetectorMark2, true);
    SetTriplet(d[ParamVolume].triplet1, 3, 3, 3);
    SetTriplet(d[ParamVolumeCar].triplet1, 2, 4, 4);
    SetTriplet(d[ParamMode].triplet1, 3, 3, 3);
    SetTriplet(d[ParamRatio].triplet2, -5, -5, -5);
    SetTriplet(d[ParamSwap].triplet1, 0, 2, 0);
    SetTriplet(d[ParamWhitening].triplet1, 2, 2, 2);
    SetTriplet(d[ParamAttack].triplet1, 2, 2, 2);
    SetTriplet(d[ParamBandCount].triplet1, 0, 5, 5);
    SetTriplet(d[ParamOrderCar].triplet1, 4, 4, 4);
    for (int32_t group : {ParamGroupEffects, ParamGroupDetector, ParamGroupFilters})
        SetTriplet(d[group].triplet1, 1, 2, 2);
}

std::string RMSTimeDisplay(ParameterDescriptor& descriptor, const std::string& input) {
    if (input.empty() && LoadRelaxed(descriptor.floatValues.value) <= 1e-5) return "Peak";
    return DisplayCallbacks::Time(descriptor, input);
}

}  // namespace sonvera

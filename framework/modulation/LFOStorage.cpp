// A modulator's stored form: its own attributes, one "Parameter" element
// per target, then one element per mode's settings, the signal generator
// and the synchronisation. Loading starts from a new modulator's state, so
// whatever an element leaves out takes its default.

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/MLock.h"
#include "framework/modulation/MLFO.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

namespace {

const char* const EnvelopeSourceNames[2] = {"MIDI", "Audio"};

// A setting under its own key; `storedDefault` is what the stored form
// leaves out (it is not always the setting's own default). Loaded values
// are limited to the setting's range; a save writes nothing (the audio
// thread reads these meanwhile).
void StoreSetting(MStoreContext& context, ParameterDescriptor& d, double storedDefault) {
    switch (d.kind) {
        case ParameterKindFloat: {
            double value = LoadRelaxed(d.floatValues.value);
            context.Real(d.identifier, value, StorePolicy::DefaultElided, storedDefault);
            if (context.storing) return;
            if (!std::isfinite(value)) value = d.floatValues.defaultValue;
            value = std::min(std::max(value, d.floatValues.minimum), d.floatValues.maximum);
            d.floatValues.value = d.floatValues.target = d.committedValue = value;
            return;
        }
        case ParameterKindInteger: {
            int32_t value = LoadRelaxed(d.integerValues.value);
            context.Integer(d.identifier, value, StorePolicy::DefaultElided, static_cast<int32_t>(storedDefault));
            if (context.storing) return;
            value = std::min(std::max(value, d.integerValues.minimum), d.integerValues.maximum);
            d.integerValues.value = d.integerValues.target = value;
            return;
        }
        case ParameterKindBool: {
            bool value = LoadRelaxed(d.boolValue) != 0;
            context.Boolean(d.identifier, value, StorePolicy::DefaultElided, storedDefault != 0.0);
            if (!context.storing) d.boolValue = value ? 1 : 0;
            return;
        }
        case ParameterKindEnum: {
            int32_t value = LoadRelaxed(d.enumValues.valueIndex);
            context.Integer(d.identifier, value, StorePolicy::DefaultElided, static_cast<int32_t>(storedDefault));
            if (!context.storing) d.enumValues.valueIndex = std::min(std::max(value, 0), d.enumValues.itemCount - 1);
            return;
        }
        default:
            return;
    }
}

double DefaultOf(const ParameterDescriptor& d) {
    switch (d.kind) {
        case ParameterKindFloat:
            return d.floatValues.defaultValue;
        case ParameterKindInteger:
            return d.integerValues.defaultValue;
        case ParameterKindBool:
            return d.boolDefault;
        case ParameterKindEnum:
            return d.enumValues.defaultIndex;
        default:
            return 0.0;
    }
}

void StoreSetting(MStoreContext& context, ParameterDescriptor& d) { StoreSetting(context, d, DefaultOf(d)); }

// Exactly the declared default: a trip through the normalised value could round it.
void ResetSetting(ParameterDescriptor& d) {
    d.floatValues.value = d.floatValues.target = d.committedValue = d.floatValues.defaultValue;
    d.integerValues.value = d.integerValues.target = d.integerValues.defaultValue;
    d.enumValues.valueIndex = d.enumValues.defaultIndex;
    d.boolValue = d.boolDefault;
}

}  // namespace

void MLFO::StoreModeSettings(MStoreContext& context) {
    context.InChild("Envelope", [&](MStoreContext& c) {
        bool selected = mode == LFOModeFollower;
        c.Boolean("Enabled", selected, StorePolicy::DefaultElided, false);  // the mode decides on load
        StoreSetting(c, settings_[FollowerLFOModulation]);
        StoreSetting(c, settings_[FollowerAttack]);
        StoreSetting(c, settings_[FollowerRelease]);
        StoreSetting(c, settings_[FollowerHold]);
        StoreSetting(c, settings_[FollowerRMSLength], 0.01);
        c.Boolean("Project", projectFollower, StorePolicy::DefaultElided, true);
        StoreSetting(c, settings_[FollowerPhase]);
        StoreSetting(c, settings_[FollowerIntervalSize]);
        c.Boolean("Maximize", maximize, StorePolicy::DefaultElided, false);
        if (!context.storing) followerMode = 0;
        c.Enumeration("FollowerMode", followerMode, FollowerModeNames, 4);
        for (int32_t s : {FollowerLevelMin, FollowerLevelMax, FollowerThreshold, FollowerBandPassMin,
                          FollowerBandPassMax, FollowerBandPassQ})
            StoreSetting(c, settings_[s]);
        c.InChild("Advanced", [&](MStoreContext& advanced) {
            advanced.InChild("CustomAttackShape", [&](MStoreContext& e) { customAttackShape.Store(e); });
            advanced.InChild("CustomReleaseShape", [&](MStoreContext& e) { customReleaseShape.Store(e); });
        });
    });
    context.InChild("MIDIEnvelope", [&](MStoreContext& c) { envelope.Store(c); });
    context.InChild("AudioEnvelope", [&](MStoreContext& c) {
        c.Enumeration("Source", envelopeSource, EnvelopeSourceNames, 2);
        StoreSetting(c, settings_[EnvelopeLFOModulation]);
        c.IntegerWithLoadDefault("Threshold", audioEnvelopeThreshold, 1);
        StoreSetting(c, settings_[EnvelopeThresholdOn]);
        StoreSetting(c, settings_[EnvelopeThresholdOff]);
        StoreSetting(c, settings_[EnvelopeRMSLength]);
        c.Boolean("Project", projectEnvelope, StorePolicy::DefaultElided, true);
        StoreSetting(c, settings_[EnvelopePhase]);
        StoreSetting(c, settings_[EnvelopeIntervalSize]);
    });
    context.InChild("Random", [&](MStoreContext& c) {
        for (int32_t s : {RandomLFOModulation, RandomSpeed, RandomSmoothness}) StoreSetting(c, settings_[s]);
        c.Boolean("Project", projectRandom, StorePolicy::DefaultElided, true);
        StoreSetting(c, settings_[RandomPhase]);
        StoreSetting(c, settings_[RandomIntervalSize]);
    });
    context.InChild("Pitch", [&](MStoreContext& c) {
        for (int32_t s : {PitchLFOModulation, PitchShiftOctaves, PitchShiftSemitones, PitchShiftCents,
                          PitchMinFrequency, PitchMaxFrequency, PitchMinRecognized, PitchMaxRecognized})
            StoreSetting(c, settings_[s]);
        StoreSetting(c, settings_[PitchStabilization], 0.0);
        StoreSetting(c, settings_[PitchSpeed], 1.0);
        StoreSetting(c, settings_[PitchThreshold], 0.0);
        StoreSetting(c, settings_[PitchAccuracy]);
        c.Boolean("AutoTuneEnable", autoTune, StorePolicy::DefaultElided, false);
        StoreSetting(c, settings_[PitchAutoTuneSpeed]);
        StoreSetting(c, settings_[PitchAutoTuneDepth]);
    });
    context.InChild("Signal", [&](MStoreContext& c) { shape.Store(c); });
    context.InChild("Sync", [&](MStoreContext& c) {
        c.Boolean("Enabled", syncEnabled, StorePolicy::DefaultElided, false);
        StoreSetting(c, settings_[LFOSyncLength]);
        int32_t type = static_cast<int32_t>(Value(LFOSyncType));
        c.Enumeration("synctype", type, SyncTypeNames, 4);
        if (!c.storing) settings_[LFOSyncType].enumValues.valueIndex = std::min(std::max(type, 0), 3);
        StoreSetting(c, settings_[LFOSyncPhase]);
    });
}

void MLFO::Store(MStoreContext& context, ParameterNames& names) {
    if (context.storing) {
        context.item.Clear();  // children keep the documented order
    } else {
        ResetToDefaults();  // what the element leaves out takes its default
    }
    StoreSetting(context, settings_[LFOEnabled]);
    StoreSetting(context, settings_[LFOFrequency]);
    StoreSetting(context, settings_[LFOHiSpeed]);
    context.Boolean("RestoreWhenDisabled", restoreWhenDisabled, StorePolicy::DefaultElided, false);
    context.Integer("PhaseSyncGroup", phaseSyncGroup, StorePolicy::DefaultElided, 0);
    if (!context.storing) phaseSyncGroup = std::min(std::max(phaseSyncGroup, 0), MaxPhaseSyncGroups);
    context.Enumeration("Mode", mode, LFOModeNames, 5);
    StoreSetting(context, settings_[LFOSideChain]);
    context.Boolean("AutomationR", automationRead, StorePolicy::DefaultElided, false);
    context.Boolean("AutomationW", automationWrite, StorePolicy::DefaultElided, false);
    // What automation read plays back; hosts that restore no automation still get it.
    StoreSetting(context, settings_[LFOAutomatedValue]);
    context.Integer("CurrentPresetIndex", currentPresetIndex, StorePolicy::AlwaysWritten);
    targets_.Store(context, names);
    context.InChild("MIDIReset",
                    [&](MStoreContext& c) { c.Boolean("Enabled", midiReset, StorePolicy::DefaultElided, false); });
    StoreModeSettings(context);
}

void MLFO::ResetToDefaults() {
    for (ParameterDescriptor& d : settings_) ResetSetting(d);
    mode = LFOModeNormal;
    followerMode = FollowerLogarithmic;
    envelopeSource = EnvelopeFromMIDI;
    restoreWhenDisabled = automationRead = automationWrite = midiReset = false;
    maximize = autoTune = syncEnabled = false;
    projectFollower = projectEnvelope = projectRandom = true;
    phaseSyncGroup = 0;
    audioEnvelopeThreshold = 1;
    currentPresetIndex = 0;
    phase = 0.0;
    shape.Change([](MSignalGenerator::Settings& s) { s = MSignalGenerator::Settings(); });
    for (int32_t s = 0; s < MADSR::SettingCount; ++s) envelope.Set(s, MADSR::DefaultValue(s));
    customAttackShape.ResetToDefault();
    customReleaseShape.ResetToDefault();
    targets_.Reset();
}

}  // namespace corvane

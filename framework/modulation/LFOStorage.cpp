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
            double value = d.floatValues.value;
            context.Real(d.identifier, value, StorePolicy::DefaultElided, storedDefault);
            if (context.storing) return;
            if (!std::isfinite(value)) value = d.floatValues.defaultValue;
            value = std::min(std::max(value, d.floatValues.minimum), d.floatValues.maximum);
            d.floatValues.value = d.floatValues.target = d.committedValue = value;
            return;
        }
        case ParameterKindInteger: {
            int32_t value = d.integerValues.value;
            context.Integer(d.identifier, value, StorePolicy::DefaultElided, static_cast<int32_t>(storedDefault));
            if (context.storing) return;
            value = std::min(std::max(value, d.integerValues.minimum), d.integerValues.maximum);
            d.integerValues.value = d.integerValues.target = value;
            return;
        }
        case ParameterKindBool: {
            bool value = d.boolValue != 0;
            context.Boolean(d.identifier, value, StorePolicy::DefaultElided, storedDefault != 0.0);
            if (!context.storing) d.boolValue = value ? 1 : 0;
            return;
        }
        case ParameterKindEnum: {
            int32_t value = d.enumValues.valueIndex;
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

// The child element, or on load null when it is missing.
template <class Body>
void InChild(MStoreContext& context, const char* name, Body&& body) {
    if (MXMLItem* element = context.Child(name)) {
        MStoreContext child(context.storing, *element);
        body(child);
    }
}

double Unit(double x) { return std::isfinite(x) ? std::min(std::max(x, 0.0), 1.0) : 0.5; }

}  // namespace

void MLFO::StoreTargets(MStoreContext& context, ParameterNames& names) {
    if (context.storing) {
        MLock hold(targetLock_);
        for (const std::unique_ptr<Target>& entry : targets_) {
            Target& t = *entry;
            MStoreContext c(true, context.item.AddSubItem("Parameter"));
            c.Boolean("ParameterEnabled", t.enabled, StorePolicy::DefaultElided, true);
            std::string name = t.index >= 0 ? names.NameOf(t.index) : std::string();
            c.Text("ParameterName", name);
            c.Real("Value", t.range.value, StorePolicy::DefaultElided, 0.5);
            c.Real("MaxValue", t.range.maxValue, StorePolicy::DefaultElided, 1.0);
            c.Real("Range", t.range.range, StorePolicy::DefaultElided, 1.0);
            c.Integer("FullRange", t.range.mode, StorePolicy::AlwaysWritten);
            c.Boolean("Invert", t.invert, StorePolicy::DefaultElided, false);
            c.Boolean("UseFirstRange", t.useFirstRange, StorePolicy::DefaultElided, false);
            c.Boolean("ShapeEnabled", t.shapeEnabled, StorePolicy::DefaultElided, false);
            MStoreContext shapeContext(true, c.item.AddSubItem("Shape"));
            t.shape.Store(shapeContext);
            c.Real("ValueBackup", t.backup, StorePolicy::DefaultElided, -1.0);
        }
        return;
    }
    std::vector<std::unique_ptr<Target>> loaded;
    int32_t unknown = 0;
    std::string firstUnknown;
    MXMLItem::Iterator children;
    children.Init(context.item, "Parameter");
    while (MXMLItem* element = children.Next()) {
        if (loaded.size() == static_cast<size_t>(MaxTargets)) {
            DiagnosticLog::Write("A modulator keeps at most " + std::to_string(MaxTargets) +
                                 " targets; the state's further targets were left out.");
            break;
        }
        auto t = std::make_unique<Target>();
        MStoreContext c(false, *element);
        c.Boolean("ParameterEnabled", t->enabled, StorePolicy::DefaultElided, true);
        std::string name;
        c.Text("ParameterName", name);
        t->index = name.empty() ? -1 : names.IndexOf(name);
        if (!name.empty() && t->index < 0 && unknown++ == 0) firstUnknown = name;
        c.Real("Value", t->range.value, StorePolicy::DefaultElided, 0.5);
        c.Real("MaxValue", t->range.maxValue, StorePolicy::DefaultElided, 1.0);
        c.Real("Range", t->range.range, StorePolicy::DefaultElided, 1.0);
        t->range.value = Unit(t->range.value);
        t->range.maxValue = Unit(t->range.maxValue);
        t->range.range = Unit(t->range.range);
        c.Integer("FullRange", t->range.mode, StorePolicy::AlwaysWritten);
        c.Boolean("Invert", t->invert, StorePolicy::DefaultElided, false);
        c.Boolean("UseFirstRange", t->useFirstRange, StorePolicy::DefaultElided, false);
        c.Boolean("ShapeEnabled", t->shapeEnabled, StorePolicy::DefaultElided, false);
        InChild(c, "Shape", [&](MStoreContext& shapeContext) { t->shape.Store(shapeContext); });
        c.Real("ValueBackup", t->backup, StorePolicy::DefaultElided, -1.0);
        if (!std::isfinite(t->backup)) t->backup = -1.0;
        loaded.push_back(std::move(t));
    }
    if (unknown > 0)
        DiagnosticLog::Write("Modulator targets name no parameter of this plug-in (" + std::to_string(unknown) +
                             ", the first \"" + firstUnknown + "\"); they stay unassigned.");
    if (loaded.empty()) return;  // the single default target stays
    MLock hold(targetLock_);
    targets_.swap(loaded);
}

void MLFO::StoreModeSettings(MStoreContext& context) {
    InChild(context, "Envelope", [&](MStoreContext& c) {
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
        InChild(c, "Advanced", [&](MStoreContext& advanced) {
            InChild(advanced, "CustomAttackShape", [&](MStoreContext& e) { customAttackShape.Store(e); });
            InChild(advanced, "CustomReleaseShape", [&](MStoreContext& e) { customReleaseShape.Store(e); });
        });
    });
    InChild(context, "MIDIEnvelope", [&](MStoreContext& c) { envelope.Store(c); });
    InChild(context, "AudioEnvelope", [&](MStoreContext& c) {
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
    InChild(context, "Random", [&](MStoreContext& c) {
        for (int32_t s : {RandomLFOModulation, RandomSpeed, RandomSmoothness}) StoreSetting(c, settings_[s]);
        c.Boolean("Project", projectRandom, StorePolicy::DefaultElided, true);
        StoreSetting(c, settings_[RandomPhase]);
        StoreSetting(c, settings_[RandomIntervalSize]);
    });
    InChild(context, "Pitch", [&](MStoreContext& c) {
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
    InChild(context, "Signal", [&](MStoreContext& c) { shape.Store(c); });
    InChild(context, "Sync", [&](MStoreContext& c) {
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
    StoreTargets(context, names);
    InChild(context, "MIDIReset",
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
    std::vector<std::unique_ptr<Target>> fresh;
    fresh.push_back(std::make_unique<Target>());
    MLock hold(targetLock_);
    targets_.swap(fresh);
}

}  // namespace corvane

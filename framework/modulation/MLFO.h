#pragma once
// One modulator: per processing sub-block it computes one control value s
// in -1 .. 1 (an oscillator, a level follower, an envelope, a random walk
// or the detected pitch) and writes it through each target's range mapping
// into plug-in parameters.
// [audio-thread] Process, NoteOn/NoteOff; everything else on the
// user-interface thread.

#include <cstdint>
#include <string>

#include "dsp/MAudioFilters.h"
#include "framework/modulation/MADSR.h"
#include "framework/modulation/MEnvelope.h"
#include "framework/modulation/MLFOSettings.h"
#include "framework/modulation/MPitchDetectorFFT.h"
#include "framework/modulation/MSignalGenerator.h"
#include "framework/modulation/ModulatorLaws.h"
#include "framework/modulation/TargetList.h"
#include "platform/MMutex.h"

namespace corvane {

class MParameterRegistry;
class MStoreContext;

enum LFOMode : int32_t { LFOModeNormal, LFOModeFollower, LFOModeEnvelope, LFOModeRandom, LFOModePitch };
extern const char* const LFOModeNames[5];
enum MLFOEnvelopeMode : int32_t { EnvelopeFromMIDI, EnvelopeFromAudio };

// What a modulator reads of the block it runs in.
struct ModulatorBlock {
    double sampleRate = 48000.0;
    double tempo = -1.0;         // beats per minute; below 0 when the host gives none
    double songPosition = -1.0;  // quarter notes; below 0 when the host gives none
    float** inputs = nullptr;    // main channels from 0, side-chain from 8
    int32_t channels = 0;
    int32_t samples = 0;
};

// The shared state of a phase sync group: members run at the increment of
// the last one whose own increment changed (the leader) and at the phase
// of the first member processed in the block.
struct PhaseSyncGroup {
    double increment = 0.0, phase = 0.0;
    int32_t processed = 0;  // members processed in the current block
    bool led = false;       // a member took the lead in the current block
    void StartBlock() { processed = 0, led = false; }
};

class MLFO {
public:
    static constexpr int32_t MaxPhaseSyncGroups = 4;
    static constexpr int32_t MaxTargets = TargetList::MaxTargets;
    static constexpr const char* LastTargetMessage = "There must be at least one parameter for each modulator.";
    using Target = ModulationTarget;
    using ParameterNames = TargetList::ParameterNames;

    MLFO();

    ParameterDescriptor& Setting(int32_t setting) { return settings_[setting]; }
    double Value(int32_t setting) const;
    bool Flag(int32_t setting) const;
    bool Enabled() const { return Flag(LFOEnabled); }

    int32_t mode = LFOModeNormal;
    int32_t followerMode = FollowerLogarithmic;
    int32_t envelopeSource = EnvelopeFromMIDI;
    bool restoreWhenDisabled = false, automationRead = false, automationWrite = false, midiReset = false;
    bool maximize = false, autoTune = false, syncEnabled = false;
    // Projection onto the shape, per mode that has it.
    bool projectFollower = true, projectEnvelope = true, projectRandom = true;
    int32_t phaseSyncGroup = 0;                                  // 0: none
    int32_t audioEnvelopeThreshold = 1, currentPresetIndex = 0;  // carried with the state
    double phase = 0.0;

    MSignalGenerator shape;
    MADSR envelope;
    // The follower's attack and release curves, carried with the state.
    MEnvelopeGraph customAttackShape, customReleaseShape;

    // Target list; edits take the list lock, as the audio thread's writes do.
    TargetList& Targets() { return targets_; }
    int32_t TargetCount() { return targets_.Count(); }
    Target& TargetAt(int32_t position) { return targets_.At(position); }
    bool AddTarget() { return targets_.Add(); }
    void AssignTarget(int32_t position, int32_t index, MParameterRegistry& parameters) {
        targets_.Assign(position, index, parameters);
    }
    bool RemoveTarget(int32_t position, std::string& message) { return targets_.Remove(position, message); }
    MMutex& TargetLock() { return targets_.Lock(); }
    bool InUse() { return targets_.InUse(); }

    // Switching on remembers the targets' values; switching off puts them
    // back when the user did it, or by automation with restore-when-disabled.
    void EnabledChanged(bool byUser, MParameterRegistry& parameters);

    // [main-thread] Sample rate; clears the detectors.
    void Initialise(double sampleRate);
    // [audio-thread] One sub-block; writes the targets through the registry.
    void Process(const ModulatorBlock& block, MParameterRegistry& parameters, PhaseSyncGroup* group = nullptr);
    void NoteOn();
    void NoteOff();
    // Whether the MIDI envelope's note is held (a note on, its end not yet heard).
    bool NoteHeld() const { return gate_; }
    // Puts back the values the targets had before modulation.
    void RestoreTargets(MParameterRegistry& parameters) { targets_.Restore(parameters); }
    // Reads each target's current value as its value before modulation.
    void RememberTargets(MParameterRegistry& parameters) { targets_.Remember(parameters); }
    // After a load: targets without a stored value before modulation read it now.
    void AdoptLoadedState(MParameterRegistry& parameters);

    // [main-thread] Two-way storage into the modulator's element; loading
    // replaces the settings and targets (the caller holds processing off).
    void Store(MStoreContext& context, ParameterNames& names);
    // Every setting, the shapes and the target list as a new modulator has them.
    void ResetToDefaults();

    double Output() const { return output_; }
    double Increment() const { return increment_; }

private:
    double Oscillator(const ModulatorBlock& block, PhaseSyncGroup* group);
    void JoinGroup(PhaseSyncGroup& group);
    double Follow(const ModulatorBlock& block, double oscillator);
    double EnvelopeValue(const ModulatorBlock& block, double oscillator);
    double RandomStep(const ModulatorBlock& block, double oscillator);
    double PitchValue(const ModulatorBlock& block, double oscillator);
    // x in 0 .. 1 onto the shape (projection) or onto -1 .. 1.
    double Project(bool onShape, double x, double phaseShift, double intervalSize);
    void WriteTargets(double s, MParameterRegistry& parameters);
    const float* DetectionChannel(const ModulatorBlock& block, int32_t channel) const;
    void StoreModeSettings(MStoreContext& context);

    ParameterDescriptor settings_[LFOSettingCount];
    TargetList targets_{"modulator", LastTargetMessage};
    double output_ = 0.0;
    bool wasEnabled_ = false;
    // The phase increment per sample; recomputed only when what it comes
    // from changes, so that a phase sync group can tell who moved.
    double increment_ = 0.0, incrementSource_[3] = {-1, -1, -1};
    bool incrementMoved_ = false;

    // Follower: band-pass, detector state, the last measured position.
    MAudioFilters::Filter<double> lowPass_, highPass_;
    double bandPassKey_[3] = {-1, -1, -1};
    double filterState_[2][8] = {};  // per channel: the low-pass, then the high-pass
    double rms_ = 0.0, level_ = 0.0, holdLeft_ = 0.0, followerX_ = 0.0;
    // Envelope: running mean square, gate and its times.
    double meanSquare_ = 0.0;
    bool gate_ = false;
    double sinceOn_ = 0.0, sinceOff_ = 0.0, releaseFrom_ = 0.0, envelopeLevel_ = 0.0;
    // Random: the internal position without a host song position.
    double randomPosition_ = 0.0;
    // Pitch.
    MPitchDetectorFFT detector_;
    double overlap_ = -1.0, pitchValue_ = 0.0, tuneCorrection_ = 0.0;
};

}  // namespace corvane

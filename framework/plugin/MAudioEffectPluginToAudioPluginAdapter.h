#pragma once
// Joins an effect loaded through the effect interface to the framework
// plug-in: loads it, registers its parameters, and drives it per sub-block.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "entry/interface/MAudioEffectPlugin.h"
#include "entry/interface/MPluginHost.h"
#include "framework/modulation/MIDIControllers.h"
#include "framework/plugin/ChannelConfiguration.h"
#include "framework/plugin/LevelMeters.h"
#include "framework/plugin/MAudioPlugin.h"
#include "framework/plugin/ModulatorBank.h"
#include "framework/plugin/MultiParameterBank.h"
#include "framework/plugin/PluginEditor.h"
#include "framework/storage/MPresetManager.h"

namespace corvane {

class MAudioEffectPluginToAudioPluginAdapter : public MAudioPlugin {
public:
    MAudioEffectPluginToAudioPluginAdapter();
    ~MAudioEffectPluginToAudioPluginAdapter() override;

    // [main-thread] Loads the effect; throws "Error creating plugin." when it cannot.
    void Initialize(const std::string& product, const std::string& vendor, MPluginInterfaceFunction effectInterface);
    // [main-thread] Takes the three locks, prepares the pipeline and the effect.
    void InitProcessing() override;
    void InitProcessing_LockedPart();
    void InitProcessing_UnLockedPart() {}
    void InitProcessingGUI();
    // [main-thread] From the editor's idle handling.
    void ProcessUpdate();
    // Effect-to-host command 7: the effect's maximum buffer size.
    void UpdateMaxBufferSize();

    // State: the adapter's attributes, then StoreSettings.
    void Store(MStoreContext& context) override;
    void StoreSettings(MStoreContext& context);
    void StoreStandardSettings(MStoreContext& context);

    static constexpr int32_t FrameworkVersion = 461312;
    int32_t Version() const { return version_; }

    MAudioEffectPlugin* Effect() const { return effect_; }
    MAudioEffectPluginHost* EffectHost() const { return host_.get(); }
    const std::string& ProductName() const { return product_; }
    const std::string& VendorName() const { return vendor_; }
    bool SecondLevelDisplay() const { return secondLevelDisplay_; }
    const ChannelConfiguration& Channels() const { return channels_; }
    bool processUpdateEnabled = false;
    ModulatorBank& Modulators() { return modulators_; }
    MultiParameterBank& MultiParameters() { return multiParameters_; }
    // Every named multiparameter's value randomised by `amount`; processing then starts afresh.
    void GenerateRandomSettingsForMultiParameters(double amount);
    MIDIControllers& Controllers() { return midi_; }

    // [audio-thread] MIDI: after the MIDI state, the controller tables move
    // their parameters; notes also start and end the modulators' MIDI envelopes.
    void ProcessNote(MIDINoteEvent& note) override;
    int32_t ProcessMIDIController(int32_t deltaFrames, double position, uint8_t channel, uint8_t controller,
                                  double value) override;
    void ProcessAftertouch(int32_t deltaFrames, double position, uint8_t channel, uint8_t note, double value) override;
    void ProcessPitchBend(int32_t deltaFrames, double position, uint8_t channel, double bend) override;
    // Preset steps MIDI asked for (+1 next, -1 previous), taken by whoever
    // loads presets outside the audio thread. [any]
    int32_t TakePresetSteps() { return presetSteps_.exchange(0); }
    // The plug-in's presets ("<product>presets.xml"); exists after Initialize. [main-thread]
    MPresetManagerBase& Presets() { return *presets_; }
    // [main-thread] Before the plug-in goes: its background work has ended
    // when this returns (the most derived class calls it first thing).
    void StopBackgroundWork();
    // [main-thread] Loads the presets MIDI stepped to: from idle calls and,
    // within milliseconds of the step, from the library's background work.
    void ApplyPresetSteps();
    // [main-thread] What the editor shows, set by the module that builds the
    // plug-in; without it the plug-in has no editor.
    void SetEditorContent(PluginEditor::Content content) { editorContent_ = std::move(content); }
    bool HasEditor() const { return static_cast<bool>(editorContent_); }
    // The editor object, made on first use; null without content.
    PluginEditor* Editor();
    // Input and output peaks, fed once an editor exists. [any]
    LevelMeters& Meters() { return meters_; }
    // [main-thread] The host's idle call: the editor's events and redraw,
    // the effect's periodic update, presets stepped to by MIDI.
    void EditorIdle();
    // [main-thread] The other kinds of presets: one modulator ("<product>LFO",
    // one manager per slot), all modulators ("<product>LFOs"), the MIDI
    // controller set ("<product>Controllers") and one modulator's oscillator
    // shape ("<product>Signal", per slot).
    MPresetManagerBase& ModulatorPresets(int32_t index) { return *modulatorPresets_[index]; }
    MPresetManagerBase& AllModulatorPresets() { return *allModulatorPresets_; }
    MPresetManagerBase& ControllerPresets() { return *controllerPresets_; }
    MPresetManagerBase& ShapePresets(int32_t index) { return *shapePresets_[index]; }
    // The last MIDI source seen, for MIDI learn: channel * 256 + source, -1 before any. [any]
    int32_t LastMIDISource() const { return lastMIDISource_.load(std::memory_order_relaxed); }
    // [main-thread] MIDI learn: the slot (or the preset switch, slot -1)
    // listens to the last source seen; processing is held off meanwhile.
    bool LearnMIDIController(int32_t slot);

protected:
    void Process(float** inputs, float** outputs, int32_t count) override;
    void PrepareForProcessingOnce() override;
    void PrepareForProcessing(float** inputs, int32_t count);
    // Modulators, triggered envelopes or travelling switches that move parameters this block.
    virtual bool ModulatorsActive() const { return modulators_.Active() || multiParameters_.Travelling(); }
    void StoreLFO(MStoreContext& context) { modulators_.Store(context, registry_); }
    void StoreControllers(MStoreContext& context);
    void StoreMultiParameters(MStoreContext& context) { multiParameters_.Store(context, registry_); }
    // After initialisation the active-preset parameters move their targets again.
    void InitProcessingActivePresets() { multiParameters_.ApplyNamed(registry_); }
    void StoreActivePresets(MStoreContext& context);
    // After a load: the editor, once it exists, refreshes.
    void ActualiseAfterLoading() {}

    int32_t version_ = FrameworkVersion;
    bool activePresetEdit_ = false;
    int32_t currentActivePreset_ = 0;
    bool settingsLoaded_ = false;

private:
    void CreatePresetManagers();
    // A manager whose presets `part` writes and reads; loading holds processing off.
    std::unique_ptr<MPresetManagerBase> PartPresets(const std::string& kind, std::function<void(MStoreContext&)> part);
    // After the MIDI state has the event: the tables, the learn notice, a preset step.
    void AfterMIDI(int32_t channel, int32_t source, int32_t presetStep);
    template <class Work>
    void WithTablesHeld(const char* label, Work&& work);

    // Serialises every write of modulator and multiparameter targets.
    MMutex modulationLock_;
    ModulatorBank modulators_;
    MultiParameterBank multiParameters_;
    MIDIControllers midi_;
    std::atomic<int32_t> presetSteps_{0};
    std::mutex presetStepping_;
    uint64_t presetStepper_ = 0;  // its BackgroundWork task
    std::atomic<int32_t> lastMIDISource_{-1};
    std::unique_ptr<MAudioEffectPluginHost> host_;
    PluginEditor::Content editorContent_;
    LevelMeters meters_;
    std::atomic<bool> metersFed_{false};
    std::unique_ptr<PluginEditor> editor_;
    std::atomic<PluginEditor*> editorForWork_{nullptr};  // the editor, for the background work
    std::unique_ptr<MPresetManagerBase> presets_, allModulatorPresets_, controllerPresets_;
    std::unique_ptr<MPresetManagerBase> modulatorPresets_[ModulatorBank::Count], shapePresets_[ModulatorBank::Count];
    MAudioEffectPlugin* effect_ = nullptr;
    std::string product_, vendor_;
    bool secondLevelDisplay_ = false;
    ChannelConfiguration channels_;
};

}  // namespace corvane

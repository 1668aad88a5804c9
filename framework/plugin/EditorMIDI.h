#pragma once
// The plug-in's MIDI controller table as the editor's MIDI tab sees it.
// Reads need no lock (only the main thread writes the table); every change
// holds processing off, as loading a state does. [main-thread]

#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"
#include "gui/EditorServices.h"

namespace corvane {

class EditorMIDI : public gui::MIDIAccess {
public:
    explicit EditorMIDI(MAudioEffectPluginToAudioPluginAdapter& plugin) : plugin_(plugin) {}
    int32_t Slots() const override { return MIDIControllers::Slots; }
    Mapping At(int32_t slot) const override;
    bool Enabled() const override { return plugin_.Controllers().controllersEnabled; }
    void SetEnabled(bool on) override;
    void SetMapping(int32_t slot, const Mapping& mapping) override;
    bool Assign(int32_t slot, const std::string& parameter) override;
    bool Learn(int32_t slot) override;

private:
    static bool Valid(int32_t slot) { return slot >= 0 && slot < MIDIControllers::Slots; }

    MAudioEffectPluginToAudioPluginAdapter& plugin_;
};

}  // namespace corvane

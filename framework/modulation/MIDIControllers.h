#pragma once
// The framework's three MIDI tables: controller mappings (a controller,
// aftertouch, pitch-bend or velocity drives a parameter through a range
// mapping), note controllers (the played note drives a parameter) and the
// preset switch trigger. [audio-thread] the handlers; loading and editing
// happen while processing is held off.

#include <cstdint>

#include "framework/modulation/MLFO.h"
#include "framework/modulation/ModulatorLaws.h"

namespace corvane {

class MParameterRegistry;
class MStoreContext;

// Source numbers beyond the 128 continuous controllers.
enum MIDISource : int32_t {
    SourceAftertouch = 128,
    SourcePitchBend = 129,
    SourceVelocityOnAndOff = 130,
    SourceVelocityOn = 131,
    SourceCount = 132
};

enum MNoteControllerMode : int32_t {
    NoteLinear,
    NoteLogarithmic,
    NoteOnOff,
    NoteOnOffAllOctaves,
    NoteSwitch,
    NoteSwitchAllOctaves
};
extern const char* const NoteControllerModeNames[6];

struct MIDIControllerSlot {
    bool enabled = false;
    int32_t index = -1;  // global parameter index
    TargetRange range{0.0, 0.0, 1.0, RangeUpOnly};
    int32_t channel = 0;  // 0: any, else 1 .. 16
    int32_t controller = 1;
    bool invert = false;
};

struct NoteControllerSlot {
    bool enabled = false;
    int32_t index = -1;
    int32_t mode = NoteLogarithmic;
    int32_t channel = 0;
    int32_t note = 48;
    double minimum = 0.0, maximum = 1.0;
};

struct PresetSwitchTrigger {
    bool enabled = false;
    int32_t channel = 0;
    int32_t controller = 0;  // source number
    double last = 0.0;
};

class MIDIControllers {
public:
    static constexpr int32_t Slots = 32;
    // The frequency of note 60 (middle C with A at 440 Hz).
    static constexpr double MiddleC = 261.6255653005986;

    MIDIControllerSlot controllers[Slots];
    NoteControllerSlot notes[Slots];
    PresetSwitchTrigger presetSwitch;
    bool controllersEnabled = false, noteControllersEnabled = false;

    // Each returns the preset step the event asks for: -1, 0 or +1.
    // Channels arrive 0-based.
    int32_t Controller(int32_t channel, int32_t source, double value, MParameterRegistry& parameters);
    int32_t PitchBend(int32_t channel, double bend, MParameterRegistry& parameters);
    int32_t Note(int32_t channel, int32_t note, double velocity, bool on, MParameterRegistry& parameters);

    // MIDI learn: a controller slot, or the preset switch, listens from now
    // on to the source of the last event (channel * 256 + source with the
    // channel 0-based, as the plug-in reports it). False before any event
    // or for a slot outside the table; a note cannot step presets.
    bool LearnController(int32_t slot, int32_t lastSource);
    bool LearnPresetSwitch(int32_t lastSource);

    int32_t HeldNotes() const { return heldNotes_; }
    int32_t LastNote() const { return lastNote_; }

    // "Controllers" and "NoteControllers" below the given element; a
    // missing slot element clears that slot's "Enabled".
    void Store(MStoreContext& context, MLFO::ParameterNames& names);

private:
    void MapControllers(int32_t channel, int32_t source, double value, MParameterRegistry& parameters);
    int32_t PresetStep(int32_t channel, int32_t source, double value, bool noteEvent);
    void FollowPitch(const NoteControllerSlot& slot, MParameterRegistry& parameters);

    int32_t heldNotes_ = 0;
    int32_t lastNote_ = 60;
    double bend_ = 0.0;
};

}  // namespace corvane

#include "framework/modulation/MIDIControllers.h"

#include <cmath>

#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

const char* const NoteControllerModeNames[6] = {"Linear", "Logarithmic",         "On/Off", "On/Off (all octaves)",
                                                "Switch", "Switch (all octaves)"};

namespace {

bool ChannelMatches(int32_t slotChannel, int32_t channel) { return slotChannel == 0 || slotChannel == channel + 1; }
bool SamePitchClass(int32_t a, int32_t b) { return ((a % 12) + 12) % 12 == ((b % 12) + 12) % 12; }

}  // namespace

void MIDIControllers::MapControllers(int32_t channel, int32_t source, double value, MParameterRegistry& parameters) {
    if (!controllersEnabled) return;
    for (const MIDIControllerSlot& slot : controllers)
        if (slot.enabled && ChannelMatches(slot.channel, channel) && slot.controller == source)
            parameters.SetParameter(slot.index, MapToTarget(slot.range, 2.0 * value - 1.0, slot.invert), false);
}

// Continuous sources step when they cross a third: up through 2/3 is the
// next preset, down through 1/3 the previous one; every matching velocity
// event is the next.
int32_t MIDIControllers::PresetStep(int32_t channel, int32_t source, double value, bool noteEvent) {
    PresetSwitchTrigger& t = presetSwitch;
    if (!t.enabled || !ChannelMatches(t.channel, channel) || t.controller != source) return 0;
    if (noteEvent) return 1;
    const double p = t.last;
    t.last = value;
    if (p < 1.0 / 3.0 || value >= 1.0 / 3.0) return p < 2.0 / 3.0 && value >= 2.0 / 3.0 ? 1 : 0;
    return -1;
}

int32_t MIDIControllers::Controller(int32_t channel, int32_t source, double value, MParameterRegistry& parameters) {
    MapControllers(channel, source, value, parameters);
    return PresetStep(channel, source, value, false);
}

void MIDIControllers::FollowPitch(const NoteControllerSlot& slot, MParameterRegistry& parameters) {
    const double f = MiddleC * std::exp2((lastNote_ + bend_ - 60.0) / 12.0);
    const double x = slot.mode == NoteLinear ? (f - 20.0) / 19980.0 : (std::log10(f) - std::log10(20.0)) / 3.0;
    parameters.SetParameter(slot.index, slot.minimum + (slot.maximum - slot.minimum) * x, false);
}

int32_t MIDIControllers::PitchBend(int32_t channel, double bend, MParameterRegistry& parameters) {
    bend_ = bend;
    const int32_t step = Controller(channel, SourcePitchBend, (bend + 1.0) / 2.0, parameters);
    if (noteControllersEnabled && heldNotes_ > 0)
        for (const NoteControllerSlot& slot : notes)
            if (slot.enabled && ChannelMatches(slot.channel, channel) &&
                (slot.mode == NoteLinear || slot.mode == NoteLogarithmic))
                FollowPitch(slot, parameters);
    return step;
}

int32_t MIDIControllers::Note(int32_t channel, int32_t note, double velocity, bool on, MParameterRegistry& parameters) {
    MapControllers(channel, SourceVelocityOnAndOff, velocity, parameters);
    if (on) MapControllers(channel, SourceVelocityOn, velocity, parameters);
    int32_t step = PresetStep(channel, SourceVelocityOnAndOff, velocity, true);
    if (on && step == 0) step = PresetStep(channel, SourceVelocityOn, velocity, true);
    if (!noteControllersEnabled) return step;
    heldNotes_ += on ? 1 : -1;
    if (heldNotes_ < 0) heldNotes_ = 0;  // a note-off without its note-on
    if (on) lastNote_ = note;
    for (const NoteControllerSlot& slot : notes) {
        if (!slot.enabled || !ChannelMatches(slot.channel, channel)) continue;
        const bool allOctaves = slot.mode == NoteOnOffAllOctaves || slot.mode == NoteSwitchAllOctaves;
        const bool ours = allOctaves ? SamePitchClass(note, slot.note) : note == slot.note;
        switch (slot.mode) {
            case NoteLinear:
            case NoteLogarithmic:
                if (on) FollowPitch(slot, parameters);
                break;
            case NoteOnOff:
            case NoteOnOffAllOctaves:
                if (ours) parameters.SetParameter(slot.index, on ? slot.maximum : slot.minimum, false);
                break;
            case NoteSwitch:
            case NoteSwitchAllOctaves:
                if (ours && on)
                    parameters.SetParameter(
                        slot.index, parameters.GetParameter(slot.index) >= 0.5 ? slot.minimum : slot.maximum, false);
                break;
            default:
                break;
        }
    }
    return step;
}

bool MIDIControllers::LearnController(int32_t slot, int32_t lastSource) {
    const int32_t channel = lastSource >> 8, source = lastSource & 0xFF;
    if (slot < 0 || slot >= Slots || lastSource < 0 || channel > 15 || source >= SourceCount) return false;
    MIDIControllerSlot& s = controllers[slot];
    s.controller = source;
    s.channel = channel + 1;
    s.enabled = true;
    return true;
}

bool MIDIControllers::LearnPresetSwitch(int32_t lastSource) {
    const int32_t channel = lastSource >> 8, source = lastSource & 0xFF;
    if (lastSource < 0 || channel > 15 || source >= SourceVelocityOnAndOff) return false;
    presetSwitch.controller = source;
    presetSwitch.channel = channel + 1;
    presetSwitch.enabled = true;
    return true;
}

}  // namespace corvane

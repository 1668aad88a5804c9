#pragma once
// Turns raw MIDI messages into typed events and keeps the note state: held
// and pedal-sustained notes per channel. [audio-thread]

#include <cstdint>
#include <vector>

namespace corvane {

struct MIDINoteEvent {
    int32_t deltaFrames = 0;
    double position = 0.0;  // quarter notes
    uint8_t channel = 0;
    uint8_t note = 0;
    double velocity = 0.0;  // 0..1
    bool on = false;
    // Filled in by the processor:
    int32_t heldCount = 0;     // times this note is held on this channel
    int32_t channelCount = 0;  // notes held on this channel
    bool sustainPedal = false;
};

// Whether a raw message ends notes: a note-off (or a note-on at velocity 0),
// the sustain pedal going up, all sound off or all notes off. Such a message
// must never be dropped, or notes hang.
inline bool EndsNotes(const uint8_t* bytes) {
    const uint8_t type = bytes[0] & 0xF0;
    if (type == 0x80 || (type == 0x90 && bytes[2] == 0)) return true;
    return type == 0xB0 && (bytes[1] == 120 || bytes[1] == 123 || (bytes[1] == 64 && bytes[2] < 64));
}

struct MIDIControllerEvent {
    int32_t deltaFrames = 0;
    double position = 0.0;
    uint8_t channel = 0;
    uint8_t controller = 0;
    double value = 0.0;  // 0..1
};

class MMIDIProcessor {
public:
    static constexpr int ChannelSlots = 17;
    static constexpr int Notes = 128;

    virtual ~MMIDIProcessor() = default;

    virtual void ProcessNote(MIDINoteEvent& note);
    virtual void ProcessAllNotesOff(int32_t deltaFrames);
    virtual void ProcessMonoMode(const MIDIControllerEvent& event);
    virtual void ProcessAftertouch(int32_t deltaFrames, double position, uint8_t channel, uint8_t note, double value);
    virtual void ProcessProgramChange(int32_t deltaFrames, double position, uint8_t channel, uint8_t program);
    virtual void ProcessChannelVolume(const MIDIControllerEvent& event);
    virtual void ProcessChannelPan(const MIDIControllerEvent& event);
    virtual void ProcessPitchBend(int32_t deltaFrames, double position, uint8_t channel, double bend);
    virtual int32_t ProcessMIDIController(int32_t deltaFrames, double position, uint8_t channel, uint8_t controller,
                                          double value);
    // A three-byte message; 1 when it was a channel message the processor handles.
    virtual int32_t ProcessMIDIEvent(int32_t deltaFrames, const uint8_t* bytes);

    // Updates the counters for a note and hands it to ProcessNote.
    void ProcessNotePerform(MIDINoteEvent& note);

    // Another processor that receives this one's events for the channels in its mask.
    void Subscribe(MMIDIProcessor* subscriber, uint32_t channelMask, const bool* enabled = nullptr);
    void Unsubscribe(MMIDIProcessor* subscriber);

    int32_t HeldCount(int channel, int note) const { return held_[channel][note]; }
    int32_t SustainedCount(int channel, int note) const { return sustained_[channel][note]; }
    int32_t ChannelCount(int channel) const { return channelCounts_[channel]; }
    // The pedal is a controller of its channel, as MIDI has it.
    bool SustainPedal(int channel) const { return sustainPedal_[channel]; }

    // Transport the event positions are computed from.
    double tempo = 120.0;
    double songPosition = 0.0;
    double sampleRate = 44100.0;

private:
    struct Subscriber {
        MMIDIProcessor* processor;
        uint32_t channelMask;
        const bool* enabled;
    };
    template <class Call>
    void ForEachSubscriber(uint8_t channel, Call call);
    void SendNoteOff(int32_t deltaFrames, double position, int channel, int note);
    // One held instance of the note ends; counts never go below 0.
    void ReleaseHeld(int channel, int note);

    int32_t held_[ChannelSlots][Notes] = {};
    int32_t sustained_[ChannelSlots][Notes] = {};
    int32_t channelCounts_[ChannelSlots] = {};
    bool sustainPedal_[ChannelSlots] = {};
    std::vector<Subscriber> subscribers_;
};

}  // namespace corvane

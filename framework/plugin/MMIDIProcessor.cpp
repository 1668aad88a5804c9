#include "framework/plugin/MMIDIProcessor.h"

#include <algorithm>

#include "framework/core/ExceptionGuard.h"

namespace corvane {

template <class Call>
void MMIDIProcessor::ForEachSubscriber(uint8_t channel, Call call) {
    for (const Subscriber& s : subscribers_) {
        if (s.enabled != nullptr && !*s.enabled) continue;
        if (channel < 32 && (s.channelMask & (1u << channel)) == 0) continue;
        call(*s.processor);
    }
}

void MMIDIProcessor::Subscribe(MMIDIProcessor* subscriber, uint32_t channelMask, const bool* enabled) {
    subscribers_.push_back({subscriber, channelMask, enabled});
}

void MMIDIProcessor::Unsubscribe(MMIDIProcessor* subscriber) {
    subscribers_.erase(std::remove_if(subscribers_.begin(), subscribers_.end(),
                                      [&](const Subscriber& s) { return s.processor == subscriber; }),
                       subscribers_.end());
}

void MMIDIProcessor::ProcessNote(MIDINoteEvent& note) {
    ForEachSubscriber(note.channel, [&](MMIDIProcessor& p) {
        MIDINoteEvent copy = note;
        p.ProcessNotePerform(copy);
    });
}

void MMIDIProcessor::ProcessMonoMode(const MIDIControllerEvent& e) {
    ForEachSubscriber(e.channel, [&](MMIDIProcessor& p) { p.ProcessMonoMode(e); });
}

void MMIDIProcessor::ProcessAftertouch(int32_t delta, double position, uint8_t channel, uint8_t note, double value) {
    ForEachSubscriber(channel, [&](MMIDIProcessor& p) { p.ProcessAftertouch(delta, position, channel, note, value); });
}

void MMIDIProcessor::ProcessProgramChange(int32_t delta, double position, uint8_t channel, uint8_t program) {
    ForEachSubscriber(channel, [&](MMIDIProcessor& p) { p.ProcessProgramChange(delta, position, channel, program); });
}

void MMIDIProcessor::ProcessChannelVolume(const MIDIControllerEvent& e) {
    ForEachSubscriber(e.channel, [&](MMIDIProcessor& p) { p.ProcessChannelVolume(e); });
}

void MMIDIProcessor::ProcessChannelPan(const MIDIControllerEvent& e) {
    ForEachSubscriber(e.channel, [&](MMIDIProcessor& p) { p.ProcessChannelPan(e); });
}

void MMIDIProcessor::ProcessPitchBend(int32_t delta, double position, uint8_t channel, double bend) {
    ForEachSubscriber(channel, [&](MMIDIProcessor& p) { p.ProcessPitchBend(delta, position, channel, bend); });
}

void MMIDIProcessor::ProcessNotePerform(MIDINoteEvent& note) {
    GuardedVoid("MMIDIProcessor::ProcessNotePerform", [&] {
        const int c = note.channel & 0x0F, n = note.note & 0x7F;
        if (note.on) {
            ++held_[c][n];
            ++channelCounts_[c];
        } else {
            if (held_[c][n] < 1) return;  // not held: dropped
            if (sustainPedal_[c]) {
                // The pedal holds the note on: its end is sent when the pedal
                // goes up. A repeated note-off cannot sustain more instances than are held.
                if (sustained_[c][n] < held_[c][n]) ++sustained_[c][n];
                return;
            } else {
                ReleaseHeld(c, n);
            }
        }
        note.heldCount = held_[c][n];
        note.channelCount = channelCounts_[c];
        note.sustainPedal = sustainPedal_[c];
        ProcessNote(note);
    });
}

void MMIDIProcessor::SendNoteOff(int32_t delta, double position, int channel, int note) {
    MIDINoteEvent off;
    off.deltaFrames = delta;
    off.position = position;
    off.channel = static_cast<uint8_t>(channel);
    off.note = static_cast<uint8_t>(note);
    off.velocity = 0.0;
    off.on = false;
    off.heldCount = held_[channel][note];
    off.channelCount = channelCounts_[channel];
    off.sustainPedal = sustainPedal_[channel];
    ProcessNote(off);
}

void MMIDIProcessor::ReleaseHeld(int channel, int note) {
    if (held_[channel][note] > 0) --held_[channel][note];
    if (channelCounts_[channel] > 0) --channelCounts_[channel];
}

void MMIDIProcessor::ProcessAllNotesOff(int32_t delta) {
    GuardedVoid("MMIDIProcessor::ProcessAllNotesOff", [&] {
        for (const Subscriber& s : subscribers_)
            if (s.enabled == nullptr || *s.enabled) s.processor->ProcessAllNotesOff(delta);
        for (int c = 0; c < ChannelSlots; ++c)
            for (int n = 0; n < Notes; ++n) {
                sustained_[c][n] = 0;
                while (held_[c][n] > 0) {
                    ReleaseHeld(c, n);
                    SendNoteOff(delta, songPosition, c, n);
                }
            }
    });
}

int32_t MMIDIProcessor::ProcessMIDIController(int32_t delta, double position, uint8_t channel, uint8_t controller,
                                              double value) {
    return Guarded("MMIDIProcessor::ProcessMIDIController", 0, [&]() -> int32_t {
        ForEachSubscriber(
            channel, [&](MMIDIProcessor& p) { p.ProcessMIDIController(delta, position, channel, controller, value); });
        const MIDIControllerEvent event{delta, position, channel, controller, value};
        const int c = channel & 0x0F;
        switch (controller) {
            case 7:
                ProcessChannelVolume(event);
                return 1;
            case 10:
                ProcessChannelPan(event);
                return 1;
            case 64:
                sustainPedal_[c] = value >= 0.5;
                if (!sustainPedal_[c])
                    for (int n = 0; n < Notes; ++n)
                        while (sustained_[c][n] > 0) {
                            --sustained_[c][n];
                            ReleaseHeld(c, n);
                            SendNoteOff(delta, position, c, n);
                        }
                return 1;
            case 123:
                ProcessAllNotesOff(delta);
                return 1;
            case 126:
                ProcessMonoMode(event);
                return 1;
            default:
                return 0;
        }
    });
}

int32_t MMIDIProcessor::ProcessMIDIEvent(int32_t delta, const uint8_t* bytes) {
    return Guarded("MMIDIProcessor::ProcessMIDIEvent", 0, [&]() -> int32_t {
        if (bytes == nullptr) return 0;
        if (delta > 0) --delta;
        const uint8_t channel = bytes[0] & 0x0F;
        const uint8_t type = bytes[0] & 0xF0;
        const double position = songPosition + delta * tempo / (sampleRate * 60.0);
        switch (type) {
            case 0x80:
            case 0x90: {
                MIDINoteEvent note;
                note.deltaFrames = delta;
                note.position = position;
                note.channel = channel;
                note.note = bytes[1] & 0x7F;
                const int v = bytes[2] & 0x7F;
                note.velocity = v >= 1 ? (v - 1) / 127.0 : 0.0;
                note.on = type == 0x90 && bytes[2] != 0;
                ProcessNotePerform(note);
                return 1;
            }
            case 0xA0:
                ProcessAftertouch(delta, position, channel, bytes[1], (bytes[2] & 0x7F) / 127.0);
                return 1;
            case 0xB0:
                return ProcessMIDIController(delta, position, channel, bytes[1], (bytes[2] & 0x7F) / 127.0);
            case 0xC0:
                ProcessProgramChange(delta, position, channel, bytes[1]);
                return 0;
            case 0xD0:
                ProcessAftertouch(delta, position, channel, 255, (bytes[1] & 0x7F) / 127.0);
                return 1;
            case 0xE0:
                ProcessPitchBend(delta, position, channel,
                                 (((bytes[2] & 0x7F) << 7) | (bytes[1] & 0x7F)) / 8191.5 - 1.0);
                return 1;
            default:
                return 0;
        }
    });
}

}  // namespace corvane

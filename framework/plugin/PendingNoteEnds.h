#pragma once
// The ends of notes that came when an incoming MIDI queue was full. They are
// never dropped, or notes would hang: per channel and note the number of
// note-offs is kept, and whether the pedal went up or all sound or all notes
// went off. Fixed size; the audio thread both keeps and drains. [audio-thread]

#include <cstdint>

#include "framework/plugin/MMIDIProcessor.h"

namespace corvane {

class PendingNoteEnds {
public:
    // False when the message ends no note: the caller counts it as lost.
    bool Keep(int32_t deltaFrames, const uint8_t* bytes) {
        if (!EndsNotes(bytes)) return false;
        const int32_t channel = bytes[0] & 0x0F;
        if ((bytes[0] & 0xF0) == 0xB0) {
            channelEnds_[channel] |= bytes[1] == 64 ? PedalUp : bytes[1] == 120 ? AllSoundOff : AllNotesOff;
        } else if (noteOffs_[channel][bytes[1] & 0x7F] < UINT16_MAX) {
            ++noteOffs_[channel][bytes[1] & 0x7F];
        }
        delta_ = deltaFrames > delta_ ? deltaFrames : delta_;
        any_ = true;
        return true;
    }

    // Hands what was kept to deliver(deltaFrames, bytes) and forgets it: the
    // note-offs first, then the pedals going up, then all sound and all notes off.
    template <class Deliver>
    void Drain(Deliver&& deliver) {
        if (!any_) return;
        for (int32_t c = 0; c < 16; ++c)
            for (int32_t n = 0; n < 128; ++n)
                for (; noteOffs_[c][n] > 0; --noteOffs_[c][n]) {
                    const uint8_t bytes[3] = {static_cast<uint8_t>(0x80 | c), static_cast<uint8_t>(n), 0};
                    deliver(delta_, bytes);
                }
        const uint8_t order[3][2] = {{PedalUp, 64}, {AllSoundOff, 120}, {AllNotesOff, 123}};
        for (int32_t c = 0; c < 16; ++c) {
            for (const auto& [flag, controller] : order)
                if (channelEnds_[c] & flag) {
                    const uint8_t bytes[3] = {static_cast<uint8_t>(0xB0 | c), controller, 0};
                    deliver(delta_, bytes);
                }
            channelEnds_[c] = 0;
        }
        delta_ = 0;
        any_ = false;
    }

private:
    enum : uint8_t { PedalUp = 1, AllSoundOff = 2, AllNotesOff = 4 };
    uint16_t noteOffs_[16][128] = {};
    uint8_t channelEnds_[16] = {};
    int32_t delta_ = 0;
    bool any_ = false;
};

}  // namespace corvane

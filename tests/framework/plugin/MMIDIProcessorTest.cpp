#include <gtest/gtest.h>

#include <vector>

#include "framework/plugin/MMIDIProcessor.h"

using namespace corvane;

namespace {

class RecordingProcessor : public MMIDIProcessor {
public:
    void ProcessNote(MIDINoteEvent& note) override {
        notes.push_back(note);
        MMIDIProcessor::ProcessNote(note);
    }
    void ProcessPitchBend(int32_t delta, double position, uint8_t channel, double bend) override {
        bends.push_back(bend);
        deltas.push_back(delta);
        MMIDIProcessor::ProcessPitchBend(delta, position, channel, bend);
    }
    void ProcessAftertouch(int32_t, double, uint8_t, uint8_t note, double value) override {
        aftertouch.emplace_back(note, value);
    }
    int32_t Send(uint8_t status, uint8_t a, uint8_t b, int32_t delta = 0) {
        const uint8_t bytes[3] = {status, a, b};
        return ProcessMIDIEvent(delta, bytes);
    }
    std::vector<MIDINoteEvent> notes;
    std::vector<double> bends;
    std::vector<int32_t> deltas;
    std::vector<std::pair<int, double>> aftertouch;
};

}  // namespace

TEST(MIDIProcessor, NotesAndVelocities) {
    RecordingProcessor midi;
    EXPECT_EQ(midi.Send(0x91, 60, 127), 1);
    ASSERT_EQ(midi.notes.size(), 1u);
    EXPECT_TRUE(midi.notes[0].on);
    EXPECT_EQ(midi.notes[0].channel, 1);
    EXPECT_DOUBLE_EQ(midi.notes[0].velocity, 126.0 / 127.0);
    EXPECT_EQ(midi.notes[0].heldCount, 1);
    midi.Send(0x91, 60, 0);  // velocity 0: a note-off
    ASSERT_EQ(midi.notes.size(), 2u);
    EXPECT_FALSE(midi.notes[1].on);
    EXPECT_EQ(midi.notes[1].heldCount, 0);
    midi.Send(0x81, 60, 64);  // not held any more: dropped
    EXPECT_EQ(midi.notes.size(), 2u);

    midi.Send(0x90, 62, 100);
    midi.Send(0x90, 62, 100);
    midi.Send(0x80, 62, 0);
    EXPECT_EQ(midi.HeldCount(0, 62), 1) << "two note-ons need two note-offs";
    EXPECT_EQ(midi.ChannelCount(0), 1);
    midi.Send(0x80, 62, 0);
    EXPECT_EQ(midi.HeldCount(0, 62), 0);
    EXPECT_EQ(midi.ChannelCount(0), 0);
}

TEST(MIDIProcessor, SustainPedalDefersNoteOffs) {
    RecordingProcessor midi;
    EXPECT_EQ(midi.Send(0xB0, 64, 127), 1);
    midi.Send(0x90, 48, 90);
    midi.Send(0x80, 48, 0);
    ASSERT_EQ(midi.notes.size(), 1u) << "the key went up, the pedal holds the note on";
    EXPECT_EQ(midi.HeldCount(0, 48), 1);
    EXPECT_EQ(midi.ChannelCount(0), 1);
    EXPECT_EQ(midi.SustainedCount(0, 48), 1);
    midi.Send(0xB0, 64, 0);
    ASSERT_EQ(midi.notes.size(), 2u);
    EXPECT_FALSE(midi.notes[1].on);
    EXPECT_EQ(midi.notes[1].velocity, 0.0) << "the note ends with the pedal, at velocity 0";
    EXPECT_EQ(midi.notes[1].heldCount, 0);
    EXPECT_EQ(midi.ChannelCount(0), 0);
}

// A repeated note-off under the pedal, and a pedal on another channel.
TEST(MIDIProcessor, PedalCountsStayWholeAndPerChannel) {
    RecordingProcessor midi;
    midi.Send(0xB0, 64, 127);
    midi.Send(0x90, 48, 90);
    midi.Send(0x80, 48, 0);
    midi.Send(0x80, 48, 0);  // a second note-off for the one held note
    EXPECT_EQ(midi.SustainedCount(0, 48), 1);
    midi.Send(0xB0, 64, 0);
    EXPECT_EQ(midi.HeldCount(0, 48), 0);
    EXPECT_EQ(midi.ChannelCount(0), 0) << "never below 0";
    EXPECT_EQ(midi.notes.size(), 2u) << "on, and the off at pedal up";

    midi.notes.clear();
    midi.Send(0xB0, 64, 127);  // pedal down on channel 1 only
    midi.Send(0x91, 50, 90);
    midi.Send(0x81, 50, 0);
    ASSERT_EQ(midi.notes.size(), 2u);
    EXPECT_FALSE(midi.notes[1].sustainPedal);
    EXPECT_EQ(midi.HeldCount(1, 50), 0) << "channel 2's pedal is up: released at once";
    EXPECT_TRUE(midi.SustainPedal(0));
    EXPECT_FALSE(midi.SustainPedal(1));
    midi.Send(0xB1, 64, 0);  // channel 2's pedal up releases nothing of channel 1
    EXPECT_TRUE(midi.SustainPedal(0));
}

TEST(MIDIProcessor, AllNotesOffReleasesEverything) {
    RecordingProcessor midi;
    midi.Send(0x90, 60, 90);
    midi.Send(0x90, 60, 90);
    midi.Send(0x93, 70, 90);
    midi.Send(0xB3, 64, 127);
    midi.Send(0x93, 72, 90);
    midi.Send(0x83, 72, 90);  // pedal-held
    midi.notes.clear();
    EXPECT_EQ(midi.Send(0xB0, 123, 0), 1);
    EXPECT_EQ(midi.notes.size(), 4u) << "one note-off per held count";
    for (const MIDINoteEvent& n : midi.notes) EXPECT_FALSE(n.on);
    EXPECT_EQ(midi.HeldCount(0, 60), 0);
    EXPECT_EQ(midi.HeldCount(3, 72), 0);
    EXPECT_EQ(midi.SustainedCount(3, 72), 0);
    EXPECT_EQ(midi.ChannelCount(3), 0);
}

TEST(MIDIProcessor, OtherMessagesAndTiming) {
    RecordingProcessor midi;
    EXPECT_EQ(midi.Send(0xE0, 0x00, 0x40), 1);
    EXPECT_NEAR(midi.bends[0], 1.0 / 16383.0, 1e-15) << "not 0";
    midi.Send(0xE0, 0x00, 0x00);
    midi.Send(0xE0, 0x7F, 0x7F, 5);
    EXPECT_DOUBLE_EQ(midi.bends[1], -1.0);
    EXPECT_DOUBLE_EQ(midi.bends[2], 1.0);
    EXPECT_EQ(midi.deltas[2], 4) << "delta 5 is timed at 4";
    midi.Send(0xE0, 0, 0x40, 0);
    EXPECT_EQ(midi.deltas[3], 0);
    EXPECT_EQ(midi.Send(0xD2, 127, 0), 1);
    EXPECT_EQ(midi.aftertouch.back(), std::make_pair(255, 1.0));
    EXPECT_EQ(midi.Send(0xA2, 61, 0), 1);
    EXPECT_EQ(midi.aftertouch.back(), std::make_pair(61, 0.0));
    EXPECT_EQ(midi.Send(0xC0, 5, 0), 0);
    EXPECT_EQ(midi.Send(0xB0, 20, 64), 0) << "unhandled controllers report 0";
    EXPECT_EQ(midi.Send(0xF8, 0, 0), 0);

    midi.tempo = 120.0;
    midi.sampleRate = 48000.0;
    midi.songPosition = 8.0;
    midi.Send(0x90, 60, 100, 24001);
    EXPECT_NEAR(midi.notes.back().position, 9.0, 1e-12);
}

TEST(MIDIProcessor, SubscribersByChannelMaskAndEnableFlag) {
    RecordingProcessor source, listener, muted;
    bool enabled = false;
    source.Subscribe(&listener, 1u << 2);
    source.Subscribe(&muted, 0xFFFFu, &enabled);
    source.Send(0xE2, 0, 0x40);
    source.Send(0xE3, 0, 0x40);
    source.Send(0x92, 60, 100);
    EXPECT_EQ(listener.bends.size(), 1u) << "only channel 2 reaches it";
    EXPECT_EQ(listener.HeldCount(2, 60), 1);
    EXPECT_TRUE(muted.bends.empty());
    enabled = true;
    source.Send(0xE3, 0, 0x40);
    EXPECT_EQ(muted.bends.size(), 1u);
}

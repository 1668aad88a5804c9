#include <gtest/gtest.h>

#include <cmath>

#include "framework/modulation/MIDIControllers.h"
#include "tests/support/TestOwner.h"

using namespace corvane;

namespace {

struct NoEffect : MParameterEffect {
    void ParameterChanged(int32_t) override {}
};

// Two plain 0..1 parameters for the tables to move.
class MIDITables : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 2; ++i) {
            descriptors_[i].kind = ParameterKindFloat;
            descriptors_[i].name = descriptors_[i].identifier = "P" + std::to_string(i);
            descriptors_[i].floatValues = {0.0, 1.0, 0.5, 0.5, 0.5};
        }
        ParameterTable table;
        table.parameters = descriptors_;
        table.parameterCount = 2;
        owner_.registry.RegisterEffect(effect_, table);
        owner_.registry.Finish();
        tables_.controllersEnabled = tables_.noteControllersEnabled = true;
    }
    double Parameter(int i) const { return descriptors_[i].floatValues.value; }
    void SetParameter(int i, double v) { descriptors_[i].floatValues.value = v; }
    MIDIControllerSlot& Mapping(int32_t source, int32_t channel = 0) {
        MIDIControllerSlot& slot = tables_.controllers[0];
        slot.enabled = true;
        slot.index = 0;
        slot.controller = source;
        slot.channel = channel;
        slot.range = {0.0, 1.0, 1.0, RangeInterval};  // the value itself
        return slot;
    }
    NoteControllerSlot& NoteSlot(int32_t mode, int32_t note = 48) {
        NoteControllerSlot& slot = tables_.notes[0];
        slot.enabled = true;
        slot.index = 0;
        slot.mode = mode;
        slot.note = note;
        slot.minimum = 0.2;
        slot.maximum = 0.8;
        return slot;
    }

    sonvera_test::TestOwner owner_;
    NoEffect effect_;
    ParameterDescriptor descriptors_[2];
    MIDIControllers tables_;
};

}  // namespace

TEST_F(MIDITables, ControllerMappingsFilterChannelsAndSources) {
    Mapping(7, 3);
    struct Case {
        int32_t channel, source;
        double value, expected;
    } cases[] = {
        {2, 7, 0.75, 0.75},  // channel 3 (0-based 2)
        {3, 7, 0.25, 0.75},  // channel 4: ignored
        {2, 8, 0.25, 0.75},  // another controller: ignored
        {2, 7, 0.25, 0.25},
    };
    for (const Case& c : cases) {
        tables_.Controller(c.channel, c.source, c.value, owner_.registry);
        EXPECT_DOUBLE_EQ(Parameter(0), c.expected) << c.channel << " " << c.source;
    }
    tables_.controllers[0].channel = 0;  // any channel
    tables_.Controller(15, 7, 0.5, owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.5);
    tables_.controllers[0].invert = true;
    tables_.Controller(15, 7, 0.9, owner_.registry);
    EXPECT_NEAR(Parameter(0), 0.1, 1e-12);
    tables_.controllersEnabled = false;
    tables_.Controller(15, 7, 0.3, owner_.registry);
    EXPECT_NEAR(Parameter(0), 0.1, 1e-12) << "switched off as a whole";
}

TEST_F(MIDITables, PitchBendAftertouchAndVelocities) {
    Mapping(SourcePitchBend);
    tables_.PitchBend(0, -1.0, owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.0) << "fully down";
    tables_.PitchBend(0, 0.0, owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.5) << "centre";
    Mapping(SourceAftertouch);
    tables_.Controller(0, SourceAftertouch, 0.3, owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.3);
    // Source 131 follows note-ons only, 130 note-offs too.
    Mapping(SourceVelocityOn);
    tables_.Note(0, 60, 0.6, true, owner_.registry);
    tables_.Note(0, 60, 0.1, false, owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.6);
    Mapping(SourceVelocityOnAndOff);
    tables_.Note(0, 60, 0.6, true, owner_.registry);
    tables_.Note(0, 60, 0.1, false, owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.1);
}

TEST_F(MIDITables, PresetSwitchCrossesThirds) {
    PresetSwitchTrigger& trigger = tables_.presetSwitch;
    trigger.enabled = true;
    trigger.controller = 20;
    struct Case {
        double value;
        int32_t step;
    } moves[] = {{0.5, 0}, {0.7, 1}, {0.9, 0}, {0.8, 0}, {0.5, 0}, {0.2, -1}, {0.1, 0}, {0.7, 1}};
    for (const Case& m : moves) EXPECT_EQ(tables_.Controller(0, 20, m.value, owner_.registry), m.step) << m.value;
    EXPECT_EQ(tables_.Controller(0, 21, 0.0, owner_.registry), 0) << "another controller";
    trigger.controller = SourceVelocityOn;
    EXPECT_EQ(tables_.Note(0, 60, 0.5, true, owner_.registry), 1);
    EXPECT_EQ(tables_.Note(0, 60, 0.0, false, owner_.registry), 0);
    trigger.controller = SourceVelocityOnAndOff;
    EXPECT_EQ(tables_.Note(0, 60, 0.0, false, owner_.registry), 1);
}

TEST_F(MIDITables, NoteControllersInEveryMode) {
    // Logarithmic: 20 Hz gives the minimum, 20 kHz the maximum.
    NoteControllerSlot& slot = NoteSlot(NoteLogarithmic);
    const double noteOf20Hz = 60.0 + 12.0 * std::log2(20.0 / MIDIControllers::MiddleC);
    auto pitchOf = [&](double note) {
        const int32_t whole = static_cast<int32_t>(std::floor(note));
        tables_.PitchBend(0, note - whole, owner_.registry);  // the bend adds semitones unscaled
        tables_.Note(0, whole, 1.0, true, owner_.registry);
        tables_.Note(0, whole, 0.0, false, owner_.registry);
        return Parameter(0);
    };
    EXPECT_NEAR(pitchOf(noteOf20Hz), 0.2, 1e-9);
    EXPECT_NEAR(pitchOf(noteOf20Hz + 12.0 * std::log2(1000.0)), 0.8, 1e-9);
    slot.mode = NoteLinear;
    EXPECT_NEAR(pitchOf(noteOf20Hz + 12.0 * std::log2(1000.0)), 0.8, 1e-9);
    EXPECT_NEAR(pitchOf(noteOf20Hz + 12.0), 0.2 + 0.6 * 20.0 / 19980.0, 1e-9);
    tables_.PitchBend(0, 0.0, owner_.registry);
    // A held note follows the bend.
    tables_.Note(0, 69, 1.0, true, owner_.registry);
    const double held = Parameter(0);
    tables_.PitchBend(0, 1.0, owner_.registry);
    EXPECT_GT(Parameter(0), held);
    tables_.Note(0, 69, 0.0, false, owner_.registry);
    tables_.PitchBend(0, 0.0, owner_.registry);

    struct Case {
        int32_t mode, note;
        bool on;
        double before, after;
    } cases[] = {
        {NoteOnOff, 48, true, 0.5, 0.8},
        {NoteOnOff, 48, false, 0.8, 0.2},
        {NoteOnOff, 60, true, 0.5, 0.5},
        {NoteOnOffAllOctaves, 60, true, 0.5, 0.8},
        {NoteOnOffAllOctaves, 61, true, 0.5, 0.5},
        {NoteSwitch, 48, true, 0.6, 0.2},
        {NoteSwitch, 48, true, 0.3, 0.8},
        {NoteSwitch, 48, false, 0.3, 0.3},
        {NoteSwitchAllOctaves, 36, true, 0.5, 0.2},
    };
    for (const Case& c : cases) {
        NoteSlot(c.mode);
        SetParameter(0, c.before);
        tables_.Note(0, c.note, 1.0, c.on, owner_.registry);
        EXPECT_DOUBLE_EQ(Parameter(0), c.after) << c.mode << " " << c.note << " " << c.on;
    }
    NoteSlot(NoteOnOff).channel = 2;
    SetParameter(0, 0.5);
    tables_.Note(2, 48, 1.0, true, owner_.registry);
    EXPECT_DOUBLE_EQ(Parameter(0), 0.5) << "channel 2 ignores channel 3";
}

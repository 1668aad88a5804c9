// The four modulators inside the framework plug-in over the real vocoder:
// their state in the chunk, switching them from the host, and MIDI notes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/storage/MStream.h"
#include "framework/storage/XMLFiles.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/support/ChunkText.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ParameterLookup.h"

using namespace corvane;

namespace {

using sonvera_test::Index;
using sonvera_test::RunBlocks;

// Every modulator set differently, with targets on effect parameters and
// on another modulator's parameter.
void SetUpAllFour(MQuorlithAudioEffectPlugin& plugin) {
    ModulatorBank& bank = static_cast<MAudioEffectPluginToAudioPluginAdapter&>(plugin).Modulators();
    const char* targets[4][3] = {{"Volume", "Panorama", nullptr},
                                 {"Formant shift", "LFO 1 Frequency", "Volume"},
                                 {"Carrier pan", nullptr, nullptr},
                                 {"Panorama", "Carrier volume", nullptr}};
    for (int32_t m = 0; m < ModulatorBank::Count; ++m) {
        MLFO& lfo = bank.At(m);
        lfo.mode = m + 1;  // Follower, Envelope, Random, Pitch
        lfo.phaseSyncGroup = m % 2;
        lfo.syncEnabled = m == 2;
        lfo.projectRandom = false;
        lfo.Setting(LFOFrequency).floatValues.value = 0.25 + 0.125 * m;
        lfo.Setting(FollowerLevelMin).floatValues.value = -70.0 + m;
        lfo.Setting(PitchShiftSemitones).integerValues.value = m - 2;
        lfo.Setting(LFOSyncLength).enumValues.valueIndex = 9;
        lfo.shape.Change([&](MSignalGenerator::Settings& s) { s.shape = 2.0 + m; });
        lfo.envelope.Set(MADSR::Release, 0.5 + m);
        for (int t = 0; t < 3 && targets[m][t] != nullptr; ++t) {
            if (t > 0) lfo.AddTarget();
            lfo.AssignTarget(t, Index(plugin, targets[m][t]), plugin.Parameters());
            MLFO::Target& target = lfo.TargetAt(t);
            target.range = {0.1 * (t + 1), 0.9, 0.5, t + m};
            target.invert = t == 1;
            target.useFirstRange = t == 2;
        }
        lfo.TargetAt(0).shapeEnabled = true;
        const MEnvelope::Point bent[2] = {{0.0, 0.2, 0.5, 1.0, SegmentMode1}, {1.0, 0.9, 0.0, 1.0, SegmentMode1}};
        lfo.TargetAt(0).shape.SetPoints(bent, 2);
    }
    bank.At(1).Setting(LFOEnabled).boolValue = 1;
    bank.At(3).automationWrite = true;
}

}  // namespace

TEST(Modulators, StateRoundTripsByteForByteAndAStateWithoutThemLoadsDefaults) {
    auto first = sonvera_test::NewVocoder();
    SetUpAllFour(*first);
    const std::vector<uint8_t> chunk = first->WriteChunk();
    const std::string text = sonvera_test::ChunkText(chunk);
    for (const char* element : {"<LFO0", "<LFO1", "<LFO2", "<LFO3", "ParameterName=\"LFO 1 Frequency\""})
        EXPECT_NE(text.find(element), std::string::npos) << element;

    auto second = sonvera_test::NewVocoder();
    ASSERT_TRUE(second->ReadChunk(chunk.data(), chunk.size()));
    EXPECT_EQ(sonvera_test::ChunkText(second->WriteChunk()), text);
    EXPECT_EQ(second->WriteChunk(), chunk);
    MLFO& loaded = second->Modulators().At(1);
    ASSERT_EQ(loaded.TargetCount(), 3);
    EXPECT_EQ(loaded.TargetAt(1).index, Index(*second, "LFO 1 Frequency")) << "targets are found by name";
    EXPECT_EQ(loaded.mode, LFOModeEnvelope);
    EXPECT_TRUE(loaded.Enabled());

    // The same state without "LFOs": every modulator as new.
    MXMLItem root;
    MMemoryStream in(const_cast<uint8_t*>(chunk.data()), chunk.size());
    ASSERT_TRUE(LoadWithFallback(root, in));
    root.RemoveSubItem("LFOs");
    MMemoryStream out;
    WriteCompressed(root, out, "utf-8");
    ASSERT_TRUE(second->ReadChunk(out.Data(), static_cast<size_t>(out.Size())));
    const std::string defaults = sonvera_test::ChunkText(sonvera_test::NewVocoder()->WriteChunk());
    const std::string reloaded = sonvera_test::ChunkText(second->WriteChunk());
    EXPECT_EQ(reloaded.substr(reloaded.find("<LFOs")), defaults.substr(defaults.find("<LFOs")));
    EXPECT_EQ(second->Modulators().At(1).TargetCount(), 1);
    EXPECT_FALSE(second->Modulators().At(1).Enabled());
}

TEST(Modulators, SwitchedFromTheHostTheyModulateAndRestoreOnRequest) {
    auto plugin = sonvera_test::NewVocoder();
    MLFO& lfo = plugin->Modulators().At(0);
    const int32_t volume = Index(*plugin, "Volume"), enabled = Index(*plugin, "LFO 1 Enabled");
    plugin->Parameters().SetParameter(volume, 0.3, false);
    lfo.AssignTarget(0, volume, plugin->Parameters());
    lfo.shape.Change([](MSignalGenerator::Settings& s) { s.shape = 1.0; });  // not a sine: 0 at phase 0 is no proof
    lfo.Setting(LFOFrequency).floatValues.value = 1.0;
    lfo.Setting(LFOHiSpeed).boolValue = 1;
    for (bool restore : {false, true}) {
        lfo.restoreWhenDisabled = restore;
        plugin->Parameters().SetParameter(enabled, 1.0, false);
        RunBlocks(*plugin, 7);
        const double modulated = plugin->Parameters().GetParameter(volume);
        EXPECT_GT(std::abs(modulated - 0.3), 0.01) << "the target moves";
        plugin->Parameters().SetParameter(enabled, 1.0, false);  // hosts repeat values: nothing new is remembered
        plugin->Parameters().SetParameter(enabled, 0.0, false);
        EXPECT_NEAR(plugin->Parameters().GetParameter(volume), restore ? 0.3 : modulated, 1e-9)
            << "switched off by automation, restored only when asked to";
        plugin->Parameters().SetParameter(volume, 0.3, false);
    }
    lfo.EnabledChanged(true, plugin->Parameters());  // unchanged state: nothing happens
    EXPECT_NEAR(plugin->Parameters().GetParameter(volume), 0.3, 1e-9);
}

TEST(Modulators, MIDINotesDriveTheEnvelope) {
    auto plugin = sonvera_test::NewVocoder();
    MLFO& lfo = plugin->Modulators().At(0);
    const int32_t pan = Index(*plugin, "Panorama");
    lfo.AssignTarget(0, pan, plugin->Parameters());
    lfo.mode = LFOModeEnvelope;
    lfo.projectEnvelope = false;
    lfo.envelope.Set(MADSR::Attack, 0.0);
    lfo.envelope.Set(MADSR::Decay, 0.0);
    lfo.envelope.Set(MADSR::Sustain, 1.0);
    lfo.envelope.Set(MADSR::Release, 0.0);
    lfo.Setting(LFOEnabled).boolValue = 1;
    RunBlocks(*plugin, 2);
    EXPECT_NEAR(plugin->Parameters().GetParameter(pan), 0.0, 1e-9) << "no note: at the bottom";
    const uint8_t on[3] = {0x90, 60, 100}, otherOn[3] = {0x90, 64, 100}, off[3] = {0x80, 60, 0},
                  otherOff[3] = {0x80, 64, 0};
    plugin->ProcessMIDIEvent(0, on);
    plugin->ProcessMIDIEvent(0, otherOn);
    RunBlocks(*plugin, 2);
    EXPECT_NEAR(plugin->Parameters().GetParameter(pan), 1.0, 1e-9);
    plugin->ProcessMIDIEvent(0, off);
    RunBlocks(*plugin, 2);
    EXPECT_NEAR(plugin->Parameters().GetParameter(pan), 1.0, 1e-9) << "a note still held keeps it up";
    plugin->ProcessMIDIEvent(0, otherOff);
    RunBlocks(*plugin, 2);
    EXPECT_NEAR(plugin->Parameters().GetParameter(pan), 0.0, 1e-9);
}

TEST(Modulators, HostileModulatorElementsLoadBounded) {
    auto plugin = sonvera_test::NewVocoder();
    MXMLItem root;
    const std::vector<uint8_t> chunk = plugin->WriteChunk();
    MMemoryStream in(const_cast<uint8_t*>(chunk.data()), chunk.size());
    ASSERT_TRUE(LoadWithFallback(root, in));
    MXMLItem& lfo = root.GetOrAddSubItem("LFOs").GetOrAddSubItem("LFO0");
    lfo.SetAttribute("Mode", "Nonsense");
    lfo.SetAttribute("Frequency", "1e300");
    lfo.SetAttribute("PhaseSyncGroup", "-7");
    for (int i = 0; i < 3000; ++i) {
        MXMLItem& target = lfo.AddSubItem("Parameter");
        target.SetAttribute("ParameterName", i % 2 ? "Volume" : "No such parameter");
        target.SetAttribute("Value", "nan");
        target.SetAttribute("Range", "-4");
    }
    MMemoryStream out;
    WriteCompressed(root, out, "utf-8");
    sonvera_test::LogCapture log;
    ASSERT_TRUE(plugin->ReadChunk(out.Data(), static_cast<size_t>(out.Size())));
    MLFO& loaded = plugin->Modulators().At(0);
    EXPECT_EQ(loaded.TargetCount(), MLFO::MaxTargets);
    EXPECT_EQ(loaded.mode, LFOModeNormal) << "an unknown mode name";
    EXPECT_DOUBLE_EQ(loaded.Value(LFOFrequency), 1.0) << "limited to the range";
    EXPECT_EQ(loaded.phaseSyncGroup, 0);
    EXPECT_EQ(loaded.TargetAt(0).index, -1) << "a name no parameter has";
    EXPECT_EQ(loaded.TargetAt(1).index, Index(*plugin, "Volume"));
    EXPECT_DOUBLE_EQ(loaded.TargetAt(1).range.range, 0.0);
    bool cut = false, unknown = false;
    for (const std::string& line : log.lines) {
        cut = cut || line.find("at most 1024 targets") != std::string::npos;
        unknown = unknown || line.find("No such parameter") != std::string::npos;
    }
    EXPECT_TRUE(cut);
    EXPECT_TRUE(unknown);
    loaded.Setting(LFOEnabled).boolValue = 1;
    RunBlocks(*plugin, 2);  // runs without harm
}

TEST(MIDIControllerTables, StateRoundTripsAndAStateWithoutThemClearsTheSlots) {
    auto first = sonvera_test::NewVocoder();
    MIDIControllers& tables = first->Controllers();
    tables.controllersEnabled = tables.noteControllersEnabled = true;
    for (int32_t i : {0, 5, 31}) {
        MIDIControllerSlot& slot = tables.controllers[i];
        slot = {true,
                Index(*first, i == 5 ? "LFO 2 Frequency" : "Volume"),
                {0.1 * (i % 7), 0.9, 0.5, i % 5},
                i % 17,
                i + 100,
                i == 5};
        NoteControllerSlot& note = tables.notes[i];
        note = {true, Index(*first, "Panorama"), i % 6, i % 3, 40 + i, 0.25, 0.75};
    }
    tables.presetSwitch = {true, 4, SourcePitchBend, 0.0};
    const std::vector<uint8_t> chunk = first->WriteChunk();
    const std::string text = sonvera_test::ChunkText(chunk);
    for (const char* element : {"<Controller31", "<NoteController5", "Mode=\"Switch (all octaves)\"",
                                "ParameterName=\"LFO 2 Frequency\"", "ControllersEnabled=\"1\""})
        EXPECT_NE(text.find(element), std::string::npos) << element;
    EXPECT_EQ(text.find("<Controller1 "), std::string::npos) << "slots not in use are not written";

    auto second = sonvera_test::NewVocoder();
    ASSERT_TRUE(second->ReadChunk(chunk.data(), chunk.size()));
    EXPECT_EQ(sonvera_test::ChunkText(second->WriteChunk()), text);
    EXPECT_EQ(second->WriteChunk(), chunk);
    EXPECT_EQ(second->Controllers().controllers[5].index, Index(*second, "LFO 2 Frequency"));
    EXPECT_EQ(second->Controllers().presetSwitch.controller, SourcePitchBend);

    MXMLItem root;
    MMemoryStream in(const_cast<uint8_t*>(chunk.data()), chunk.size());
    ASSERT_TRUE(LoadWithFallback(root, in));
    root.RemoveSubItem("Controllers");
    root.RemoveSubItem("NoteControllers");
    root.RemoveSubItem("PreviousNextPresetController");
    MMemoryStream out;
    WriteCompressed(root, out, "utf-8");
    ASSERT_TRUE(second->ReadChunk(out.Data(), static_cast<size_t>(out.Size())));
    for (int32_t i = 0; i < MIDIControllers::Slots; ++i) {
        EXPECT_FALSE(second->Controllers().controllers[i].enabled) << i;
        EXPECT_FALSE(second->Controllers().notes[i].enabled) << i;
    }
    EXPECT_FALSE(second->Controllers().presetSwitch.enabled);
}

TEST(MIDIControllerTables, LearnTakesTheSourceAndChannelOfTheLastEvent) {
    auto plugin = sonvera_test::NewVocoder();
    EXPECT_FALSE(plugin->LearnMIDIController(0)) << "nothing to learn before any event";
    struct Case {
        uint8_t bytes[3];
        int32_t slot;  // -1: the preset switch
        bool learnt;
        int32_t source, channel;
    } cases[] = {
        {{0xB2, 7, 64}, 5, true, 7, 3},
        {{0xE0, 0, 64}, 6, true, SourcePitchBend, 1},
        {{0xDF, 30, 0}, 7, true, SourceAftertouch, 16},
        {{0x91, 60, 90}, 8, true, SourceVelocityOn, 2},
        {{0xB0, 64, 127}, -1, true, 64, 1},
        {{0x90, 60, 90}, -1, false, 0, 0},  // a note cannot step presets
        {{0xB0, 1, 0}, MIDIControllers::Slots, false, 0, 0},
    };
    for (const Case& c : cases) {
        plugin->ProcessMIDIEvent(0, c.bytes);
        EXPECT_EQ(plugin->LearnMIDIController(c.slot), c.learnt) << c.slot;
        if (!c.learnt) continue;
        MIDIControllers& tables = plugin->Controllers();
        const int32_t source = c.slot < 0 ? tables.presetSwitch.controller : tables.controllers[c.slot].controller;
        const int32_t channel = c.slot < 0 ? tables.presetSwitch.channel : tables.controllers[c.slot].channel;
        EXPECT_EQ(source, c.source) << c.slot;
        EXPECT_EQ(channel, c.channel) << c.slot;
    }
    // A learnt slot moves its parameter from its own channel only.
    MIDIControllers& tables = plugin->Controllers();
    tables.controllersEnabled = true;
    tables.controllers[5].index = Index(*plugin, "Panorama");
    tables.controllers[5].range = {0.0, 1.0, 1.0, RangeInterval};
    const uint8_t otherChannel[3] = {0xB3, 7, 127}, ownChannel[3] = {0xB2, 7, 127};
    plugin->ProcessMIDIEvent(0, otherChannel);
    EXPECT_NE(plugin->Parameters().GetParameter(Index(*plugin, "Panorama")), 1.0);
    plugin->ProcessMIDIEvent(0, ownChannel);
    EXPECT_EQ(plugin->Parameters().GetParameter(Index(*plugin, "Panorama")), 1.0);
}

// Under the sustain pedal a key-up does not end the note for anything that
// follows notes: the note controllers, the velocity sources, pitch following
// and the modulators' envelopes all hear its end when the pedal goes up.
TEST(MIDIControllerTables, ThePedalHoldsNotesForEveryoneUntilItGoesUp) {
    auto plugin = sonvera_test::NewVocoder();
    MIDIControllers& tables = plugin->Controllers();
    tables.controllersEnabled = tables.noteControllersEnabled = true;
    const int32_t volume = Index(*plugin, "Volume"), pan = Index(*plugin, "Panorama");
    const int32_t ratio = Index(*plugin, "Ratio");
    NoteControllerSlot& gate = tables.notes[0];
    gate = {};
    gate.enabled = true, gate.index = volume, gate.mode = NoteOnOff, gate.note = 48;
    gate.minimum = 0.1, gate.maximum = 0.9;
    NoteControllerSlot& pitch = tables.notes[1];
    pitch = {};
    pitch.enabled = true, pitch.index = pan, pitch.mode = NoteLogarithmic, pitch.minimum = 0.0, pitch.maximum = 1.0;
    MIDIControllerSlot& velocity = tables.controllers[0];
    velocity.enabled = true, velocity.index = ratio, velocity.controller = SourceVelocityOnAndOff;
    velocity.range = {0.0, 1.0, 1.0, RangeInterval};
    MLFO& envelope = plugin->Modulators().At(0);
    envelope.mode = LFOModeEnvelope;
    envelope.Setting(LFOEnabled).boolValue = 1;
    MParameterRegistry& parameters = plugin->Parameters();
    auto send = [&](uint8_t status, uint8_t a, uint8_t b) {
        const uint8_t bytes[3] = {status, a, b};
        plugin->ProcessMIDIEvent(0, bytes);
    };

    send(0xB0, 64, 127);  // pedal down
    send(0x90, 48, 100);
    EXPECT_DOUBLE_EQ(parameters.GetParameter(volume), 0.9);
    const double struck = parameters.GetParameter(ratio);
    EXPECT_GT(struck, 0.5);
    send(0x80, 48, 64);  // key up, the pedal holds the note
    EXPECT_DOUBLE_EQ(parameters.GetParameter(volume), 0.9) << "an On/Off controller stays on";
    EXPECT_DOUBLE_EQ(parameters.GetParameter(ratio), struck) << "the note-off velocity is not heard yet";
    EXPECT_TRUE(envelope.NoteHeld()) << "the envelope is still held";
    const double before = parameters.GetParameter(pan);
    send(0xE0, 0x7F, 0x7F);  // bend up: the held note follows
    EXPECT_GT(parameters.GetParameter(pan), before);
    send(0xB0, 64, 0);  // pedal up: now the note ends
    EXPECT_DOUBLE_EQ(parameters.GetParameter(volume), 0.1);
    EXPECT_DOUBLE_EQ(parameters.GetParameter(ratio), 0.0) << "the note ends at velocity 0";
    EXPECT_FALSE(envelope.NoteHeld());
}

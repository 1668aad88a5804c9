// The VST 2.4 adapter in process: what a host cannot trigger from outside.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "entry/Exports.h"
#include "hosts/vst2/MAudioPluginVSTAdapter.h"
#include "tests/framework/plugin/PipelineTestSupport.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/hosts/vst2/InProcessAdapter.h"
#include "tests/hosts/vst2/VstTestHost.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScratchConfigFolder.h"

using namespace Vst2;
using sonvera_test::VstTestHost;

namespace {

class VstAdapterTest : public testing::Test {
protected:
    void SetUp() override { adapter_ = sonvera_test::InProcessAdapter(host_); }

    void Block(int frames = 64) {
        std::vector<float> in(frames, 0.0f), outL(frames), outR(frames);
        float* inputs[4] = {in.data(), in.data(), in.data(), in.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        adapter_->processReplacing(inputs, outputs, frames);
    }

    // One three-byte MIDI message through processEvents.
    void SendMIDI(uint8_t status, uint8_t data1, uint8_t data2) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        struct {
            int32_t numEvents;
            intptr_t reserved;
            VstEvent* events[1];
        } list{1, 0, {reinterpret_cast<VstEvent*>(&event)}};
        adapter_->processEvents(reinterpret_cast<VstEvents*>(&list));
    }

    // The host reports a playing transport.
    void HostPlaying(double tempo, double position, int32_t numerator, int32_t denominator) {
        host_.timeValid = true;
        host_.time.tempo = tempo;
        host_.time.ppqPos = position;
        host_.time.timeSigNumerator = numerator;
        host_.time.timeSigDenominator = denominator;
        host_.time.flags = kVstTransportPlaying;
    }

    VstTestHost::Instance host_;
    std::unique_ptr<MAudioPluginVSTAdapter> adapter_;
};

}  // namespace

TEST_F(VstAdapterTest, AutomationReportsIgnoreTheHostsEcho) {
    corvane::MParameterRegistry& parameters = adapter_->Plugin().Parameters();
    parameters.SetParameter(0, 0.5, true);
    // The framework reports a value; the host echoes setParameter from inside the report.
    parameters.AdapterAt(0).SendAutomationValue(0, 0.75);
    ASSERT_EQ(host_.automation.size(), 1u);
    EXPECT_EQ(host_.automation[0], std::make_pair(0, 0.75f));
    EXPECT_DOUBLE_EQ(parameters.GetParameter(0), 0.5) << "the echo was not applied";
    adapter_->setParameter(0, 0.25f);
    EXPECT_DOUBLE_EQ(parameters.GetParameter(0), 0.25) << "an ordinary host change is";
    adapter_->SendAutomation(parameters.ParameterCount() + 5, 1.0);
    EXPECT_EQ(host_.automation.size(), 1u) << "indexes past the list are not reported";
}

TEST_F(VstAdapterTest, MIDIInAndOut) {
    SendMIDI(0x93, 64, 90);
    EXPECT_EQ(adapter_->Plugin().HeldCount(3, 64), 0) << "delivered with the next block";
    Block();
    EXPECT_EQ(adapter_->Plugin().HeldCount(3, 64), 1);

    const uint8_t cc[3] = {0xB1, 7, 100};
    adapter_->GenerateMIDIEvent(12, cc, 3);
    Block();
    ASSERT_EQ(host_.midiOut.size(), 1u);
    EXPECT_EQ(host_.midiOut[0], (std::vector<uint8_t>{0xB1, 7, 100, 0}));
    Block();
    EXPECT_EQ(host_.midiOut.size(), 1u) << "each event goes out once";
}

TEST_F(VstAdapterTest, TransportJumpsAndPlayingState) {
    HostPlaying(120.0, 0.0, 6, 8);
    host_.time.barStartPos = 3.26;
    Block();
    EXPECT_TRUE(adapter_->PlayingChanged());
    EXPECT_DOUBLE_EQ(adapter_->Plugin().Context().barStart, 3.5) << "on the eighth-note grid";
    EXPECT_DOUBLE_EQ(adapter_->Plugin().Context().cycleStart, -1.0);
    host_.time.ppqPos = 2.0;
    Block();
    EXPECT_FALSE(adapter_->TransportJumped()) << "2 quarter notes is still continuous";
    EXPECT_FALSE(adapter_->PlayingChanged());
    host_.time.ppqPos = 4.5;
    Block();
    EXPECT_TRUE(adapter_->TransportJumped());
    host_.time.flags = 0;
    Block();
    EXPECT_TRUE(adapter_->PlayingChanged());
    EXPECT_FALSE(adapter_->Plugin().Context().playing);
}

TEST_F(VstAdapterTest, SampleRatesAndLatencyReports) {
    sonvera_test::LogCapture log;
    adapter_->setSampleRate(0.0f);
    EXPECT_EQ(adapter_->SampleRate(), 0.0);
    EXPECT_NE(adapter_->Plugin().ProcessingSampleRate(), 0.0) << "no re-initialisation below 100 Hz";
    adapter_->setSampleRate(96000.0f);
    EXPECT_EQ(adapter_->Plugin().ProcessingSampleRate(), 96000.0);
    const int before = host_.ioChanged;
    adapter_->ReportLatency(31);
    EXPECT_EQ(adapter_->Effect()->initialDelay, 31);
    EXPECT_EQ(host_.ioChanged, before + 1);
    EXPECT_EQ(log.lines.back(), "Latency: 31");
}

TEST(VstAdapterTexts, LongNamesAreCutTo24Characters) {
    auto plugin = std::make_unique<corvane::MQuorlithAudioEffectPlugin>();
    struct LongNamed : sonvera_test::RecordingEffect {
        LongNamed() { Gain().name = "A parameter name of thirty ch."; }
    };
    ASSERT_TRUE(plugin->Initialize("Test", "Quorlith", [](void* object, int64_t command, corvane::MPluginArguments* a) {
        auto* effect = static_cast<LongNamed*>(object);
        if (effect == nullptr) effect = new LongNamed();
        if (command == corvane::PluginCommand::GetObject) return corvane::PointerResult(effect);
        corvane::MPluginArguments empty;
        return effect->Dispatch(command, a != nullptr ? *a : empty);
    }));
    VstTestHost::pendingVersion = 2400;
    MAudioPluginVSTAdapter adapter(VstTestHost::Callback, std::move(plugin));
    char name[64];
    std::memset(name, 0x7F, sizeof name);
    adapter.getParameterName(0, name);
    EXPECT_STREQ(name, "A parameter name of thir");
    EXPECT_EQ(name[26], 0x7F);
}

TEST_F(VstAdapterTest, TransportWithoutAnAnswerIsNotGiven) {
    HostPlaying(140.0, 16.0, 4, 4);
    Block();
    const corvane::MProcessingContext& context = adapter_->Plugin().Context();
    EXPECT_DOUBLE_EQ(context.tempo, 140.0);
    adapter_->Plugin().transportRefresh[0] = false;
    host_.timeValid = false;  // the host stops answering
    Block();
    EXPECT_TRUE(adapter_->Plugin().transportRefresh[0]) << "set before every block";
    EXPECT_FALSE(context.transportValid);
    EXPECT_EQ(context.tempo, -1.0);
    EXPECT_EQ(context.songPosition, -1.0);
    EXPECT_EQ(context.timeSignatureNumerator, -1);

    host_.timeValid = true;
    adapter_->Plugin().SetHostSynchronisation(false);
    Block();
    EXPECT_EQ(context.tempo, -1.0) << "synchronisation off: the host is not asked";
    adapter_->Plugin().SetHostSynchronisation(true);

    // MIDI arriving refreshes the bar start at once.
    host_.time.barStartPos = 8.0;
    Block();
    host_.time.barStartPos = 12.0;
    SendMIDI(0x90, 60, 100);
    EXPECT_DOUBLE_EQ(context.barStart, 12.0);
}

// A controller mapping on CC 7 moves "Volume" in the block that delivers it,
// on its channel only; pitch-bend and aftertouch map as sources 129 and 128.
TEST_F(VstAdapterTest, MIDIControllersMoveTheirParameters) {
    corvane::MIDIControllers& tables = adapter_->Plugin().Controllers();
    tables.controllersEnabled = true;
    const int32_t sources[3] = {7, corvane::SourcePitchBend, corvane::SourceAftertouch};
    for (int32_t i = 0; i < 3; ++i)  // Volume, Panorama, Carrier volume
        tables.controllers[i] = {true, i, {0.0, 1.0, 1.0, corvane::RangeInterval}, i == 0 ? 2 : 0, sources[i], false};
    struct Case {
        uint8_t status, data1, data2;
        int32_t parameter;
        double expected;
    } cases[] = {
        {0xB1, 7, 127, 0, 1.0},                        // channel 2
        {0xB2, 7, 0, 0, 1.0},                          // channel 3: not this slot's
        {0xB1, 7, 0, 0, 0.0},   {0xE5, 0, 0, 1, 0.0},  // pitch-bend fully down
        {0xE5, 0, 64, 1, 0.5},                         // centre
        {0xD0, 127, 0, 2, 1.0},                        // channel aftertouch
    };
    for (const Case& c : cases) {
        SendMIDI(c.status, c.data1, c.data2);
        Block();
        EXPECT_NEAR(adapter_->Plugin().Parameters().GetParameter(c.parameter), c.expected, 2e-3)
            << int(c.status) << " " << int(c.data1);
    }

    // A note controller follows the played note on its channel: logarithmic
    // frequency from 20 Hz (0) to 20 kHz (1).
    tables.noteControllersEnabled = true;
    tables.notes[0] = {true, 1, corvane::NoteLogarithmic, 1, 48, 0.0, 1.0};
    for (uint8_t note : {69, 93}) {
        SendMIDI(0x90, note, 100);
        Block();
        const double hertz = 440.0 * std::exp2((note - 69) / 12.0);
        EXPECT_NEAR(adapter_->Plugin().Parameters().GetParameter(1), std::log10(hertz / 20.0) / 3.0, 1e-6) << int(note);
        SendMIDI(0x80, note, 0);
    }
    SendMIDI(0x91, 40, 100);  // channel 2: not this slot's
    Block();
    EXPECT_NEAR(adapter_->Plugin().Parameters().GetParameter(1), std::log10(440.0 * 4 / 20.0) / 3.0, 1e-6);
}

// The echo of our own report is recognised on the reporting thread only: a
// host writing parameters from another thread meanwhile loses nothing, even
// when its automation callback is slow.
TEST_F(VstAdapterTest, HostWritesFromAnotherThreadSurviveASlowAutomationReport) {
    corvane::MParameterRegistry& parameters = adapter_->Plugin().Parameters();
    host_.automationDelay = std::chrono::microseconds(200);
    host_.echoAutomation = true;
    std::atomic<bool> reporting{true};
    std::thread editor([&] {
        for (int i = 0; reporting; ++i) adapter_->Plugin().AutomateHost(0, (i % 10) / 10.0);
    });
    int32_t lost = 0;
    for (int32_t i = 0; i < 2000; ++i) {
        const float value = static_cast<float>(i % 100) / 100.0f;
        adapter_->setParameter(1, value);
        lost += std::fabs(parameters.GetParameter(1) - value) > 1e-6 ? 1 : 0;
    }
    reporting = false;
    editor.join();
    EXPECT_EQ(lost, 0) << "host writes dropped as if they were echoes";
}

// Hosts may send thousands of events in one block: 4096 are kept, and past
// that every note still ends; what was lost is logged once, from idle.
TEST_F(VstAdapterTest, AMIDIFloodKeepsTheLastControllerValueAndEveryNoteEnd) {
    corvane::MIDIControllers& tables = adapter_->Plugin().Controllers();
    tables.controllersEnabled = tables.noteControllersEnabled = true;
    tables.controllers[0] = {true, 0, {0.0, 1.0, 1.0, corvane::RangeInterval}, 0, 7, false};  // CC 7: Volume
    tables.notes[0] = {true, 2, corvane::NoteOnOffAllOctaves, 0, 48, 0.0, 1.0};               // Carrier volume
    auto flood = [&](const std::vector<std::array<uint8_t, 3>>& messages) {
        std::vector<VstMidiEvent> events(messages.size());
        std::vector<VstEvent*> pointers;
        for (size_t i = 0; i < messages.size(); ++i) {
            events[i].type = kVstMidiType;
            events[i].byteSize = sizeof(VstMidiEvent);
            for (int b = 0; b < 3; ++b) events[i].midiData[b] = static_cast<char>(messages[i][static_cast<size_t>(b)]);
            pointers.push_back(reinterpret_cast<VstEvent*>(&events[i]));
        }
        std::vector<uint8_t> list(sizeof(VstEvents) + pointers.size() * sizeof(VstEvent*));
        auto* header = reinterpret_cast<VstEvents*>(list.data());
        header->numEvents = static_cast<int32_t>(pointers.size());
        std::memcpy(header->events, pointers.data(), pointers.size() * sizeof(VstEvent*));
        adapter_->processEvents(header);
        Block();
    };
    corvane::MParameterRegistry& parameters = adapter_->Plugin().Parameters();

    std::vector<std::array<uint8_t, 3>> controllers(2000, {0xB0, 7, 127});
    controllers.back() = {0xB0, 7, 0};
    flood(controllers);
    EXPECT_DOUBLE_EQ(parameters.GetParameter(0), 0.0) << "the last of 2000 events is heard";
    EXPECT_EQ(adapter_->Plugin().LostMIDI(), 0u);

    // 4096 notes on (12 of them on C), then far more than fits: their ends
    // must still arrive, the rest is counted.
    std::vector<std::array<uint8_t, 3>> notes;
    for (int i = 0; i < 4096; ++i) notes.push_back({0x90, static_cast<uint8_t>(i % 128), 100});
    for (int i = 0; i < 3000; ++i) notes.push_back({0xB0, 1, static_cast<uint8_t>(i % 128)});
    for (int i = 0; i < 4096; ++i) notes.push_back({0x80, static_cast<uint8_t>(i % 128), 0});
    sonvera_test::LogCapture log;
    flood(notes);
    EXPECT_DOUBLE_EQ(parameters.GetParameter(2), 0.0) << "every C ended";
    for (int n = 0; n < 128; ++n) EXPECT_EQ(adapter_->Plugin().HeldCount(0, n), 0) << n;
    EXPECT_EQ(adapter_->Plugin().LostMIDI(), 3000u) << "the controllers that did not fit";
    host_.effect->dispatcher(host_.effect, effIdle, 0, 0, nullptr, 0.0f);
    host_.effect->dispatcher(host_.effect, effIdle, 0, 0, nullptr, 0.0f);
    size_t reports = 0;
    for (const std::string& line : log.lines) reports += line.rfind("MIDI events lost: 3000", 0) == 0 ? 1 : 0;
    EXPECT_EQ(reports, 1u) << "logged once";
}

// A preset step asked by MIDI is taken within milliseconds, with no editor
// open and no idle call from the host; steps that arrive together add up.
TEST_F(VstAdapterTest, AMIDIControllerStepsThroughPresetsWithoutIdleCalls) {
    sonvera_test::ScratchConfigFolder scratch("sonvera-vst-presets");
    corvane::MQuorlithAudioEffectPlugin& plugin = adapter_->Plugin();
    sonvera_test::UseRatioPresetsSwitchedByCC1(plugin);
    const auto reaches = [&](int32_t index) {
        for (int i = 0; i < 400 && plugin.Presets().CurrentIndex() != index; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return plugin.Presets().CurrentIndex() == index;
    };

    const int32_t ratio = 7;
    SendMIDI(0xB0, 1, 100);  // up through 2/3: next
    Block();
    ASSERT_TRUE(reaches(1));
    EXPECT_NEAR(plugin.Parameters().GetParameter(ratio), 0.4, 1e-9);
    SendMIDI(0xB0, 1, 127);  // staying above: nothing more
    SendMIDI(0xB0, 1, 10);   // down through 1/3: previous
    SendMIDI(0xB0, 1, 10);
    SendMIDI(0xB0, 1, 0);
    Block();
    ASSERT_TRUE(reaches(0));
    EXPECT_NEAR(plugin.Parameters().GetParameter(ratio), 0.2, 1e-9);
    // +1 -1 0 -1 from the first preset wraps to the last, however the steps are taken.
    for (uint8_t value : {90, 20, 50, 10}) SendMIDI(0xB0, 1, value);
    Block();
    ASSERT_TRUE(reaches(2));
    EXPECT_NEAR(plugin.Parameters().GetParameter(ratio), 0.6, 1e-9);
    host_.effect->dispatcher(host_.effect, effIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(plugin.Presets().CurrentIndex(), 2) << "an idle call takes no step twice";
}

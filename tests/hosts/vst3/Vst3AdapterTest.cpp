// The VST3 adapter in process: what a host cannot observe from outside.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "hosts/vst3/MAudioPluginVST3Adapter.h"
#include "tests/framework/plugin/PipelineTestSupport.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/hosts/vst3/Vst3TestHost.h"
#include "tests/support/ScratchConfigFolder.h"

using Vst3::MAudioPluginVST3Adapter;

namespace {

class Vst3AdapterTest : public testing::Test {
protected:
    void SetUp() override {
        adapter_ = std::make_unique<MAudioPluginVST3Adapter>(sonvera_test::NewVocoder());
        ASSERT_EQ(adapter_->initialize(application_.Pointer()), V3_OK);
    }
    void TearDown() override { adapter_->terminate(); }

    sonvera_test::HostApplication application_;
    std::unique_ptr<MAudioPluginVST3Adapter> adapter_;
};

}  // namespace

TEST_F(Vst3AdapterTest, SetupProcessingRoundsTheSampleRate) {
    EXPECT_EQ(adapter_->HostName(), Vst3::HostName);
    struct Case {
        double rate;
        double expected;
    } cases[] = {{44100.4, 44100.0}, {44100.5, 44101.0}, {50.0, 44101.0}};  // 50: nothing changes
    for (const Case& c : cases) {
        v3_process_setup setup{V3_REALTIME, V3_SAMPLE_32, 512, c.rate};
        EXPECT_EQ(adapter_->setupProcessing(&setup), V3_OK);
        EXPECT_EQ(adapter_->Plugin().ProcessingSampleRate(), c.expected) << c.rate;
    }
    v3_process_setup doubles{V3_REALTIME, V3_SAMPLE_64, 512, 96000.0};
    EXPECT_EQ(adapter_->setupProcessing(&doubles), V3_FALSE) << "64-bit samples are refused";
    EXPECT_EQ(adapter_->Plugin().ProcessingSampleRate(), 96000.0) << "after the rate was applied";
}

// Each direction of a bus-arrangement request stands on its own.
TEST_F(Vst3AdapterTest, BusArrangementsApplyWhatIsSupported) {
    const v3_speaker_arrangement mono = V3_SPEAKER_M, stereo = Vst3::StereoArrangement,
                                 surround = Vst3::EightChannelArrangement;
    v3_speaker_arrangement current = 0;
    EXPECT_EQ(adapter_->setBusArrangements(&mono, 1, &stereo, 1), V3_OK) << "only the input changes";
    adapter_->getBusArrangement(V3_INPUT, 0, &current);
    EXPECT_EQ(current, mono);
    EXPECT_EQ(adapter_->Plugin().Counts().hostInputs, 1);
    EXPECT_EQ(adapter_->setBusArrangements(&stereo, 1, &surround, 1), V3_FALSE) << "eight outputs are refused";
    adapter_->getBusArrangement(V3_INPUT, 0, &current);
    EXPECT_EQ(current, stereo) << "the supported direction is still applied";
    adapter_->getBusArrangement(V3_OUTPUT, 0, &current);
    EXPECT_EQ(current, stereo) << "the refused one keeps its arrangement";
    // Main input and side-chain share one arrangement: different ones are refused.
    const v3_speaker_arrangement split[2] = {mono, stereo};
    EXPECT_EQ(adapter_->setBusArrangements(split, 2, &mono, 1), V3_FALSE);
    for (int32_t bus : {0, 1}) {
        adapter_->getBusArrangement(V3_INPUT, bus, &current);
        EXPECT_EQ(current, stereo) << "input " << bus << " keeps what was accepted";
    }
    const v3_speaker_arrangement both[2] = {mono, mono};
    EXPECT_EQ(adapter_->setBusArrangements(both, 2, &stereo, 1), V3_OK);
    for (int32_t bus : {0, 1}) {
        adapter_->getBusArrangement(V3_INPUT, bus, &current);
        EXPECT_EQ(current, mono) << "input " << bus;
    }
}

TEST_F(Vst3AdapterTest, HandlerHearsAutomationAndLatency) {
    sonvera_test::ComponentHandler handler;
    adapter_->setComponentHandler(handler.Pointer());
    adapter_->SendAutomation(0, 0.25);
    adapter_->SendAutomation(adapter_->Plugin().Parameters().ParameterCount(), 0.5);  // past the list: nothing
    adapter_->SendBypassAutomation(true);
    ASSERT_EQ(handler.edits.size(), 2u);
    EXPECT_EQ(handler.edits[0], std::make_pair(v3_param_id(0), 0.25));
    EXPECT_EQ(handler.edits[1], std::make_pair(MAudioPluginVST3Adapter::BypassId, 1.0));
    adapter_->ReportLatency(31);
    ASSERT_EQ(handler.restarts.size(), 1u);
    EXPECT_EQ(handler.restarts[0], V3_RESTART_LATENCY_CHANGED);
    adapter_->setActive(true);  // activation reports through the latency query, not a restart
    EXPECT_EQ(handler.restarts.size(), 1u);
    adapter_->setComponentHandler(nullptr);
}

TEST_F(Vst3AdapterTest, NotesAndControllersReachTheFramework) {
    sonvera_test::EventList events;
    v3_event on{};
    on.type = V3_EVENT_NOTE_ON;
    on.note_on.channel = 2;
    on.note_on.pitch = 60;
    on.note_on.velocity = 0.8f;
    events.events.push_back(on);
    sonvera_test::ParameterChanges changes;
    changes.Add(MAudioPluginVST3Adapter::MIDIControllerBase + 64, {{0, 1.0}});  // sustain, channel 1
    std::vector<float> l(64), r(64), ol(64), orr(64);
    float* inputs[2] = {l.data(), r.data()};
    float* outputs[2] = {ol.data(), orr.data()};
    v3_audio_bus_buffers in{2, 0, {inputs}}, out{2, 0, {outputs}};
    v3_process_data data{};
    data.nframes = 64;
    data.num_input_buses = 1;
    data.num_output_buses = 1;
    data.inputs = &in;
    data.outputs = &out;
    data.input_events = events.Pointer();
    data.input_params = changes.Pointer();
    ASSERT_EQ(adapter_->process(&data), V3_OK);
    EXPECT_EQ(adapter_->Plugin().HeldCount(2, 60), 1);
    EXPECT_TRUE(adapter_->Plugin().SustainPedal(0));
    EXPECT_EQ(adapter_->getParamNormalized(MAudioPluginVST3Adapter::MIDIControllerBase + 64), 1.0);
}

// With no view, no editor and no idle call, a MIDI preset step is taken
// within milliseconds of the block that carried it.
TEST(Vst3AdapterPresets, AMIDIControllerStepsThroughPresetsWithNoView) {
    sonvera_test::ScratchConfigFolder scratch("sonvera-vst3-presets");
    MAudioPluginVST3Adapter adapter(sonvera_test::NewVocoder());
    sonvera_test::HostApplication application;
    ASSERT_EQ(adapter.initialize(application.Pointer()), V3_OK);
    corvane::MQuorlithAudioEffectPlugin& plugin = adapter.Plugin();
    sonvera_test::UseRatioPresetsSwitchedByCC1(plugin);
    adapter.setActive(true);
    std::vector<float> l(64), r(64), ol(64), orr(64);
    float* main[2] = {l.data(), r.data()};
    float* outputs[2] = {ol.data(), orr.data()};
    Vst3::StereoBlock block(main, main, outputs, 64);
    sonvera_test::ParameterChanges changes;
    changes.Add(MAudioPluginVST3Adapter::MIDIControllerBase + 1, {{0, 100.0 / 127.0}});  // up through 2/3
    block.data.input_params = changes.Pointer();
    ASSERT_EQ(adapter.process(&block.data), V3_OK);
    for (int i = 0; i < 400 && plugin.Presets().CurrentIndex() != 1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(plugin.Presets().CurrentIndex(), 1);
    EXPECT_NEAR(plugin.Parameters().GetParameter(7), 0.4, 1e-9);
    adapter.setActive(false);
    adapter.terminate();
}

// A change the plug-in makes during a block goes out with that block, never
// through the component handler on the audio thread.
TEST(Vst3AdapterAutomation, ChangesDuringABlockGoOutWithIt) {
    auto plugin = std::make_unique<sonvera_test::TestPlugin>();
    sonvera_test::TestPlugin& framework = *plugin;
    MAudioPluginVST3Adapter adapter(std::move(plugin));
    sonvera_test::HostApplication application;
    ASSERT_EQ(adapter.initialize(application.Pointer()), V3_OK);
    sonvera_test::ComponentHandler handler;
    adapter.setComponentHandler(handler.Pointer());
    framework.Effect().duringProcess = [&] { framework.AutomateHost(0, 0.75); };
    std::vector<float> l(64), r(64), ol(64), orr(64);
    float* main[2] = {l.data(), r.data()};
    float* outputs[2] = {ol.data(), orr.data()};
    Vst3::StereoBlock block(main, main, outputs, 64);
    sonvera_test::ParameterChanges out;
    block.data.output_params = out.Pointer();
    ASSERT_EQ(adapter.process(&block.data), V3_OK);
    EXPECT_TRUE(handler.edits.empty()) << "no handler call from the audio thread";
    ASSERT_EQ(out.queues.size(), 1u);
    EXPECT_EQ(out.queues[0].id, 0u);
    ASSERT_EQ(out.queues[0].points.size(), 1u);
    EXPECT_EQ(out.queues[0].points[0].second, 0.75);
    adapter.setComponentHandler(nullptr);
    adapter.terminate();
}

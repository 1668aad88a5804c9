// Buffers are sized when processing is set up: from the first block after
// activation on, neither entry allocates, at any upsampling factor, with
// blocks up to the announced maximum and modulators running.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hosts/vst2/MAudioPluginVSTAdapter.h"
#include "hosts/vst3/MAudioPluginVST3Adapter.h"
#include "hosts/vst3/Vst3HostObjects.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/hosts/vst2/InProcessAdapter.h"
#include "tests/hosts/vst3/Vst3TestHost.h"
#include "tests/support/AllocationCounter.h"

namespace {

constexpr int32_t MaxBlock = 512;
const int32_t BlockLengths[] = {MaxBlock, 1, 333, MaxBlock, 64};

// The state of a sound with the given upsampling and a modulator on the
// formant shift, which redesigns the bands every sub-block.
std::vector<uint8_t> StateWithUpsampling(corvane::MQuorlithAudioEffectPlugin& plugin, int32_t factor) {
    plugin.SetUpsampling(factor);
    corvane::MLFO& lfo = plugin.Modulators().At(0);
    lfo.AssignTarget(0, sonvera_test::Index(plugin, "Formant shift"), plugin.Parameters());
    lfo.Setting(corvane::LFOEnabled).boolValue = 1;
    return plugin.WriteChunk();
}

struct Audio {
    std::vector<float> in = std::vector<float>(MaxBlock, 0.1f), outL = std::vector<float>(MaxBlock),
                       outR = std::vector<float>(MaxBlock);
    float* inputs[4] = {in.data(), in.data(), in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
};

}  // namespace

TEST(FirstBlock, NeitherEntryAllocatesFromTheFirstBlockAtAnyUpsampling) {
    for (const int32_t factor : {1, 2, 4, 8}) {
        Audio audio;
        {
            sonvera_test::VstTestHost::Instance host;
            auto adapter = sonvera_test::InProcessAdapter(host);
            const std::vector<uint8_t> state = StateWithUpsampling(adapter->Plugin(), factor);
            adapter->setChunk(state.data(), static_cast<int32_t>(state.size()));
            adapter->setSampleRate(48000.0f);
            adapter->setBlockSize(MaxBlock);
            adapter->resume();
            sonvera_test::AllocationCounter counter;
            for (const int32_t n : BlockLengths) adapter->processReplacing(audio.inputs, audio.outputs, n);
            EXPECT_EQ(counter.Count(), 0u) << "VST 2.4, upsampling " << factor;
        }
        {
            Vst3::MAudioPluginVST3Adapter adapter(sonvera_test::NewVocoder());
            sonvera_test::HostApplication application;
            ASSERT_EQ(adapter.initialize(application.Pointer()), V3_OK);
            const std::vector<uint8_t> state = StateWithUpsampling(adapter.Plugin(), factor);
            ASSERT_TRUE(adapter.Plugin().ReadChunk(state.data(), state.size()));
            v3_process_setup setup{V3_REALTIME, V3_SAMPLE_32, MaxBlock, 48000.0};
            ASSERT_EQ(adapter.setupProcessing(&setup), V3_OK);
            adapter.setActive(true);
            {
                sonvera_test::AllocationCounter counter;
                for (const int32_t n : BlockLengths) {
                    Vst3::StereoBlock block(audio.inputs, audio.inputs + 2, audio.outputs, n);
                    ASSERT_EQ(adapter.process(&block.data), V3_OK);
                }
                EXPECT_EQ(counter.Count(), 0u) << "VST3, upsampling " << factor;
            }
            adapter.setActive(false);
            adapter.terminate();
        }
    }
}

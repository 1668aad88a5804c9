// The framework plug-in with the real vocoder, driven from two threads the
// way hosts do: audio on one, saves and loads on another.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "tests/framework/plugin/VocoderPlugin.h"

using namespace corvane;
using sonvera_test::NewVocoder;

namespace {

// Runs blocks until told to stop; every output sample must be written.
struct AudioThread {
    explicit AudioThread(MQuorlithAudioEffectPlugin& plugin) : plugin(plugin) {}
    void Run(const std::atomic<bool>& stop) {
        constexpr int32_t n = 64;
        std::vector<float> in[4], out[2];
        for (auto& channel : in) {
            channel.resize(n);
            for (int32_t i = 0; i < n; ++i) channel[i] = 0.25f * std::sin(0.05f * static_cast<float>(i + blocks));
        }
        for (auto& channel : out) channel.resize(n);
        float* inputs[16] = {in[0].data(), in[1].data()};
        inputs[8] = in[2].data();
        inputs[9] = in[3].data();
        float* outputs[8] = {out[0].data(), out[1].data()};
        while (!stop.load() || blocks < 200) {
            for (auto& channel : out) std::fill(channel.begin(), channel.end(), std::nanf(""));
            plugin.ProcessBlock(inputs, outputs, n, 1);
            for (auto& channel : out)
                for (float s : channel) unwritten += std::isnan(s) ? 1 : 0;
            ++blocks;
        }
    }
    MQuorlithAudioEffectPlugin& plugin;
    int64_t blocks = 0;
    int64_t unwritten = 0;
};

}  // namespace

TEST(Concurrency, SavesNeverCostABlock) {
    auto plugin = NewVocoder();
    AudioThread audio(*plugin);
    std::atomic<bool> stop{false};
    std::thread thread([&] { audio.Run(stop); });
    size_t lastSize = 0;
    for (int save = 0; save < 1000; ++save) lastSize = plugin->WriteChunk().size();
    stop = true;
    thread.join();
    EXPECT_GT(lastSize, 0u);
    EXPECT_EQ(plugin->AbandonedBlocks(), 0u) << "of " << audio.blocks << " blocks";
    EXPECT_EQ(audio.unwritten, 0);
}

// The audio thread beside a busy host and an open editor: it never waits for
// another thread (no lock it takes is waited for, no voluntary context
// switch), and it never gives up a block unless a load holds processing off.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "entry/PluginCreation.h"
#include "framework/core/ThreadCheck.h"
#include "tests/support/BusyHost.h"
#include "tests/support/ScratchConfigFolder.h"

using namespace corvane;
using sonvera_test::BusyHost;

namespace {

std::atomic<int> contractBreaches{0};
void CountBreach(const char*) { ++contractBreaches; }

struct AudioThreadRecord {
    int64_t blocks = 0, switches = 0, unwritten = 0;
    uint64_t waits = 0, abandoned = 0;
};

class AudioThreadWaits : public testing::Test {
protected:
    void SetUp() override {
        AudioThreadCheck::SetViolationHandler(CountBreach);
        contractBreaches = 0;
        plugin_ = CreateSonveraPlugin();
        ASSERT_NE(plugin_, nullptr);
        plugin_->SetHostSampleRate(48000.0);
        plugin_->InitProcessing();
        sonvera_test::MoveParametersEveryBlock(*plugin_);
    }
    void TearDown() override { AudioThreadCheck::SetViolationHandler(nullptr); }

    // Blocks of 128 samples on a thread of their own while `rounds` rounds of
    // host work run here.
    AudioThreadRecord RunBeside(int32_t rounds, bool withLoads) {
        AudioThreadRecord record;
        const uint64_t waitsBefore = MMutex::AudioThreadWaits();
        const uint64_t abandonedBefore = plugin_->AbandonedBlocks();
        std::atomic<bool> stop{false};
        std::thread audio([&] {
            constexpr int32_t n = 128;
            std::vector<float> in(n), out[2] = {std::vector<float>(n), std::vector<float>(n)};
            float* inputs[16] = {in.data(), in.data()};
            inputs[8] = inputs[9] = in.data();
            float* outputs[8] = {out[0].data(), out[1].data()};
            while (!stop.load() || record.blocks < 100) {
                for (int32_t i = 0; i < n; ++i)
                    in[static_cast<size_t>(i)] = 0.25f * std::sin(0.03f * static_cast<float>(record.blocks * n + i));
                for (auto& channel : out) std::fill(channel.begin(), channel.end(), std::nanf(""));
                const int64_t before = sonvera_test::VoluntarySwitches();
                plugin_->ProcessBlock(inputs, outputs, n, 1);
                record.switches += sonvera_test::VoluntarySwitches() - before;
                for (auto& channel : out)
                    for (float s : channel) record.unwritten += std::isnan(s) ? 1 : 0;
                ++record.blocks;
            }
        });
        BusyHost host(*plugin_);
        for (int32_t round = 0; round < rounds; ++round) host.Round(round, withLoads);
        stop = true;
        audio.join();
        record.waits = MMutex::AudioThreadWaits() - waitsBefore;
        record.abandoned = plugin_->AbandonedBlocks() - abandonedBefore;
        return record;
    }

    sonvera_test::ScratchConfigFolder folder_{"audio_thread_waits"};
    std::unique_ptr<MQuorlithAudioEffectPlugin> plugin_;
};

}  // namespace

TEST_F(AudioThreadWaits, SavesEditsAndTheEditorNeverMakeItWaitOrSkip) {
    const AudioThreadRecord record = RunBeside(160, false);
    EXPECT_EQ(record.waits, 0u) << "locks waited for in " << record.blocks << " blocks";
    EXPECT_EQ(record.switches, 0) << "voluntary context switches in " << record.blocks << " blocks";
    EXPECT_EQ(contractBreaches.load(), 0);
    EXPECT_EQ(record.abandoned, 0u) << "of " << record.blocks << " blocks";
    EXPECT_EQ(record.unwritten, 0);
}

TEST_F(AudioThreadWaits, LoadsHoldProcessingOffWithoutMakingItWait) {
    const AudioThreadRecord record = RunBeside(48, true);
    EXPECT_EQ(record.waits, 0u) << "locks waited for in " << record.blocks << " blocks";
    EXPECT_EQ(record.switches, 0) << "voluntary context switches in " << record.blocks << " blocks";
    EXPECT_EQ(contractBreaches.load(), 0);
    EXPECT_EQ(record.unwritten, 0) << "a block given up still writes silence";
}

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <complex>
#include <thread>

#include "framework/plugin/ChannelMode.h"
#include "tests/framework/plugin/PipelineTestSupport.h"
#include "tests/support/ParameterLookup.h"

using namespace corvane;
using namespace sonvera_test;

namespace {

std::vector<int32_t> SubBlocksOf(TestPlugin& plugin, int n) {
    plugin.Effect().subBlocks.clear();
    std::vector<float> l(n, 0.1f), r(n, 0.1f), ol(n), orr(n);
    plugin.Run(l, r, ol, orr);
    return plugin.Effect().subBlocks;
}

}  // namespace

TEST(Pipeline, StartsTheEffectAndRegistersParameters) {
    TestPlugin plugin;
    EXPECT_EQ(plugin.Effect().Channels(), 2);
    EXPECT_EQ(plugin.Effect().Rate(), 48000.0);
    // Gain, the four modulators, the four multiparameters (value and the
    // first target's range each), then Bypass and Automatic gain.
    MParameterRegistry& parameters = plugin.Parameters();
    const int32_t perModulator = sonvera_test::ParameterIndex(parameters, "LFO 2 Enabled") - 1;
    EXPECT_EQ(sonvera_test::ParameterIndex(parameters, "LFO 1 Enabled"), 1);
    for (int32_t m = 2; m <= 4; ++m)
        EXPECT_EQ(sonvera_test::ParameterIndex(parameters, "LFO " + std::to_string(m) + " Enabled"),
                  1 + (m - 1) * perModulator)
            << "every modulator has as many parameters";
    const int32_t multis = 1 + 4 * perModulator;
    const char* const multiLabels[4] = {"MultiParameter 1", "MultiParameter 1 Value", "MultiParameter 1 MaxValue",
                                        "MultiParameter 1 Range"};
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(parameters.GetParameterLabel(multis + i), multiLabels[i]);
    EXPECT_EQ(parameters.GetParameterLabel(multis + 3 * 4), "MultiParameter 4");
    EXPECT_EQ(parameters.AdapterAt(parameters.AdapterCount() - 3).flags, 3u) << "the first target's range";
    EXPECT_EQ(parameters.ParameterCount(), multis + 4 * 4 + 2);
    EXPECT_EQ(parameters.GetParameterName(multis + 4 * 4), "Bypass");
    EXPECT_EQ(parameters.AdapterAt(parameters.AdapterCount() - 1).flags, 73u);
    EXPECT_EQ(plugin.ProductName(), "Test");

    MQuorlithAudioEffectPlugin broken;
    EXPECT_FALSE(broken.Initialize("Broken", "Quorlith", [](void*, int64_t, MPluginArguments*) -> int64_t {
        return 0;
    })) << "an effect that cannot be created fails the start, guarded";
}

TEST(Pipeline, SubBlockSizes) {
    struct Case {
        int32_t maxBuffer, maxLFO;
        bool modulators;
        int n;
        std::vector<int32_t> expected;
    } cases[] = {
        {0, 256, false, 1000, {256, 256, 256, 232}},
        {0, 256, false, 256, {256}},
        {512, 64, false, 1000, {512, 488}},
        {512, 64, true, 1000, {64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 40}},
    };
    for (const Case& c : cases) {
        TestPlugin plugin;
        plugin.SetMaxBufferSize(c.maxBuffer);
        plugin.SetMaxLFOBlockSize(c.maxLFO);
        // A modulator switched on by the host makes the sub-blocks short.
        if (c.modulators)
            plugin.Parameters().SetParameter(sonvera_test::ParameterIndex(plugin.Parameters(), "LFO 1 Enabled"), 1.0,
                                             false);
        EXPECT_EQ(SubBlocksOf(plugin, c.n), c.expected) << c.maxBuffer << " " << c.modulators;
    }
}

TEST(Pipeline, ParameterRamps) {
    TestPlugin plugin;
    SubBlocksOf(plugin, 300);                         // the first block takes the current values
    plugin.Parameters().SetParameter(0, 0.5, false);  // gain 1 -> 2
    plugin.Effect().gains.clear();
    EXPECT_EQ(SubBlocksOf(plugin, 1000), (std::vector<int32_t>{256, 256, 256, 232}));
    const std::vector<double>& g = plugin.Effect().gains;
    ASSERT_EQ(g.size(), 4u);
    EXPECT_DOUBLE_EQ(g[0], 1.0) << "the first sub-block keeps the previous value";
    EXPECT_NEAR(g[1], 1.0 + 256.0 / 1000.0, 1e-12);
    EXPECT_NEAR(g[3], 1.0 + 768.0 / 1000.0, 1e-12);
    EXPECT_FALSE(plugin.Effect().Gain().IsTargetMode());
    EXPECT_DOUBLE_EQ(plugin.Effect().Gain().floatValues.value, 2.0) << "the target holds after the block";

    // A one-sample block never ramps; a tiny change does not ramp.
    plugin.Parameters().SetParameter(0, 0.75, false);
    plugin.Effect().gains.clear();
    SubBlocksOf(plugin, 1);
    EXPECT_EQ(plugin.Effect().gains, std::vector<double>{3.0});
    plugin.Parameters().SetParameter(0, 0.75 + 4e-6, false);
    plugin.Effect().gains.clear();
    EXPECT_EQ(SubBlocksOf(plugin, 1000), (std::vector<int32_t>{256, 256, 256, 232}));
    for (double gain : plugin.Effect().gains) EXPECT_DOUBLE_EQ(gain, 3.0 + 16e-6);

    // After values were replaced at once, the next block jumps.
    plugin.Parameters().SetParameter(0, 0.25, false);
    plugin.ParameterValuesReplaced();
    plugin.Effect().gains.clear();
    SubBlocksOf(plugin, 1000);
    for (double gain : plugin.Effect().gains) EXPECT_DOUBLE_EQ(gain, 1.0);
}

TEST(Pipeline, FullUpdateParametersRunUpdateBeforeTheNextBlock) {
    TestPlugin plugin;
    plugin.Effect().Gain().SetBit(0, ParameterBits::FullUpdate, true);
    const int before = plugin.Effect().updates;
    plugin.Parameters().SetParameter(0, 0.1, false);
    plugin.Parameters().SetParameter(0, 0.2, false);
    EXPECT_EQ(plugin.Effect().updates, before);
    SubBlocksOf(plugin, 64);
    SubBlocksOf(plugin, 64);
    EXPECT_EQ(plugin.Effect().updates, before + 1) << "once, before the effect next processes";

    // A design that fails on the audio thread keeps the previous one: the block still runs.
    plugin.Effect().failUpdate = true;
    plugin.Parameters().SetParameter(0, 0.3, false);
    EXPECT_EQ(SubBlocksOf(plugin, 64), std::vector<int32_t>{64});
}

TEST(Pipeline, MonoHostAndMissingSideChain) {
    TestPlugin plugin;
    plugin.SetHostChannels(1);
    plugin.InitProcessing();
    EXPECT_EQ(plugin.Effect().Channels(), 1);
    std::vector<float> mono = Tone(64, 1000.0, 48000.0), outL(64), outR(64);
    float* inputs[16] = {mono.data()};
    float* outputs[8] = {outL.data(), outR.data()};
    plugin.SetHostChannels(1, 2);  // a host that delivers one input channel and takes two outputs
    plugin.InitProcessing();
    plugin.ProcessBlock(inputs, outputs, 64, 1);
    for (int i = 0; i < 64; ++i) {
        EXPECT_FLOAT_EQ(plugin.Effect().seen[1][i], plugin.Effect().seen[0][i]) << "mono feeds both channels";
        EXPECT_FLOAT_EQ(outR[i], outL[i]) << "and both outputs are written";
        EXPECT_LT(std::fabs(plugin.Effect().seenSide[0][i]), 1e-14f) << "no side-chain reads silence";
    }
}

TEST(Pipeline, ChannelModesAndTheirDelayedChannel) {
    const int n = 256;
    {
        // Side with identical channels: the effect hears silence; both outputs carry the mid.
        TestPlugin plugin;
        plugin.SetChannelMode(ChannelSide);
        plugin.InitProcessing();
        EXPECT_EQ(plugin.Effect().Channels(), 1);
        std::vector<float> l = Tone(n, 500.0, 48000.0), r = l, ol(n), orr(n);
        plugin.Run(l, r, ol, orr);
        for (int i = 0; i < n; ++i) {
            EXPECT_LT(std::fabs(plugin.Effect().seen[0][i]), 1e-6f);
            EXPECT_NEAR(ol[i], l[i], 1e-6f);
            EXPECT_NEAR(orr[i], l[i], 1e-6f);
        }
    }
    {
        // Left only, with the latency of high-quality upsampling: the right channel arrives delayed.
        TestPlugin::SetHighQualityUpsampling(true);
        TestPlugin plugin;
        plugin.SetChannelMode(ChannelLeft);
        plugin.SetUpsampling(2);
        TestPlugin::SetHighQualityUpsampling(false);
        const int latency = plugin.Latency();
        EXPECT_GT(latency, 0);
        std::vector<float> l = Tone(n, 500.0, 48000.0), r = Tone(n, 700.0, 48000.0), ol(n), orr(n);
        plugin.Run(l, r, ol, orr);
        // The unprocessed channel also passes the resampling filters: compare past the onset.
        for (int i = 2 * latency; i < n; ++i) EXPECT_NEAR(orr[i], r[i - latency], 1e-3f) << i;
    }
    {
        TestPlugin plugin;
        plugin.SetChannelMode(ChannelLeftRightNegative);
        plugin.InitProcessing();
        std::vector<float> l = Tone(n, 500.0, 48000.0), r = Tone(n, 900.0, 48000.0), ol(n), orr(n);
        plugin.Run(l, r, ol, orr);
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(plugin.Effect().seen[1][i], -r[i], 1e-6f) << "the effect gets the right channel inverted";
            EXPECT_NEAR(orr[i], r[i], 1e-6f) << "and the output is turned back";
        }
    }
}

TEST(Pipeline, ChannelCountsFollowTheMode) {
    struct Case {
        int32_t mode, h;
        ChannelCounts expected;
    } cases[] = {
        {ChannelLeftRight, 2, {2, 2, 2, 2}}, {ChannelLeft, 2, {2, 2, 1, 2}},     {ChannelMid, 1, {1, 1, 1, 1}},
        {ChannelMidSide, 2, {2, 2, 2, 2}},   {ChannelSurround, 6, {6, 6, 3, 6}},
    };
    for (const Case& c : cases) {
        const ChannelCounts counts = ComputeChannelCounts(c.mode, c.h, c.h, true, 3);
        EXPECT_EQ(counts.hostInputs, c.expected.hostInputs) << c.mode;
        EXPECT_EQ(counts.hostOutputs, c.expected.hostOutputs) << c.mode;
        EXPECT_EQ(counts.effect, c.expected.effect) << c.mode;
        EXPECT_EQ(counts.working, c.expected.working) << c.mode;
    }
    EXPECT_EQ(ComputeChannelCounts(ChannelLeftRight, 2, 2, false, 8).hostInputs, 0);
    const ChannelCounts monoToStereo = ComputeChannelCounts(ChannelLeftRight, 1, 2, true, 8);
    EXPECT_EQ(monoToStereo.effect, 2) << "the stereo output is processed";
    EXPECT_EQ(ComputeChannelCounts(ChannelLeftRight, 2, 1, true, 8).effect, 2);
    EXPECT_STREQ(ChannelModeInfoFor(ChannelMidSide).name, "Mid + Side");
}

TEST(Pipeline, BypassPassesTheInputAlignedWithTheLatency) {
    TestPlugin::SetHighQualityUpsampling(true);
    TestPlugin plugin;
    plugin.SetUpsampling(4);
    TestPlugin::SetHighQualityUpsampling(false);
    const int latency = plugin.Latency();
    EXPECT_EQ(latency, 32);
    plugin.Parameters().SetParameter(sonvera_test::ParameterIndex(plugin.Parameters(), "Bypass"), 1.0, false);
    plugin.Effect().subBlocks.clear();
    const int n = 128;
    std::vector<float> l = Tone(n, 300.0, 48000.0), r = Tone(n, 600.0, 48000.0), ol(n), orr(n);
    plugin.Run(l, r, ol, orr);
    EXPECT_TRUE(plugin.Effect().subBlocks.empty()) << "the effect is not called";
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(ol[i], i >= latency ? l[i - latency] : 0.0f, 1e-6f);
        EXPECT_NEAR(orr[i], i >= latency ? r[i - latency] : 0.0f, 1e-6f);
    }
}

TEST(Pipeline, AutomaticGainControl) {
    struct Case {
        double effectGain, settled;
    } cases[] = {{2.0, 0.5}, {0.0, 1.0}, {1e4, 0.01}, {1e-4, 100.0}};
    for (const Case& c : cases) {
        TestPlugin plugin;
        plugin.Effect().Gain().floatValues = {0.0, 1e5, c.effectGain, c.effectGain, c.effectGain};
        plugin.Parameters().SetParameter(sonvera_test::ParameterIndex(plugin.Parameters(), "Automatic gain"), 1.0,
                                         false);
        std::vector<float> l = Tone(512, 440.0, 48000.0), r = l, ol(512), orr(512);
        double lowest = 1e9, highest = -1e9;
        for (int block = 0; block < 40; ++block) {
            plugin.Run(l, r, ol, orr);
            lowest = std::min(lowest, plugin.Agc().Gain());
            highest = std::max(highest, plugin.Agc().Gain());
        }
        EXPECT_NEAR(plugin.Agc().Gain(), c.settled, 1e-3 * c.settled) << c.effectGain;
        EXPECT_GE(lowest, 0.01);
        EXPECT_LE(highest, 100.0);
    }
}

// While processing is re-initialised on another thread the block is given up,
// but never leaves the host's buffers as they were: silence, or in bypass the
// dry input.
TEST(Pipeline, ABlockDuringInitialisationIsAbandonedWithSilence) {
    for (bool bypass : {false, true}) {
        TestPlugin plugin;
        plugin.Parameters().SetParameter(plugin.Parameters().ParameterCount() - 2, bypass ? 1.0 : 0.0, false);
        std::atomic<bool> held{false}, release{false};
        std::thread initialiser([&] {
            MAudioPlugin::ExclusiveAccess exclusive(plugin);
            held = true;
            while (!release) std::this_thread::yield();
        });
        while (!held) std::this_thread::yield();
        plugin.Effect().subBlocks.clear();
        std::vector<float> l(64, 0.5f), r(64, 0.25f), ol(64, 7.0f), orr(64, 7.0f);
        plugin.Run(l, r, ol, orr);
        release = true;
        initialiser.join();
        EXPECT_TRUE(plugin.Effect().subBlocks.empty());
        EXPECT_EQ(plugin.AbandonedBlocks(), 1u);
        EXPECT_EQ(ol[10], bypass ? 0.5f : 0.0f) << "bypass " << bypass;
        EXPECT_EQ(orr[63], bypass ? 0.25f : 0.0f) << "bypass " << bypass;
    }
}

TEST(Pipeline, AccumulatingHostsGetTheResultAdded) {
    TestPlugin plugin;
    std::vector<float> l(64, 0.25f), r(64, 0.5f), ol(64, 1.0f), orr(64, 1.0f);
    plugin.Run(l, r, ol, orr, 0);
    EXPECT_FLOAT_EQ(ol[10], 1.25f);
    EXPECT_FLOAT_EQ(orr[10], 1.5f);
}

// A state that changes the upsampling factor waits for the block in progress:
// the audio thread sizes its buffers by the factor.
TEST(Pipeline, ALoadedUpsamplingFactorWaitsForTheBlock) {
    TestPlugin plugin;
    std::thread loader;
    int32_t factorSeenInsideTheBlock = 0;
    bool started = false;
    plugin.Effect().duringProcess = [&] {
        if (started) return;
        started = true;
        loader = std::thread([&] {
            MXMLItem state("settings");
            state.SetAttribute("upsampling", "4");
            MStoreContext context(false, state);
            plugin.Store(context);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        factorSeenInsideTheBlock = plugin.Upsampling();
    };
    std::vector<float> l(512, 0.5f), r(512, 0.5f), ol(512), orr(512);
    plugin.Run(l, r, ol, orr);
    loader.join();
    EXPECT_EQ(factorSeenInsideTheBlock, 1) << "the factor changed under a running block";
    EXPECT_EQ(plugin.Upsampling(), 4);
    plugin.Run(l, r, ol, orr);
    EXPECT_EQ(plugin.Effect().Rate(), 4 * 48000.0);
}

// A host write in the middle of a ramp becomes the ramp's new target.
TEST(Pipeline, AWriteDuringARampRetargetsIt) {
    TestPlugin plugin;
    SubBlocksOf(plugin, 300);
    plugin.Parameters().SetParameter(0, 0.5, false);  // gain 1 -> 2
    int calls = 0;
    plugin.Effect().duringProcess = [&] {
        if (++calls == 2) plugin.Parameters().SetParameter(0, 0.75, false);  // 3, from the second sub-block on
    };
    plugin.Effect().gains.clear();
    SubBlocksOf(plugin, 1000);
    const std::vector<double>& g = plugin.Effect().gains;
    ASSERT_EQ(g.size(), 4u);
    EXPECT_NEAR(g[2], 1.256 + 256.0 * (3.0 - 1.256) / 744.0, 1e-9) << "heads for the new target";
    EXPECT_DOUBLE_EQ(plugin.Effect().Gain().floatValues.value, 3.0) << "the new target holds after the block";
    EXPECT_DOUBLE_EQ(plugin.Parameters().GetParameter(0), 0.75);
}

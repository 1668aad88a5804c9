// The framework plug-in driving the real vocoder, as a host adapter will.

#include <gtest/gtest.h>

#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "tests/effect/vocoder/VocoderTestSupport.h"
#include "tests/support/ParameterLookup.h"

using namespace corvane;
using namespace sonvera_test;

TEST(VocoderPipeline, ChannelNamesFromTheBusCount) {
    MQuorlithAudioEffectPlugin plugin;
    ASSERT_TRUE(plugin.Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface));
    EXPECT_EQ(plugin.Channels().inputNames, (std::vector<std::string>{"In L", "In R", "Sidechain L", "Sidechain R"}));
    EXPECT_EQ(plugin.Channels().outputNames, (std::vector<std::string>{"Out L", "Out R"}));
    const ChannelConfiguration three = ChannelConfiguration::Build(3, false);
    EXPECT_EQ(three.inputNames.back(), "Sidechain R 1") << "further buses count from 1";
    const ChannelConfiguration surround = ChannelConfiguration::Build(2, true);
    EXPECT_EQ(surround.inputNames[9], "Sidechain 1");
    EXPECT_EQ(surround.outputNames[7], "Out 7");
    const int32_t modulators = 4 * (sonvera_test::ParameterIndex(plugin.Parameters(), "LFO 2 Enabled") -
                                    sonvera_test::ParameterIndex(plugin.Parameters(), "LFO 1 Enabled"));
    const int32_t multiParameters = 4 * 4;
    EXPECT_EQ(plugin.Parameters().ParameterCount(), 26 + 12 * 32 + modulators + multiParameters + 2);
}

TEST(VocoderPipeline, PassesTheEffectsOutputThrough) {
    MQuorlithAudioEffectPlugin plugin;
    plugin.SetHostSampleRate(48000.0);
    ASSERT_TRUE(plugin.Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface));
    EffectDriver direct(2);

    const int n = 1000;
    std::vector<float> carL = Noise(n, 1), carR = Noise(n, 2), modL = Sine(n, 440.0), modR = Noise(n, 3);
    std::vector<float> outL(n), outR(n), refL(n), refR(n);
    float* inputs[16] = {carL.data(), carR.data()};
    inputs[8] = modL.data();
    inputs[9] = modR.data();
    float* outputs[8] = {outL.data(), outR.data()};
    plugin.ProcessBlock(inputs, outputs, n, 1);

    // The pipeline adds the anti-denormal offset to its copies of the inputs.
    auto offset = [](std::vector<float> v) {
        for (float& s : v) s += 1e-15f;
        return v;
    };
    std::vector<float> cL = offset(carL), cR = offset(carR), mL = offset(modL), mR = offset(modR);
    direct.Process({cL.data(), cR.data()}, {mL.data(), mR.data()}, {refL.data(), refR.data()}, n);
    EXPECT_EQ(outL, refL);
    EXPECT_EQ(outR, refR);
    EXPECT_EQ(carL, Noise(n, 1)) << "the host's buffers are left alone";

    // A parameter change through the framework reaches the effect before its next block.
    const int32_t bands = 21;  // global index of "Bands"
    ASSERT_EQ(plugin.Parameters().GetParameterName(bands), "Bands");
    plugin.Parameters().SetParameter(bands, 0.0, false);
    plugin.ProcessBlock(inputs, outputs, 64, 1);
    auto* effect = static_cast<sonvera::SonveraAudioEffectPlugin*>(plugin.Effect());
    EXPECT_EQ(effect->Bank().bandCount, 4);
}

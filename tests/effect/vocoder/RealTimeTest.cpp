#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "effect/vocoder/ScratchBuffer.h"
#include "tests/effect/vocoder/VocoderTestSupport.h"
#include "tests/support/AllocationCounter.h"

using namespace sonvera;
using namespace sonvera_test;

TEST(RealTime, SteadyStateProcessingNeverAllocates) {
    EffectDriver driver(2);
    driver.SetFloat(ParamWhitening, 0.3);
    driver.SetEnum(ParamMode, ModeMorph1);
    const std::vector<float> car = Noise(1024, 41), mod = Noise(1024, 43);
    std::vector<float> outL(1024), outR(1024);
    float* inputs[16] = {const_cast<float*>(car.data()), const_cast<float*>(car.data())};
    inputs[8] = inputs[9] = const_cast<float*>(mod.data());
    float* outputs[8] = {outL.data(), outR.data()};
    auto block = [&](int n) { driver.ProcessTables(inputs, outputs, n); };
    block(1024);  // the first block of this length may grow the buffers
    AllocationCounter counter;
    for (int i = 0; i < 1000; ++i) {
        if (i == 500) driver.effect->Parameter(ParamRatio).floatValues.value = 0.25;  // a ramp
        block(i % 3 == 0 ? 1024 : 200 + i % 300);
    }
    EXPECT_EQ(counter.Count(), 0u);
}

// Hosts automate band graph points from the audio thread; each change refits
// the curve and redesigns the bands before the next block.
TEST(RealTime, AutomatedBandGraphsNeverAllocate) {
    EffectDriver driver(2);
    for (int32_t g = 0; g < BandGraphCount; ++g) driver.effect->SetGraphEnabled(g, true);
    const std::vector<float> car = Noise(256, 45), mod = Noise(256, 47);
    std::vector<float> outL(256), outR(256);
    float* inputs[16] = {const_cast<float*>(car.data()), const_cast<float*>(car.data())};
    inputs[8] = inputs[9] = const_cast<float*>(mod.data());
    float* outputs[8] = {outL.data(), outR.data()};
    driver.ProcessTables(inputs, outputs, 256);
    AllocationCounter counter;
    for (int i = 0; i < 200; ++i) {
        corvane::MEnvelopeGraph& graph = driver.effect->Graph(i % BandGraphCount);
        corvane::MEnvelope::Point point = graph.PointAt(1);
        point.curvature = (i % 7) / 7.0;
        point.segmentType = i % corvane::SegmentTypeCount;
        graph.SetPoint(1, point);
        driver.effect->Update();
        driver.ProcessTables(inputs, outputs, 256);
    }
    EXPECT_EQ(counter.Count(), 0u);
}

TEST(RealTime, ScratchGrowsToThePowerOfTwoAndNeverShrinks) {
    ScratchBuffer buffer;
    buffer.Reserve(300);
    EXPECT_EQ(buffer.Capacity(), 512u);
    buffer.Reserve(100);
    EXPECT_EQ(buffer.Capacity(), 512u);
    buffer.Reserve(513);
    EXPECT_EQ(buffer.Capacity(), 1024u);
}

TEST(RealTime, NonFiniteInputDoesNotPoisonTheState) {
    EffectDriver driver(1);
    driver.SetFloat(ParamWhitening, 0.5);
    std::vector<float> car = Noise(256, 47), mod = Noise(256, 53);
    driver.ProcessMono(car, mod);
    std::vector<float> broken = car;
    broken[10] = std::numeric_limits<float>::quiet_NaN();
    broken[20] = std::numeric_limits<float>::infinity();
    std::vector<float> brokenMod = mod;
    brokenMod[30] = -std::numeric_limits<float>::infinity();
    driver.ProcessMono(broken, brokenMod);
    const std::vector<float> after = driver.ProcessMono(car, mod);
    for (float v : after) ASSERT_TRUE(std::isfinite(v));
    EXPECT_GT(Energy(after), 0.0);
}

TEST(RealTime, MissingBuffersReadSilenceAndWriteNowhere) {
    EffectDriver driver(2);
    const std::vector<float> car = Noise(256, 59);
    std::vector<float> outL(256);
    driver.Process({car.data(), nullptr}, {}, {outL.data(), nullptr}, 256);
    for (float v : outL) ASSERT_TRUE(std::isfinite(v));
    float* inputs[16] = {};
    float* outputs[8] = {};
    corvane::MPluginArguments arguments;
    arguments.SetPointer(1, inputs);
    arguments.SetPointer(2, outputs);
    arguments.Set(3, 64);
    EXPECT_EQ(SonveraAudioEffectPluginInterface(driver.effect, corvane::PluginCommand::Process, &arguments), 0);
}

// Real-time factor of the bare vocoder effect: seconds of audio processed per
// second of one core ("rtf" counter), stereo at 48 kHz in blocks of 256.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

using namespace sonvera;

namespace {

constexpr double SampleRate = 48000.0;
constexpr int32_t BlockSize = 256;

struct Setting {
    int32_t bands, carrierOrder, modulatorOrder;
};

void ProcessEffect(benchmark::State& state, Setting setting, KernelPath path) {
    if (!KernelPathSupported(path)) {
        state.SkipWithError("instruction set not available on this CPU");
        return;
    }
    SonveraAudioEffectPlugin effect;
    effect.SetKernelPath(path);
    effect.Parameter(ParamBandCount).integerValues.value = setting.bands;
    effect.Parameter(ParamOrderCar).integerValues.value = setting.carrierOrder;
    effect.Parameter(ParamOrderMod).integerValues.value = setting.modulatorOrder;
    effect.InitProcessing(2, SampleRate);
    effect.Update();
    effect.CommitParameterValues();

    std::vector<std::vector<float>> input(16, std::vector<float>(BlockSize, 0.0f));
    uint32_t seed = 1;
    for (int c : {0, 1, 8, 9})
        for (float& sample : input[c]) {
            seed = seed * 1664525u + 1013904223u;
            sample = static_cast<float>(static_cast<int32_t>(seed)) * (0.5f / 2147483648.0f);
        }
    std::vector<std::vector<float>> output(2, std::vector<float>(BlockSize));
    float* inputs[16] = {};
    for (int c = 0; c < 16; ++c) inputs[c] = input[c].data();
    float* outputs[8] = {output[0].data(), output[1].data()};

    for (auto _ : state) {
        effect.Process(nullptr, inputs, outputs, BlockSize);
        benchmark::DoNotOptimize(output[0].data());
    }
    state.counters["rtf"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * BlockSize / SampleRate, benchmark::Counter::kIsRate);
}

const Setting Default{32, 3, 2};
const Setting Heaviest{100, 10, 10};
const Setting Lightest{4, 3, 2};

}  // namespace

BENCHMARK_CAPTURE(ProcessEffect, Default_Scalar, Default, KernelPath::Scalar);
BENCHMARK_CAPTURE(ProcessEffect, Default_SIMD, Default, BestKernelPath());
BENCHMARK_CAPTURE(ProcessEffect, Heaviest_Scalar, Heaviest, KernelPath::Scalar);
BENCHMARK_CAPTURE(ProcessEffect, Heaviest_SIMD, Heaviest, BestKernelPath());
BENCHMARK_CAPTURE(ProcessEffect, Bands4_Scalar, Lightest, KernelPath::Scalar);
BENCHMARK_CAPTURE(ProcessEffect, Bands4_SIMD, Lightest, BestKernelPath());
BENCHMARK_CAPTURE(ProcessEffect, Default_AVX2, Default, KernelPath::AVX2);
BENCHMARK_CAPTURE(ProcessEffect, Default_SSE2, Default, KernelPath::SSE2);

namespace {

// The same default setting through the framework plug-in's block pipeline.
void ProcessPipeline(benchmark::State& state) {
    corvane::MQuorlithAudioEffectPlugin plugin;
    plugin.SetHostSampleRate(SampleRate);
    if (!plugin.Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface)) {
        state.SkipWithError("the effect did not start");
        return;
    }
    std::vector<std::vector<float>> input(16, std::vector<float>(BlockSize, 0.0f));
    uint32_t seed = 1;
    for (int c : {0, 1, 8, 9})
        for (float& sample : input[c]) {
            seed = seed * 1664525u + 1013904223u;
            sample = static_cast<float>(static_cast<int32_t>(seed)) * (0.5f / 2147483648.0f);
        }
    std::vector<std::vector<float>> output(2, std::vector<float>(BlockSize));
    float* inputs[16] = {};
    for (int c = 0; c < 16; ++c) inputs[c] = input[c].data();
    float* outputs[8] = {output[0].data(), output[1].data()};
    for (auto _ : state) {
        plugin.ProcessBlock(inputs, outputs, BlockSize, 1);
        benchmark::DoNotOptimize(output[0].data());
    }
    state.counters["rtf"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * BlockSize / SampleRate, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(ProcessPipeline)->Name("ProcessBlock/Default_SIMD");

namespace {

intptr_t BenchHost(Vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == Vst2::audioMasterVersion ? 2400 : 0;
}

// The default setting through the VST 2.4 entry, as a host drives it.
void ProcessVst(benchmark::State& state) {
    Vst2::AEffect* effect = VSTPluginMain(BenchHost);
    if (effect == nullptr) {
        state.SkipWithError("the VST 2.4 entry refused");
        return;
    }
    effect->dispatcher(effect, Vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(SampleRate));
    effect->dispatcher(effect, Vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<std::vector<float>> input(4, std::vector<float>(BlockSize, 0.0f));
    uint32_t seed = 1;
    for (auto& channel : input)
        for (float& sample : channel) {
            seed = seed * 1664525u + 1013904223u;
            sample = static_cast<float>(static_cast<int32_t>(seed)) * (0.5f / 2147483648.0f);
        }
    std::vector<std::vector<float>> output(2, std::vector<float>(BlockSize));
    float* inputs[4] = {input[0].data(), input[1].data(), input[2].data(), input[3].data()};
    float* outputs[2] = {output[0].data(), output[1].data()};
    for (auto _ : state) {
        effect->processReplacing(effect, inputs, outputs, BlockSize);
        benchmark::DoNotOptimize(output[0].data());
    }
    state.counters["rtf"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * BlockSize / SampleRate, benchmark::Counter::kIsRate);
    effect->dispatcher(effect, Vst2::effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace

BENCHMARK(ProcessVst)->Name("VstProcessReplacing/Default_SIMD");

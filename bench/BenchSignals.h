#pragma once
// What the benchmarks share: stereo at 48 kHz in blocks of 256, the same
// deterministic noise on main input and side-chain for every case, and the
// real-time factor they report ("rtf": seconds of audio per second of one core).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

namespace sonvera_bench {

constexpr double SampleRate = 48000.0;
constexpr int32_t BlockSize = 256;

// Deterministic noise on the main input and the side-chain, and the tables
// that point at it: the same load for every case.
struct BenchSignals {
    BenchSignals() {
        uint32_t seed = 1;
        for (auto& channel : input)
            for (float& sample : channel) {
                seed = seed * 1664525u + 1013904223u;
                sample = static_cast<float>(static_cast<int32_t>(seed)) * (0.5f / 2147483648.0f);
            }
        for (int c = 0; c < 2; ++c) inputs[c] = input[c].data();
        for (int c = 0; c < 2; ++c) inputs[8 + c] = input[2 + c].data();
        for (int c = 0; c < 4; ++c) hostInputs[c] = input[c].data();
        for (int c = 0; c < 2; ++c) outputs[c] = output[c].data();
    }
    std::vector<float> input[4] = {std::vector<float>(BlockSize), std::vector<float>(BlockSize),
                                   std::vector<float>(BlockSize), std::vector<float>(BlockSize)};
    std::vector<float> output[2] = {std::vector<float>(BlockSize), std::vector<float>(BlockSize)};
    float* inputs[16] = {};     // framework tables: main bus at 0, side-chain at 8
    float* hostInputs[4] = {};  // VST 2.4 tables: four channels in a row
    float* outputs[8] = {};
};

// Starts the plug-in at the benches' rate; false (the bench skipped) when the effect does not load.
inline bool StartPlugin(benchmark::State& state, corvane::MQuorlithAudioEffectPlugin& plugin) {
    plugin.SetHostSampleRate(SampleRate);
    if (plugin.Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface)) return true;
    state.SkipWithError("the effect did not start");
    return false;
}

// A parameter's global index by the label hosts see; -1 when there is none.
inline int32_t IndexOf(corvane::MParameterRegistry& parameters, const std::string& label) {
    for (int32_t i = 0; i < parameters.TotalCount(); ++i)
        if (parameters.GetParameterLabel(i) == label) return i;
    return -1;
}

inline void ReportRealTime(benchmark::State& state) {
    state.counters["rtf"] = benchmark::Counter(static_cast<double>(state.iterations()) * BlockSize / SampleRate,
                                               benchmark::Counter::kIsRate);
}

}  // namespace sonvera_bench

// What parameter writes cost on the audio thread, as hosts deliver them with
// their blocks: every parameter changed before a 512-sample block, and one
// oscillator shape parameter of a running modulator changed before every
// 64-sample block, each beside the same blocks without writes.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/BenchSignals.h"
#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

using namespace corvane;
using namespace sonvera_bench;

namespace {

// changed: "" nothing, "all" every parameter, else the parameter of that label.
void BlocksWithWrites(benchmark::State& state, int32_t length, const char* changed) {
    MQuorlithAudioEffectPlugin plugin;
    if (!StartPlugin(state, plugin)) return;
    MParameterRegistry& parameters = plugin.Parameters();
    // A running modulator on the volume, so that its shape is read every block.
    MLFO& lfo = plugin.Modulators().At(0);
    lfo.AssignTarget(0, IndexOf(parameters, "Volume"), parameters);
    parameters.SetParameter(IndexOf(parameters, "LFO 1 Enabled"), 1.0, false);
    const bool all = std::string(changed) == "all";
    const int32_t one = all ? -1 : IndexOf(parameters, changed);
    if (!all && *changed != '\0' && one < 0) {
        state.SkipWithError("no such parameter");
        return;
    }
    const int32_t count = parameters.ParameterCount();
    std::vector<float> input(static_cast<size_t>(length), 0.1f),
        output[2] = {std::vector<float>(length), std::vector<float>(length)};
    float* inputs[16] = {input.data(), input.data()};
    inputs[8] = inputs[9] = input.data();
    float* outputs[8] = {output[0].data(), output[1].data()};
    int64_t round = 0;
    for (auto _ : state) {
        {
            // Host automation arrives on the audio thread, with the block.
            const MMutex::AudioThreadMark audioThread;
            const double value = (round++ % 2) ? 0.3 : 0.6;
            if (all) {
                for (int32_t i = 0; i < count; ++i) parameters.SetParameter(i, value, false);
            } else if (one >= 0) {
                parameters.SetParameter(one, value, false);
            }
        }
        plugin.ProcessBlock(inputs, outputs, length, 1);
        benchmark::DoNotOptimize(output[0].data());
    }
    state.counters["rtf"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * length / SampleRate, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(BlocksWithWrites, Plain512, 512, "")->Name("ParameterWrites/Plain512");
BENCHMARK_CAPTURE(BlocksWithWrites, All512, 512, "all")->Name("ParameterWrites/EveryParameter512");
BENCHMARK_CAPTURE(BlocksWithWrites, Plain64, 64, "")->Name("ParameterWrites/Plain64");
BENCHMARK_CAPTURE(BlocksWithWrites, Shape64, 64, "LFO 1 Shape Shape")->Name("ParameterWrites/OneShapeParameter64");

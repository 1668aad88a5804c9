// The default setting through the framework plug-in's block pipeline, plain
// and with modulators running: four oscillators on ordinary parameters, one
// level follower, one pitch follower, and an oscillator on "Formant shift",
// whose every change redesigns the filter bank.

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <string>

#include "bench/BenchSignals.h"
#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

using namespace corvane;
using namespace sonvera_bench;

namespace {

int32_t IndexOf(MParameterRegistry& parameters, const std::string& label) {
    for (int32_t i = 0; i < parameters.TotalCount(); ++i)
        if (parameters.GetParameterLabel(i) == label) return i;
    return -1;
}

void ProcessWithModulators(benchmark::State& state, int32_t mode, std::initializer_list<const char*> targets) {
    MQuorlithAudioEffectPlugin plugin;
    plugin.SetHostSampleRate(SampleRate);
    if (!plugin.Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface)) {
        state.SkipWithError("the effect did not start");
        return;
    }
    int32_t m = 0;
    for (const char* target : targets) {
        MLFO& lfo = plugin.Modulators().At(m++);
        lfo.mode = mode;
        lfo.Setting(LFOFrequency).floatValues.value = 0.5;
        lfo.Setting(LFOHiSpeed).boolValue = 1;  // 5 Hz: the targets move every block
        lfo.AssignTarget(0, IndexOf(plugin.Parameters(), target), plugin.Parameters());
        plugin.Parameters().SetParameter(IndexOf(plugin.Parameters(), "LFO " + std::to_string(m) + " Enabled"), 1.0,
                                         false);
    }
    BenchSignals signals;
    for (auto _ : state) {
        plugin.ProcessBlock(signals.inputs, signals.outputs, BlockSize, 1);
        benchmark::DoNotOptimize(signals.output[0].data());
    }
    ReportRealTime(state);
}

}  // namespace

BENCHMARK_CAPTURE(ProcessWithModulators, None, LFOModeNormal, {})->Name("ProcessBlock/Default_SIMD");
BENCHMARK_CAPTURE(ProcessWithModulators, FourNormal, LFOModeNormal,
                  {"Volume", "Panorama", "Carrier volume", "Modulator volume"})
    ->Name("Modulators/FourNormal");
BENCHMARK_CAPTURE(ProcessWithModulators, Follower, LFOModeFollower, {"Volume"})->Name("Modulators/Follower");
BENCHMARK_CAPTURE(ProcessWithModulators, Pitch, LFOModePitch, {"Volume"})->Name("Modulators/Pitch");
BENCHMARK_CAPTURE(ProcessWithModulators, FormantShift, LFOModeNormal, {"Formant shift"})
    ->Name("Modulators/OscillatorOnFormantShift");

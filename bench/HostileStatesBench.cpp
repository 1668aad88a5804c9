// How long a crafted state from a corrupted or malicious project takes to be
// read (and loaded or refused) through the plug-in's chunk entry.

#include <benchmark/benchmark.h>

#include <memory>

#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "tests/support/HostileStates.h"

namespace {

const std::vector<sonvera_test::HostileState>& States() {
    static const std::vector<sonvera_test::HostileState> states = sonvera_test::HostileStates();
    return states;
}

void ReadHostileState(benchmark::State& state) {
    const sonvera_test::HostileState& hostile = States()[static_cast<size_t>(state.range(0))];
    auto plugin = std::make_unique<corvane::MQuorlithAudioEffectPlugin>();
    plugin->SetHostSampleRate(48000.0);
    plugin->Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface);
    state.SetLabel(hostile.what);
    for (auto _ : state) benchmark::DoNotOptimize(plugin->ReadChunk(hostile.chunk.data(), hostile.chunk.size()));
}

}  // namespace

BENCHMARK(ReadHostileState)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

// The audio thread beside a busy host: blocks of 128 samples with
// modulators and a switch moving parameters, while another thread saves the
// state, saves presets, draws every editor tab, edits bands and writes and
// reads parameters (tests/support/BusyHost.h), against the same blocks
// alone. Counters: locks the audio thread waited for, its voluntary context
// switches, blocks given up, and the median, 99.9th percentile and worst
// block time.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSignals.h"
#include "entry/PluginCreation.h"
#include "platform/DataFolders.h"
#include "tests/support/BusyHost.h"

using namespace corvane;
using namespace sonvera_bench;

namespace {

constexpr int32_t HostBlock = 128;

void BlocksBesideTheHost(benchmark::State& state, bool busy) {
    // The presets the host saves go to a scratch folder, not the user's.
    char scratch[] = "/tmp/sonvera_bench_XXXXXX";
    if (mkdtemp(scratch) == nullptr) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const std::string previous = DataFolders::UseRoamingFolder(scratch);
    auto plugin = CreateSonveraPlugin();
    plugin->SetHostSampleRate(SampleRate);
    plugin->InitProcessing();
    sonvera_test::MoveParametersEveryBlock(*plugin);
    std::atomic<bool> running{busy};
    std::atomic<int64_t> rounds{0};
    std::thread host([&] {
        sonvera_test::BusyHost work(*plugin);
        for (int32_t round = 0; running; ++round, ++rounds) work.Round(round, false);
    });
    BenchSignals signals;
    std::vector<double> micros;
    micros.reserve(1 << 18);
    const uint64_t waitsBefore = MMutex::AudioThreadWaits();
    const uint64_t abandonedBefore = plugin->AbandonedBlocks();
    int64_t switches = 0;
    for (auto _ : state) {
        const int64_t switchesBefore = sonvera_test::VoluntarySwitches();
        const auto start = std::chrono::steady_clock::now();
        plugin->ProcessBlock(signals.inputs, signals.outputs, HostBlock, 1);
        const auto end = std::chrono::steady_clock::now();
        switches += sonvera_test::VoluntarySwitches() - switchesBefore;
        benchmark::DoNotOptimize(signals.output[0].data());
        if (micros.size() < micros.capacity())
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    running = false;
    host.join();
    state.counters["waits"] = static_cast<double>(MMutex::AudioThreadWaits() - waitsBefore);
    state.counters["voluntary_switches"] = static_cast<double>(switches);
    state.counters["abandoned"] = static_cast<double>(plugin->AbandonedBlocks() - abandonedBefore);
    state.counters["host_rounds"] = static_cast<double>(rounds.load());
    if (!micros.empty()) {
        std::sort(micros.begin(), micros.end());
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p999_us"] = micros[micros.size() * 999 / 1000];
        state.counters["max_us"] = micros.back();
    }
    plugin.reset();
    DataFolders::UseRoamingFolder(previous);
    std::filesystem::remove_all(scratch);
}

}  // namespace

BENCHMARK_CAPTURE(BlocksBesideTheHost, Alone, false)->Name("RealTime/BlocksAlone")->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(BlocksBesideTheHost, Busy, true)->Name("RealTime/BlocksBesideABusyHost")->UseRealTime()->MinTime(4.0);

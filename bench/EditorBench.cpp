// The editor beside the audio: blocks of the default sound processed while
// another thread opens, idles and closes the editor over and over, against
// the same blocks without it (median, 99th percentile and worst block time
// as counters), and the time one picture of each tab takes to draw. The
// window cases need an X display (run under xvfb-run).

#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "bench/BenchSignals.h"
#include "entry/PluginCreation.h"
#include "gui/VocoderEditor.h"

// Last: Xlib's macros would break the headers above.
#include <X11/Xlib.h>

using namespace corvane;
using namespace sonvera_bench;

namespace {

void ReportSpread(benchmark::State& state, std::vector<double>& micros) {
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["max_us"] = micros.back();
}

void BlocksBesideTheEditor(benchmark::State& state, bool cycling) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1100, 500, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    auto plugin = CreateSonveraPlugin();
    plugin->SetHostSampleRate(SampleRate);
    plugin->InitProcessing();
    PluginEditor* editor = plugin->Editor();
    std::atomic<bool> running{cycling};
    std::atomic<int64_t> cycles{0};
    std::thread interface([&] {
        while (running) {
            editor->Open(reinterpret_cast<void*>(parent));
            editor->Idle();
            editor->Close();
            ++cycles;
        }
    });
    // As in a host, the audio thread runs at real-time priority where the
    // system allows it, so the interface thread cannot push it aside.
    sched_param priority{};
    priority.sched_priority = 10;
    const bool realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
    BenchSignals signals;
    std::vector<double> micros;
    micros.reserve(1 << 16);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        plugin->ProcessBlock(signals.inputs, signals.outputs, BlockSize, 1);
        benchmark::DoNotOptimize(signals.output[0].data());
        if (micros.size() < micros.capacity())
            micros.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    running = false;
    interface.join();
    priority.sched_priority = 0;
    if (realTime) pthread_setschedparam(pthread_self(), SCHED_OTHER, &priority);
    state.counters["real_time_priority"] = realTime ? 1 : 0;
    ReportRealTime(state);
    ReportSpread(state, micros);
    state.counters["editor_cycles"] = static_cast<double>(cycles.load());
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

void DrawTab(benchmark::State& state, const char* tab) {
    auto plugin = CreateSonveraPlugin();
    PluginEditor* editor = plugin->Editor();
    auto* content = dynamic_cast<gui::VocoderEditor*>(&editor->Root());
    if (content == nullptr || !content->ShowPage(tab)) {
        state.SkipWithError("no such tab");
        return;
    }
    for (auto _ : state) editor->Redraw();
}

}  // namespace

BENCHMARK_CAPTURE(BlocksBesideTheEditor, Baseline, false)->Name("Editor/BlocksAlone")->UseRealTime();
BENCHMARK_CAPTURE(BlocksBesideTheEditor, Cycling, true)->Name("Editor/BlocksWhileOpeningAndClosing")->UseRealTime();
BENCHMARK_CAPTURE(DrawTab, Controls, "Controls")->Name("Editor/Draw/Controls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawTab, Matrix, "Band matrix")->Name("Editor/Draw/BandMatrix")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawTab, Graphs, "Band graphs")->Name("Editor/Draw/BandGraphs")->Unit(benchmark::kMillisecond);

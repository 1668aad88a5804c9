// The cost of redesigning the bands with every band graph enabled (hosts
// automating a graph point pay it once per block), and of reading an
// oscillator shape.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/modulation/MSignalGenerator.h"

using namespace sonvera;
using namespace corvane;

namespace {

// Eight points a graph, a different segment type on each segment, all enabled.
void ShapeEveryGraph(SonveraAudioEffectPlugin& effect) {
    for (int32_t g = 0; g < BandGraphCount; ++g) {
        MEnvelopeGraph& graph = effect.Graph(g);
        const MEnvelope::Range range = graph.GetRange();
        MEnvelope::Point points[MEnvelope::MaxPoints];
        for (int32_t p = 0; p < MEnvelope::MaxPoints; ++p) {
            const double y = (p % 2 == 0) ? 0.3 : 0.7;
            points[p] = {p / 7.0, range.yMin + (range.yMax - range.yMin) * y, 0.4, 0.8, (p + g) % SegmentTypeCount};
        }
        graph.SetPoints(points, MEnvelope::MaxPoints);
        effect.SetGraphEnabled(g, true);
    }
}

void UpdateWithAllGraphs(benchmark::State& state) {
    SonveraAudioEffectPlugin effect;
    effect.Parameter(ParamBandCount).integerValues.value = 100;
    effect.Parameter(ParamOrderCar).integerValues.value = static_cast<int32_t>(state.range(0));
    effect.Parameter(ParamOrderMod).integerValues.value = static_cast<int32_t>(state.range(0));
    effect.InitProcessing(2, 48000.0);
    ShapeEveryGraph(effect);
    int32_t step = 0;
    for (auto _ : state) {
        // As an automated point does: move it, then redesign.
        MEnvelopeGraph& graph = effect.Graph(step % BandGraphCount);
        MEnvelope::Point point = graph.PointAt(3);
        point.y = graph.GetRange().yMin + (graph.GetRange().yMax - graph.GetRange().yMin) * ((step % 10) / 10.0);
        graph.SetPoint(3, point);
        effect.Update();
        ++step;
    }
}

void ReadOscillatorShape(benchmark::State& state) {
    MSignalGenerator generator(true);
    generator.Change([](MSignalGenerator::Settings& s) { s.shape = 7.3; });
    double phase = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(generator.Value(phase));
        phase += 0.0013;
    }
}

void RecomputeOscillatorShape(benchmark::State& state) {
    MSignalGenerator generator(true);
    int32_t step = 0;
    for (auto _ : state) {
        generator.Change([&](MSignalGenerator::Settings& s) {
            s.customMorph = 0.5;
            s.stepSequencer = 0.3;
            s.smoothness = (step++ % 10) / 10.0;
        });
    }
}

}  // namespace

BENCHMARK(UpdateWithAllGraphs)->Name("UpdateAllGraphs/Bands100_Order")->Arg(3)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadOscillatorShape)->Name("SignalGenerator/Value");
BENCHMARK(RecomputeOscillatorShape)->Name("SignalGenerator/Recompute")->Unit(benchmark::kMicrosecond);

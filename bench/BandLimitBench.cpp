// What the specified arithmetic leaves to gain: the band work no vocoder with
// these filters can skip, on each SIMD path, beside the full effect with the
// same load. "Limit/Cascades" runs both sides' cascades (every section in
// double, stored as single precision with the offset); "Limit/CascadesAndDetectors"
// adds both sides' envelope detectors for every band, and
// "Limit/CascadesAndModulatorDetector" the modulator's alone (all that the
// vocoding mode follows). "Effect" is the whole effect. All report "rtf" for
// stereo at 48 kHz in blocks of 256.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "bench/BenchSignals.h"
#include "effect/vocoder/BandKernels.h"
#include "effect/vocoder/SonveraAudioEffectPlugin.h"

using namespace sonvera;
using namespace sonvera_bench;

namespace {

struct Load {
    const char* name;
    int32_t bands, carrierOrder, modulatorOrder;
};

const Load Loads[] = {{"Default", 32, 3, 2}, {"Heaviest", 100, 10, 10}};
const Load Lightest{"Bands4", 4, 3, 2};

struct Path {
    const char* name;
    KernelPath path;
};

const Path Paths[] = {{"Scalar", KernelPath::Scalar},
                      {"SSE2", KernelPath::SSE2},
                      {"AVX2", KernelPath::AVX2},
                      {"AVX512", KernelPath::AVX512}};

void Configure(SonveraAudioEffectPlugin& effect, const Load& load, KernelPath path) {
    effect.SetKernelPath(path);
    effect.Parameter(ParamBandCount).integerValues.value = load.bands;
    effect.Parameter(ParamOrderCar).integerValues.value = load.carrierOrder;
    effect.Parameter(ParamOrderMod).integerValues.value = load.modulatorOrder;
    effect.InitProcessing(2, SampleRate);
    effect.Update();
    effect.CommitParameterValues();
}

void ProcessEffect(benchmark::State& state, Load load, KernelPath path) {
    if (!KernelPathSupported(path)) return state.SkipWithError("instruction set not available on this CPU");
    SonveraAudioEffectPlugin effect;
    Configure(effect, load, path);
    BenchSignals signals;
    for (auto _ : state) {
        effect.Process(nullptr, signals.inputs, signals.outputs, BlockSize);
        benchmark::DoNotOptimize(signals.output[0].data());
    }
    ReportRealTime(state);
}

enum class Work { Cascades, CascadesAndModulatorDetector, CascadesAndDetectors };

// The band work alone, on the bank the effect designs for the load.
void ProcessBandWork(benchmark::State& state, Load load, KernelPath path, Work work) {
    if (!KernelPathSupported(path)) return state.SkipWithError("instruction set not available on this CPU");
    SonveraAudioEffectPlugin effect;
    Configure(effect, load, path);
    const VocoderBank& bank = effect.Bank();
    const BandKernels& kernels = KernelsFor(path);

    auto runtime = std::make_unique<ChannelRuntime[]>(2);
    for (int32_t c = 0; c < 2; ++c)
        for (int32_t b = 0; b < bank.bandCount; ++b) {
            for (int32_t s = 0; s < load.carrierOrder; ++s)
                runtime[c].carrier.Sync(bank.bands[b].carrierSections[s], s, b);
            for (int32_t s = 0; s < load.modulatorOrder; ++s)
                runtime[c].modulator.Sync(bank.bands[b].modulatorSections[s], s, b);
        }
    auto settings = std::make_unique<BandSettings>();
    settings->bandCount = bank.bandCount;
    settings->carrierOrder = load.carrierOrder;
    settings->modulatorOrder = load.modulatorOrder;
    settings->anyCarrierEnvelope = work == Work::CascadesAndDetectors;
    for (int32_t b = 0; b < bank.bandCount; ++b) {
        settings->carrierEnvelopeNeeded[b] = settings->anyCarrierEnvelope ? 1.0 : 0.0;
        settings->level[b] = 1.0f;
    }
    auto buffers = std::make_unique<ChunkBuffers>();

    BenchSignals signals;
    for (auto _ : state) {
        for (int32_t c = 0; c < 2; ++c)
            for (int32_t start = 0; start < BlockSize; start += ChunkSize) {
                const AnalysisArguments arguments{
                    settings.get(), &bank,    &runtime[c], signals.inputs[c] + start, signals.inputs[8 + c] + start,
                    buffers.get(),  ChunkSize};
                kernels.filter(arguments);
                if (work != Work::Cascades) kernels.analyse(arguments);
            }
        benchmark::DoNotOptimize(buffers->carrierSignal[0]);
    }
    ReportRealTime(state);
}

const bool registered = [] {
    for (const Load& load : Loads)
        for (const Path& path : Paths) {
            const std::string suffix = std::string(load.name) + "/" + path.name;
            benchmark::RegisterBenchmark(("Effect/" + suffix).c_str(), ProcessEffect, load, path.path);
            benchmark::RegisterBenchmark(("Limit/Cascades/" + suffix).c_str(), ProcessBandWork, load, path.path,
                                         Work::Cascades);
            benchmark::RegisterBenchmark(("Limit/CascadesAndModulatorDetector/" + suffix).c_str(), ProcessBandWork,
                                         load, path.path, Work::CascadesAndModulatorDetector);
            benchmark::RegisterBenchmark(("Limit/CascadesAndDetectors/" + suffix).c_str(), ProcessBandWork, load,
                                         path.path, Work::CascadesAndDetectors);
        }
    for (const Path& path : Paths)
        benchmark::RegisterBenchmark((std::string("Effect/Bands4/") + path.name).c_str(), ProcessEffect, Lightest,
                                     path.path);
    return true;
}();

}  // namespace

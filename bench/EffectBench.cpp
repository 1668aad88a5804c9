// Real-time factor of the bare vocoder effect: seconds of audio processed per
// second of one core ("rtf" counter), stereo at 48 kHz in blocks of 256.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/BenchSignals.h"
#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "entry/Exports.h"
#include "hosts/vst3/Vst3HostObjects.h"

using namespace sonvera;
using namespace sonvera_bench;

namespace {

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

    BenchSignals signals;
    for (auto _ : state) {
        effect.Process(nullptr, signals.inputs, signals.outputs, BlockSize);
        benchmark::DoNotOptimize(signals.output[0].data());
    }
    ReportRealTime(state);
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
    BenchSignals signals;
    for (auto _ : state) {
        effect->processReplacing(effect, signals.hostInputs, signals.outputs, BlockSize);
        benchmark::DoNotOptimize(signals.output[0].data());
    }
    ReportRealTime(state);
    effect->dispatcher(effect, Vst2::effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace

BENCHMARK(ProcessVst)->Name("VstProcessReplacing/Default_SIMD");

namespace {

// The default setting through the VST3 factory and process call, as a host drives it.
void ProcessVst3(benchmark::State& state) {
    auto** factory = static_cast<v3_plugin_factory**>(GetPluginFactory());
    void* object = nullptr;
    v3_class_info info{};
    if (v3_cpp_obj(factory)->get_class_info(factory, 0, &info) != V3_OK ||
        v3_cpp_obj(factory)->create_instance(factory, info.class_id, v3_component_iid, &object) != V3_OK) {
        state.SkipWithError("the VST3 factory refused");
        return;
    }
    auto** component = static_cast<v3_component**>(object);
    Vst3::HostApplication application;
    v3_cpp_obj_initialize(component, application.Pointer());
    v3_audio_processor** processor = nullptr;
    v3_cpp_obj_query_interface(component, v3_audio_processor_iid, &processor);
    v3_process_setup setup{V3_REALTIME, V3_SAMPLE_32, BlockSize, SampleRate};
    v3_cpp_obj(processor)->setup_processing(processor, &setup);
    v3_cpp_obj(component)->set_active(component, true);

    BenchSignals signals;
    Vst3::StereoBlock block(&signals.hostInputs[0], &signals.hostInputs[2], signals.outputs, BlockSize);
    for (auto _ : state) {
        v3_cpp_obj(processor)->process(processor, &block.data);
        benchmark::DoNotOptimize(signals.output[0].data());
    }
    ReportRealTime(state);
    v3_cpp_obj(component)->set_active(component, false);
    v3_cpp_obj_unref(processor);
    v3_cpp_obj_terminate(component);
    v3_cpp_obj_unref(component);
}

}  // namespace

BENCHMARK(ProcessVst3)->Name("Vst3Process/Default_SIMD");

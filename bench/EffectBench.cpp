// The effect through each host entry ("rtf": seconds of audio processed per
// second of one core, stereo at 48 kHz in blocks of 256), and the cost of a
// full redesign of the bands.

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

// The full redesign a band-count, order, resonance or formant change runs,
// also on the audio thread when a modulator drives one of those parameters:
// here the formant shift, moving every time.
void UpdateBank(benchmark::State& state, int32_t bands, int32_t carrierOrder, int32_t modulatorOrder) {
    SonveraAudioEffectPlugin effect;
    effect.Parameter(ParamBandCount).integerValues.value = bands;
    effect.Parameter(ParamOrderCar).integerValues.value = carrierOrder;
    effect.Parameter(ParamOrderMod).integerValues.value = modulatorOrder;
    effect.InitProcessing(2, SampleRate);
    int32_t step = 0;
    for (auto _ : state) {
        effect.Parameter(ParamFormantShift).floatValues.value = (step++ % 7) - 3.0;
        effect.Update();
    }
}

}  // namespace

BENCHMARK_CAPTURE(UpdateBank, Default, 32, 3, 2)->Name("Update/Default")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(UpdateBank, Heaviest, 100, 10, 10)->Name("Update/Heaviest")->Unit(benchmark::kMicrosecond);

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

// The default setting through the framework plug-in's block pipeline, plain
// and with modulators running: four oscillators on ordinary parameters, one
// level follower, one pitch follower, and an oscillator on "Formant shift",
// whose every change redesigns the filter bank. Then a flood of MIDI: 1024
// events a block through every controller mapping, note controllers and a
// multiparameter with eight targets.

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include <initializer_list>
#include <string>

#include "bench/BenchSignals.h"
#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

using namespace corvane;
using namespace sonvera_bench;

namespace {

void ProcessWithModulators(benchmark::State& state, int32_t mode, std::initializer_list<const char*> targets) {
    MQuorlithAudioEffectPlugin plugin;
    if (!StartPlugin(state, plugin)) return;
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

namespace {

void ProcessMIDIFlood(benchmark::State& state, int32_t count) {
    MQuorlithAudioEffectPlugin plugin;
    if (!StartPlugin(state, plugin)) return;
    MParameterRegistry& parameters = plugin.Parameters();
    const char* const targets[8] = {"Volume",      "Panorama",      "Carrier volume", "Modulator volume",
                                    "Carrier pan", "Modulator pan", "Ratio",          "MultiParameter 1"};
    MIDIControllers& midi = plugin.Controllers();
    midi.controllersEnabled = midi.noteControllersEnabled = true;
    for (int32_t slot = 0; slot < MIDIControllers::Slots; ++slot) {
        MIDIControllerSlot& c = midi.controllers[slot];
        c.enabled = true;
        c.controller = slot < 29 ? 1 + slot : SourceAftertouch + (slot - 29);  // 1 .. 29, aftertouch, bend, velocity
        c.index = IndexOf(parameters, targets[slot % 8]);
        NoteControllerSlot& n = midi.notes[slot];
        n.enabled = slot < 8;
        n.index = IndexOf(parameters, targets[slot % 7]);
    }
    MMultiParameter& multi = plugin.MultiParameters().At(0);
    for (int32_t t = 0; t < 8; ++t) {
        if (t > 0) multi.Targets().Add();
        multi.Targets().Assign(t, IndexOf(parameters, t < 7 ? targets[t] : "Formant shift"), parameters);
    }
    BenchSignals signals;
    std::vector<std::array<uint8_t, 3>> events(static_cast<size_t>(count));
    for (int32_t e = 0; e < count; ++e) {
        uint8_t* bytes = events[static_cast<size_t>(e)].data();
        switch (e % 8) {
            case 0:
                bytes[0] = 0x90, bytes[1] = static_cast<uint8_t>(36 + e % 48), bytes[2] = 100;
                break;
            case 1:
                bytes[0] = 0x80, bytes[1] = static_cast<uint8_t>(36 + (e - 1) % 48), bytes[2] = 0;
                break;
            case 2:
                bytes[0] = 0xE0, bytes[1] = static_cast<uint8_t>(e % 128), bytes[2] = static_cast<uint8_t>(e % 97);
                break;
            case 3:
                bytes[0] = 0xD0, bytes[1] = static_cast<uint8_t>(e % 128), bytes[2] = 0;
                break;
            default:
                bytes[0] = 0xB0, bytes[1] = static_cast<uint8_t>(1 + e % 29), bytes[2] = static_cast<uint8_t>(e % 128);
        }
    }
    for (auto _ : state) {
        for (int32_t e = 0; e < count; ++e)
            plugin.ProcessMIDIEvent(e % BlockSize, events[static_cast<size_t>(e)].data());
        plugin.ProcessBlock(signals.inputs, signals.outputs, BlockSize, 1);
        benchmark::DoNotOptimize(signals.output[0].data());
    }
    ReportRealTime(state);
}

}  // namespace

BENCHMARK_CAPTURE(ProcessMIDIFlood, Flood1024, 1024)->Name("MIDI/Flood1024PerBlock");
BENCHMARK_CAPTURE(ProcessMIDIFlood, Flood10000, 10000)->Name("MIDI/Flood10000PerBlock");

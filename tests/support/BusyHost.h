#pragma once
// What a busy host and an open editor do beside the audio thread, one round
// at a time: the state saved as VST 2.4 and VST3 keep it, a preset saved,
// every editor tab drawn (target lists, meters, band state, presets read),
// band edits, parameter writes and text queries. With loads, also what may
// hold processing off: a state load and a preset step. Shared by the tests
// and the bench that measure the audio thread beside it.

#include <sys/resource.h>

#include <cstdint>
#include <string>
#include <vector>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "effect/vocoder/VocoderBandAccess.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "gui/VocoderEditor.h"

namespace sonvera_test {

// Modulators and a switch that move parameters every block, so that the
// audio thread walks target lists, shapes and redesigns while the host works.
inline void MoveParametersEveryBlock(corvane::MQuorlithAudioEffectPlugin& plugin) {
    corvane::MParameterRegistry& parameters = plugin.Parameters();
    const auto index = [&](const char* name) {
        for (int32_t i = 0; i < parameters.ParameterCount(); ++i)
            if (parameters.GetParameterName(i) == name) return i;
        return -1;
    };
    corvane::MLFO& formant = plugin.Modulators().At(0);
    formant.AssignTarget(0, index("Formant shift"), parameters);  // a redesign every sub-block
    formant.Setting(corvane::LFOEnabled).boolValue = 1;
    corvane::MLFO& volume = plugin.Modulators().At(1);
    volume.AssignTarget(0, index("Volume"), parameters);
    volume.TargetAt(0).shapeEnabled = true;
    volume.Setting(corvane::LFOEnabled).boolValue = 1;
    corvane::MMultiParameter& flip = plugin.MultiParameters().At(0);
    flip.mode = corvane::MultiParameterSwitch;
    flip.switchTime = 0.05;
    flip.Targets().Assign(0, index("Whitening"), parameters);
}

class BusyHost {
public:
    explicit BusyHost(corvane::MQuorlithAudioEffectPlugin& plugin)
        : plugin_(plugin),
          effect_(*static_cast<sonvera::SonveraAudioEffectPlugin*>(plugin.Effect())),
          bands_(effect_),
          content_(plugin.Editor() != nullptr ? dynamic_cast<gui::VocoderEditor*>(&plugin.Editor()->Root()) : nullptr) {
    }

    void Round(int32_t round, bool withLoads) {
        const std::vector<uint8_t> state = plugin_.WriteChunk();
        if (content_ != nullptr) {
            static const char* const tabs[] = {"Controls",   "Band matrix",     "EQ",   "Band graphs",
                                               "Modulators", "Multiparameters", "MIDI", "Presets"};
            content_->ShowPage(tabs[round % 8]);
            plugin_.Editor()->Redraw();
            plugin_.EditorIdle();
        }
        bands_.SetRouted(round % 32, (round + 1) % 32, round % 2 == 0);
        bands_.SetLevel(round % 32, 0.5 + (round % 3) * 0.25);
        bands_.MovePoint(0, 1, 0.5, (round % 5) / 5.0);
        corvane::MParameterRegistry& parameters = plugin_.Parameters();
        const int32_t count = parameters.ParameterCount();
        for (int32_t k = 0; k < 16; ++k) {
            const int32_t index = (round * 16 + k) % count;
            texts_ += parameters.GetParameterValueName(index).size();
            parameters.SetParameter(index, parameters.GetParameter(index), false);
        }
        if (round % 16 == 0) plugin_.Presets().SaveNew("", "Busy " + std::to_string(round % 3));
        if (withLoads) {
            plugin_.ReadChunk(state.data(), state.size());
            if (round % 4 == 0) plugin_.Presets().Step(1);
        }
    }

private:
    corvane::MQuorlithAudioEffectPlugin& plugin_;
    sonvera::SonveraAudioEffectPlugin& effect_;
    sonvera::VocoderBandAccess bands_;
    gui::VocoderEditor* content_;
    size_t texts_ = 0;
};

// Voluntary context switches of the calling thread so far: each wait for
// another thread (a lock, a condition, a sleep) is one.
inline int64_t VoluntarySwitches() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

}  // namespace sonvera_test

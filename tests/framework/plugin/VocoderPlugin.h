#pragma once
// The framework plug-in over the real vocoder, as the library builds it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "tests/support/ParameterLookup.h"

namespace sonvera_test {

inline std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> NewVocoder(int32_t hostChannels = 2) {
    auto plugin = std::make_unique<corvane::MQuorlithAudioEffectPlugin>();
    plugin->SetHostSampleRate(48000.0);
    plugin->SetHostChannels(hostChannels);
    EXPECT_TRUE(plugin->Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface));
    return plugin;
}

// A parameter's global index by the label hosts see.
inline int32_t Index(corvane::MQuorlithAudioEffectPlugin& plugin, const std::string& label) {
    const int32_t index = ParameterIndex(plugin.Parameters(), label);
    EXPECT_GE(index, 0) << label;
    return index;
}

// Three presets that differ in "Ratio" (0.2, 0.4, 0.6), stepped through by
// controller 1 on any channel.
inline void UseRatioPresetsSwitchedByCC1(corvane::MQuorlithAudioEffectPlugin& plugin) {
    corvane::MXMLItem bank("Sonverapresets");
    for (const char* ratio : {"0.2", "0.4", "0.6"}) {
        corvane::MXMLItem& preset = bank.AddSubItem("preset");
        preset.SetAttribute("name", std::string("Ratio ") + ratio);
        preset.SetAttribute("parameterRatio", ratio);
    }
    plugin.Presets().SetFactoryPresets(bank);
    plugin.Controllers().presetSwitch = {true, 0, 1, 0.0};
}

// Host blocks of a steady signal on every input. The buffers are kept, so
// that allocation counts see only the plug-in's own.
inline void RunBlocks(corvane::MQuorlithAudioEffectPlugin& plugin, int blocks, int n = 512) {
    thread_local std::vector<float> in, out[2];
    if (in.size() < static_cast<size_t>(n)) {
        in.assign(static_cast<size_t>(n), 0.1f);
        out[0].resize(static_cast<size_t>(n));
        out[1].resize(static_cast<size_t>(n));
    }
    float* inputs[16] = {in.data(), in.data()};
    inputs[8] = inputs[9] = in.data();
    float* outputs[8] = {out[0].data(), out[1].data()};
    for (int b = 0; b < blocks; ++b) plugin.ProcessBlock(inputs, outputs, n, 1);
}

}  // namespace sonvera_test

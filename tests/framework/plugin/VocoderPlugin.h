#pragma once
// The framework plug-in over the real vocoder, as the library builds it.

#include <gtest/gtest.h>

#include <memory>

#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

namespace sonvera_test {

inline std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> NewVocoder(int32_t hostChannels = 2) {
    auto plugin = std::make_unique<corvane::MQuorlithAudioEffectPlugin>();
    plugin->SetHostSampleRate(48000.0);
    plugin->SetHostChannels(hostChannels);
    EXPECT_TRUE(plugin->Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface));
    return plugin;
}

}  // namespace sonvera_test

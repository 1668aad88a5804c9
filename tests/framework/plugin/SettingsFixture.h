#pragma once
// A fresh plug-in over the vocoder, with its data folders in a scratch place.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/support/ScratchConfigFolder.h"

namespace sonvera_test {

class SettingsTest : public testing::Test {
protected:
    static std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> NewPlugin(int32_t hostChannels = 2) {
        return sonvera_test::NewVocoder(hostChannels);
    }
    static sonvera::SonveraAudioEffectPlugin& Vocoder(corvane::MQuorlithAudioEffectPlugin& plugin) {
        return *static_cast<sonvera::SonveraAudioEffectPlugin*>(plugin.Effect());
    }
    static corvane::MXMLItem Stored(corvane::MQuorlithAudioEffectPlugin& plugin) {
        corvane::MXMLItem root("settings");
        corvane::MStoreContext context(true, root);
        plugin.Store(context);
        return root;
    }
    static void Load(corvane::MQuorlithAudioEffectPlugin& plugin, corvane::MXMLItem root) {
        corvane::MStoreContext context(false, root);
        plugin.Store(context);
    }

    ScratchConfigFolder scratch_{"sonvera-settings"};
    const std::filesystem::path& folder_ = scratch_.Path();
};

}  // namespace sonvera_test

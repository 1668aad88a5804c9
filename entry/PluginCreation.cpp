#include "entry/PluginCreation.h"

#include "effect/vocoder/VocoderBandAccess.h"
#include "entry/Exports.h"
#include "entry/MModule.h"
#include "entry/ModuleResources.h"
#include "gui/VocoderEditor.h"

namespace corvane {

std::unique_ptr<MQuorlithAudioEffectPlugin> CreateSonveraPlugin() {
    MModule::StartUp();
    auto plugin = std::make_unique<MQuorlithAudioEffectPlugin>();
    if (!plugin->Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface, 700, 100)) return nullptr;
    plugin->SetOwnProductName("Sonvera");
    plugin->Presets().SetFactoryPresets(ModuleResources::FactoryPresets());
    // The band editors work on the vocoder itself: it lives in this module.
    auto* vocoder = dynamic_cast<sonvera::SonveraAudioEffectPlugin*>(plugin->Effect());
    plugin->SetEditorContent([vocoder](const gui::EditorServices& services) {
        std::unique_ptr<gui::BandAccess> bands;
        if (vocoder != nullptr) bands = std::make_unique<sonvera::VocoderBandAccess>(*vocoder);
        return std::make_unique<gui::VocoderEditor>(services, std::move(bands));
    });
    return plugin;
}

}  // namespace corvane

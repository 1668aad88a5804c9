#include "entry/PluginCreation.h"

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
    plugin->SetEditorContent(
        [](gui::ParameterAccess& parameters) { return std::make_unique<gui::VocoderEditor>(parameters); });
    return plugin;
}

}  // namespace corvane

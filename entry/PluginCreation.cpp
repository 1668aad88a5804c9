#include "entry/PluginCreation.h"

#include "entry/Exports.h"
#include "entry/MModule.h"
#include "entry/ModuleResources.h"

namespace corvane {

std::unique_ptr<MQuorlithAudioEffectPlugin> CreateSonveraPlugin() {
    MModule::StartUp();
    auto plugin = std::make_unique<MQuorlithAudioEffectPlugin>();
    if (!plugin->Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface, 700, 100)) return nullptr;
    plugin->SetOwnProductName("Sonvera");
    plugin->Presets().SetFactoryPresets(ModuleResources::FactoryPresets());
    return plugin;
}

}  // namespace corvane

#include "tools/render/PresetOptions.h"

#include <memory>
#include <stdexcept>

#include "entry/PluginCreation.h"

namespace render {
namespace {

std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> NewPlugin() {
    auto plugin = corvane::CreateSonveraPlugin();
    if (plugin == nullptr) throw std::runtime_error("the plug-in could not be created");
    return plugin;
}

}  // namespace

std::vector<std::string> ListPresets() { return NewPlugin()->Presets().List(); }

std::vector<uint8_t> ApplyPreset(const std::vector<uint8_t>& state, const std::string& path) {
    auto plugin = NewPlugin();
    if (!plugin->ReadChunk(state.data(), state.size())) throw std::runtime_error("the plug-in's state cannot be read");
    corvane::MPresetManagerBase& presets = plugin->Presets();
    const int32_t index = presets.Find(path);
    if (index < 0) throw std::runtime_error("there is no preset \"" + path + "\"; --list-presets shows the bank");
    if (!presets.LoadPreset(index)) throw std::runtime_error("the preset \"" + path + "\" cannot be loaded");
    return plugin->WriteChunk();
}

}  // namespace render

// The plug-in's preset kinds: the whole sound, and the parts a user keeps
// on their own (modulators, oscillator shapes, the MIDI controller set).

#include <optional>

#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"

namespace corvane {

std::unique_ptr<MPresetManagerBase> MAudioEffectPluginToAudioPluginAdapter::PartPresets(
    const std::string& kind, std::function<void(MStoreContext&)> part) {
    return std::make_unique<MPresetManagerT<MAudioEffectPluginToAudioPluginAdapter>>(
        product_ + kind, *this,
        [part = std::move(part)](MAudioEffectPluginToAudioPluginAdapter& plugin, MStoreContext& context) {
            std::optional<ExclusiveAccess> exclusive;
            if (!context.storing) exclusive.emplace(plugin);
            part(context);
        });
}

void MAudioEffectPluginToAudioPluginAdapter::CreatePresetManagers() {
    presets_ = std::make_unique<MPresetManagerT<MAudioEffectPluginToAudioPluginAdapter>>(
        product_, *this,
        [](MAudioEffectPluginToAudioPluginAdapter& plugin, MStoreContext& context) { plugin.StoreSettings(context); });
    allModulatorPresets_ = PartPresets("LFOs", [this](MStoreContext& context) { StoreLFO(context); });
    controllerPresets_ = PartPresets("Controllers", [this](MStoreContext& context) { StoreControllers(context); });
    for (int32_t i = 0; i < ModulatorBank::Count; ++i) {
        modulatorPresets_[i] =
            PartPresets("LFO", [this, i](MStoreContext& context) { modulators_.StoreOne(i, context, registry_); });
        shapePresets_[i] =
            PartPresets("Signal", [this, i](MStoreContext& context) { modulators_.At(i).shape.Store(context); });
    }
}

void MAudioEffectPluginToAudioPluginAdapter::ApplyPresetSteps() {
    if (presetSteps_.load(std::memory_order_relaxed) == 0) return;
    // The host's idle and the background work may both get here.
    std::lock_guard<std::mutex> hold(presetStepping_);
    const int32_t steps = TakePresetSteps();
    if (steps == 0 || presets_ == nullptr) return;
    // An open editor reads the state the preset replaces: not while it draws.
    if (PluginEditor* editor = editorForWork_.load(std::memory_order_acquire))
        editor->Exclusively([&] { presets_->Step(steps); });
    else
        presets_->Step(steps);
}

}  // namespace corvane

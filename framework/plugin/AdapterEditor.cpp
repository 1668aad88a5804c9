// The plug-in's editor: made on first use, idled by the host.

#include "framework/core/ExceptionGuard.h"
#include "framework/plugin/EditorMIDI.h"
#include "framework/plugin/EditorModulation.h"
#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"

namespace corvane {

PluginEditor* MAudioEffectPluginToAudioPluginAdapter::Editor() {
    if (editor_ == nullptr && editorContent_) {
        PluginEditor::Sources sources;
        sources.meters = &meters_;
        sources.presets = presets_.get();
        sources.midi = std::make_unique<EditorMIDI>(*this);
        sources.modulation = std::make_unique<EditorModulation>(*this);
        editor_ = std::make_unique<PluginEditor>(*this, editorContent_, std::move(sources));
        editorForWork_.store(editor_.get(), std::memory_order_release);
        metersFed_.store(true, std::memory_order_relaxed);  // the meters run from now on
    }
    return editor_.get();
}

void MAudioEffectPluginToAudioPluginAdapter::EditorIdle() {
    DeliverPostedHostCalls();
    ProcessUpdate();
    if (editor_ != nullptr) GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::EditorIdle", [&] { editor_->Idle(); });
    ApplyPresetSteps();
}

}  // namespace corvane

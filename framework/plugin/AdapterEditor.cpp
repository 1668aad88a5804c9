// The plug-in's editor: made on first use, idled by the host.

#include "framework/core/ExceptionGuard.h"
#include "framework/plugin/EditorMIDI.h"
#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"

namespace corvane {

PluginEditor* MAudioEffectPluginToAudioPluginAdapter::Editor() {
    if (editor_ == nullptr && editorContent_) {
        editor_ = std::make_unique<PluginEditor>(*this, editorContent_, &meters_, presets_.get(),
                                                 std::make_unique<EditorMIDI>(*this));
        metersFed_.store(true, std::memory_order_relaxed);  // the meters run from now on
    }
    return editor_.get();
}

void MAudioEffectPluginToAudioPluginAdapter::EditorIdle() {
    ProcessUpdate();
    if (editor_ != nullptr) GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::EditorIdle", [&] { editor_->Idle(); });
    ApplyPresetSteps();
}

}  // namespace corvane

#include "framework/parameters/ParameterAdapters.h"

namespace corvane {

void ParameterBase::NotifyChanged(bool silent) {
    if (silent) return;
    if (effect != nullptr) effect->ParameterChanged(effectIndex);
    if (owner == nullptr) return;
    if (descriptor->NeedsFullUpdate()) owner->SetUpdatePending();
    if (editorLink != nullptr) owner->NeedUpdateEditor(*this);
}

void ParameterBaseCustom::NotifyChanged(bool silent) {
    if (!silent && editorLink != nullptr && owner != nullptr) owner->NeedUpdateEditor(*this);
    const ChangeEvent event{this};
    for (const Listener& listener : listeners) listener.function(listener.target, listener.argument, event);
}

}  // namespace corvane

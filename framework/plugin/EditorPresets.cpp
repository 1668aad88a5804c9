#include "framework/plugin/EditorPresets.h"

#include "framework/core/ExceptionGuard.h"
#include "framework/storage/Configuration.h"

namespace corvane {

gui::PresetAccess::Confirm EditorPresets::Asking(const Confirm& confirm) {
    const bool asking = Guarded("EditorPresets::Asking", true, [] { return Configuration::ConfirmationEnabled(); });
    return asking ? confirm : Confirm();
}

}  // namespace corvane

#include <array>
#include <new>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "entry/Exports.h"
#include "entry/MModule.h"
#include "framework/core/ExceptionGuard.h"

using corvane::MPluginArguments;

extern "C" int64_t SonveraAudioEffectPluginInterface(void* object, int64_t command, MPluginArguments* arguments) {
    return corvane::Guarded("SonveraAudioEffectPluginInterface", int64_t(0), [&]() -> int64_t {
        auto* effect = static_cast<sonvera::SonveraAudioEffectPlugin*>(object);
        if (effect == nullptr) effect = new (std::nothrow) sonvera::SonveraAudioEffectPlugin();
        if (command == corvane::PluginCommand::GetObject || effect == nullptr) return corvane::PointerResult(effect);
        // A host that passes no record gets the behaviour of an empty one.
        MPluginArguments empty;
        return effect->Dispatch(command, arguments != nullptr ? *arguments : empty);
    });
}

extern "C" void* CorvaneDLLInitialize(const CorvaneInitializationRecord* record) {
    return corvane::Guarded("CorvaneDLLInitialize", static_cast<void*>(nullptr), [&]() -> void* {
        if (record == nullptr) return nullptr;
        std::array<uint64_t, 6> values{};
        if (record->values != nullptr)
            for (size_t i = 0; i < 5; ++i) values[i] = record->values[i];
        values[5] = record->extraValue;
        corvane::MModule::SetConfiguration(values);
        return corvane::MModule::Initialize(record->name != nullptr ? record->name : "");
    });
}

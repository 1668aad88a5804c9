// The VST 2.4 entry: VSTPluginMain, also exported as "main" for older hosts.

#include <memory>

#include "entry/Exports.h"
#include "entry/PluginCreation.h"
#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "hosts/vst2/MAudioPluginVSTAdapter.h"

extern "C" Vst2::AEffect* VSTPluginMain(Vst2::HostCallback host) {
    return corvane::Guarded("VST Plugin main", static_cast<Vst2::AEffect*>(nullptr), [&]() -> Vst2::AEffect* {
        if (host == nullptr || host(nullptr, Vst2::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
        std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin = corvane::CreateSonveraPlugin();
        if (plugin == nullptr) return nullptr;
        std::unique_ptr<Vst2::MAudioPluginVSTAdapter> adapter;
        try {
            adapter = std::make_unique<Vst2::MAudioPluginVSTAdapter>(host, std::move(plugin));
        } catch (...) {
            corvane::DiagnosticLog::Write("Error creating Vst plugin object.");
            return nullptr;
        }
        Vst2::BindEffectRecord(*adapter);
        return adapter.release()->Effect();  // the host's effClose deletes it
    });
}

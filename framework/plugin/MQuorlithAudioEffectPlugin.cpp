#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

#include "framework/core/ExceptionGuard.h"

namespace corvane {

bool MQuorlithAudioEffectPlugin::Initialize(const std::string& product, const std::string& vendor,
                                            MPluginInterfaceFunction effectInterface, int32_t first, int32_t second) {
    return Guarded("MQuorlithAudioEffectPlugin::Initialize", false, [&] {
        entryPair[0] = first;
        entryPair[1] = second;
        const bool loaded = Guarded("MAudioEffectPluginToAudioPluginAdapter::Initialize", false, [&] {
            MAudioEffectPluginToAudioPluginAdapter::Initialize(product, vendor, effectInterface);
            return true;
        });
        return loaded;
    });
}

}  // namespace corvane

#pragma once
// The VST 2.4 adapter over a plug-in made in this process, reporting to a
// test host's instance: for what a host cannot reach from outside.

#include <memory>

#include "entry/Exports.h"
#include "hosts/vst2/MAudioPluginVSTAdapter.h"
#include "tests/hosts/vst2/VstTestHost.h"

namespace sonvera_test {

inline std::unique_ptr<Vst2::MAudioPluginVSTAdapter> InProcessAdapter(VstTestHost::Instance& host) {
    auto plugin = std::make_unique<corvane::MQuorlithAudioEffectPlugin>();
    plugin->Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface);
    VstTestHost::pendingVersion = 2400;
    VstTestHost::current = &host;
    auto adapter = std::make_unique<Vst2::MAudioPluginVSTAdapter>(VstTestHost::Callback, std::move(plugin));
    Vst2::BindEffectRecord(*adapter);
    adapter->Effect()->user = &host;
    VstTestHost::current = nullptr;
    host.effect = adapter->Effect();
    return adapter;
}

}  // namespace sonvera_test

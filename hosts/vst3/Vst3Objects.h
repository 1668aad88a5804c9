#pragma once
// The objects a VST3 host holds: the factory, and per instance one object
// that answers for the component, processor, controller and MIDI mapping
// interfaces over one MAudioPluginVST3Adapter.

#include <memory>

#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "hosts/vst3/Vst3Interface.h"

namespace Vst3 {

// How the entry builds a framework plug-in for each new instance (null on failure).
using PluginCreator = std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> (*)();
void SetPluginCreator(PluginCreator creator);

// The process-wide factory (created once, never released).
v3_plugin_factory_cpp** Factory();

// "rouQhtilSonvSonv": the class every host stores in its projects.
extern const v3_tuid SonveraClassId;

}  // namespace Vst3

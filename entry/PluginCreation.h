#pragma once
// The framework plug-in over the vocoder, as every host entry creates it
// after the process-wide start-up. Null when the effect cannot be loaded.

#include <memory>

#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

namespace corvane {

std::unique_ptr<MQuorlithAudioEffectPlugin> CreateSonveraPlugin();

}  // namespace corvane

#pragma once
// The VST3 editor view ("editor"): the plug-in's editor embedded into the
// host's X11 window, idled by a timer on the host's run loop.

#include <functional>

#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "hosts/vst3/Vst3Interface.h"

namespace Vst3 {

// A new view with one reference, or null when the plug-in has no editor.
// `release` runs when the host lets the view go (the instance's reference).
v3_plugin_view** CreateView(corvane::MQuorlithAudioEffectPlugin& plugin, std::function<void()> release);
// Asks the view's frame to give it the size; true also while a resize is
// already in progress (the host is answering an earlier request).
bool ResizeView(v3_plugin_view** view, int32_t width, int32_t height);

}  // namespace Vst3

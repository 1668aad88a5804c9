#pragma once
// A spoken sentence as a modulator, for users without a voice recording.

#include <string>

#include "tools/render/AudioFiles.h"

namespace render {

// `text` spoken in English by the speech synthesiser, mono at its own rate;
// throws std::runtime_error when the synthesiser cannot start or says nothing.
Audio Speak(const std::string& text);

}  // namespace render

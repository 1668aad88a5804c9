#pragma once
// One PNG with the spectrograms of carrier, modulator and output stacked and
// labelled, on a logarithmic frequency axis.

#include <string>
#include <utility>
#include <vector>

#include "tools/render/AudioFiles.h"

namespace render {

// (label, signal) pairs, drawn top to bottom. Throws std::runtime_error on write failure.
void WriteSpectrogram(const std::string& path, const std::vector<std::pair<std::string, const Audio*>>& panels);

}  // namespace render

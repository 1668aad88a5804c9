#pragma once
// One PNG with the spectrograms of carrier, modulator and output stacked and
// labelled, on a logarithmic frequency axis.

#include <string>
#include <utility>
#include <vector>

#include "tools/render/AudioFiles.h"

namespace render {

// (label, signal) pairs, drawn top to bottom, into the file's temporary path;
// the caller commits it. Throws std::runtime_error on write failure.
void WriteSpectrogram(corvane::ReplacingFile& file, const std::vector<std::pair<std::string, const Audio*>>& panels);

}  // namespace render

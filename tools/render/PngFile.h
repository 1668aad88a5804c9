#pragma once
// Pictures the renderer writes: 8-bit RGB rows encoded as PNG in memory, so
// the file sees only finished bytes.

#include <cstdint>
#include <vector>

#include "platform/ReplacingFile.h"

namespace render {

// Throws std::runtime_error naming the file when it cannot be encoded or written.
void WritePng(corvane::ReplacingFile& file, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace render

#pragma once
// The plug-in's state as an XML tree, for options that edit it the way a
// host would store it.

#include <cstdint>
#include <vector>

#include "framework/storage/MXMLItem.h"

namespace render {

// Throws std::runtime_error when the state cannot be read.
corvane::MXMLItem ReadStateTree(const std::vector<uint8_t>& state);
std::vector<uint8_t> WriteStateTree(const corvane::MXMLItem& root);

}  // namespace render

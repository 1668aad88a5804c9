#pragma once
// A state chunk as indented XML text, so that a failing comparison shows
// what differs.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/storage/MStream.h"
#include "framework/storage/MXMLItem.h"
#include "framework/storage/XMLFiles.h"

namespace sonvera_test {

inline std::string ChunkText(const std::vector<uint8_t>& chunk) {
    corvane::MXMLItem root;
    corvane::MMemoryStream in(const_cast<uint8_t*>(chunk.data()), chunk.size());
    if (!corvane::LoadWithFallback(root, in)) return "(not a state)";
    corvane::MMemoryStream out;
    root.Write(out, "utf-8", corvane::XMLLayout::Indented);
    return std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(out.Size()));
}

}  // namespace sonvera_test

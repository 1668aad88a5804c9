#pragma once
// Stored forms of an element tree: compressed bodies, files, and the
// load-with-fallback that accepts compressed and plain documents alike.

#include <string>

#include "framework/storage/MStream.h"
#include "framework/storage/MXMLItem.h"

namespace corvane {

// Inflated documents larger than the parser reads are refused while inflating.
constexpr uint64_t MaxInflatedBytes = MXMLItem::MaxDocumentBytes;

// Compact layout through zlib at quality 100.
void WriteCompressed(const MXMLItem& root, MStream& stream, const std::string& encoding);
// Indented layout into a newly created file.
void SaveToFile(const MXMLItem& root, const std::string& path, const std::string& encoding);
// A file parsed as plain text.
void LoadFromFile(MXMLItem& root, const std::string& path);
// Parses through zlib first; on failure, from the same position as plain text.
bool LoadWithFallback(MXMLItem& root, MStream& stream);

}  // namespace corvane

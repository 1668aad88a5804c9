#pragma once
// The preset file's tree and what is done to it, free of files and owners:
// numbering presets through nested folders, the compressed form of a
// preset, merging folders, stepping with wrap-around, and the random
// combination of preset trees.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/storage/MXMLItem.h"

namespace corvane {
namespace Presets {

// Element and attribute names of the preset file.
constexpr const char* FolderElement = "Directory";
constexpr const char* FolderName = "Name";
constexpr const char* PresetElement = "preset";
constexpr const char* PresetName = "name";
constexpr const char* Compressed = "compressed";
constexpr const char* ExchangeIndex = "ExchangeIndex";

// Every preset below `folder` in numbering order: a folder's own presets,
// then each sub-folder's, depth first.
std::vector<MXMLItem*> Flatten(MXMLItem& folder);
// The folder at "A/B" below the root ("" is the root); null when missing.
MXMLItem* FindFolder(MXMLItem& root, const std::string& path);
// "A/B/Name" of a preset, its folders' names joined by "/".
std::string PathOf(const MXMLItem& preset, const MXMLItem& root);

// The preset's settings tree: the element itself, or its compressed text
// read back (throws the stream errors when it does not decode).
MXMLItem Expand(const MXMLItem& preset);
// Every expanded preset in document order takes the compressed form; a
// preset without a name stops the pass there.
void CompressAll(MXMLItem& root);

// Appends the source's presets whose names the destination folder lacks
// (marked with `exchangeIndex` when it is 0 or more), then merges sub-folders
// by name, creating missing ones. Returns the number of presets added.
int32_t Merge(MXMLItem& destination, const MXMLItem& source, int32_t exchangeIndex);

// Previous (-1) or next (+1) from `current` among `count` presets, wrapping.
int32_t Step(int32_t current, int32_t delta, int32_t count);

// The framework's linear congruential generator.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    bool Bit() { return ((Next() >> 16) & 1u) != 0; }
    uint32_t Below(uint32_t count) { return count == 0 ? 0 : (Next() / 65536u) % count; }

private:
    uint32_t Next() { return state_ = state_ * 214013u + 2531011u; }
    uint32_t state_;
};

// How many further presets random settings combine into the base one.
int32_t CombinationCount(int32_t candidates, bool multi);
// Mixes tree `other` into `base`; `other` loses the children it gave.
void Combine(MXMLItem& base, MXMLItem& other, Random& random);
// Random settings made from the file's "Randomizer" or "Randomizer Multi"
// folder (or from all presets when it has neither); false with fewer than
// two candidates.
bool RandomSettings(MXMLItem& root, Random& random, MXMLItem& result);

}  // namespace Presets
}  // namespace corvane

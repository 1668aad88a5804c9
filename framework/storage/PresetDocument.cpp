#include "framework/storage/PresetDocument.h"

#include <algorithm>
#include <cmath>

#include "framework/core/MException.h"
#include "framework/storage/MStream.h"
#include "framework/storage/XMLFiles.h"

namespace corvane {
namespace Presets {

namespace {

void Collect(MXMLItem& folder, std::vector<MXMLItem*>& out) {
    for (size_t i = 0; i < folder.SubItemCount(); ++i)
        if (folder.SubItem(i).Name() == PresetElement) out.push_back(&folder.SubItem(i));
    for (size_t i = 0; i < folder.SubItemCount(); ++i)
        if (folder.SubItem(i).Name() == FolderElement) Collect(folder.SubItem(i), out);
}

MXMLItem* ChildFolder(MXMLItem& parent, const std::string& name) {
    for (size_t i = 0; i < parent.SubItemCount(); ++i) {
        MXMLItem& child = parent.SubItem(i);
        if (child.Name() == FolderElement && child.GetAttribute(FolderName) == name) return &child;
    }
    return nullptr;
}

// False when the pass must stop (a preset without a name).
bool CompressWalk(MXMLItem& element) {
    if (element.Name() == PresetElement) {
        const std::string* name = element.FindAttribute(PresetName);
        if (name == nullptr) return false;
        if (element.FindAttribute(Compressed) != nullptr) return true;
        const std::string kept = *name;
        MMemoryStream packed;
        WriteCompressed(element, packed, "utf-8");
        element.Clear();
        element.SetAttribute(PresetName, kept);
        element.SetAttribute(Compressed, "1");
        element.StoreBinary(packed.Data(), static_cast<size_t>(packed.Size()), false);
        return true;
    }
    for (size_t i = 0; i < element.SubItemCount(); ++i)
        if (!CompressWalk(element.SubItem(i))) return false;
    return true;
}

}  // namespace

std::vector<MXMLItem*> Flatten(MXMLItem& folder) {
    std::vector<MXMLItem*> out;
    Collect(folder, out);
    return out;
}

MXMLItem* FindFolder(MXMLItem& root, const std::string& path) {
    MXMLItem* folder = &root;
    for (size_t start = 0; folder != nullptr && start < path.size();) {
        const size_t slash = std::min(path.find('/', start), path.size());
        folder = ChildFolder(*folder, path.substr(start, slash - start));
        start = slash + 1;
    }
    return folder;
}

std::string PathOf(const MXMLItem& preset, const MXMLItem& root) {
    std::string path = preset.GetAttribute(PresetName);
    for (const MXMLItem* folder = preset.Parent(); folder != nullptr && folder != &root; folder = folder->Parent())
        path = folder->GetAttribute(FolderName) + "/" + path;
    return path;
}

MXMLItem Expand(const MXMLItem& preset) {
    if (preset.FindAttribute(Compressed) == nullptr) return preset;
    std::vector<uint8_t> bytes(preset.Text().size() / 2);
    preset.LoadBinary(bytes.data(), bytes.size(), false);
    MMemoryStream stream(bytes.data(), bytes.size());
    MXMLItem tree;
    if (!LoadWithFallback(tree, stream)) throw MException("The XML does not contain any elements.");
    return tree;
}

void CompressAll(MXMLItem& root) { CompressWalk(root); }

int32_t Merge(MXMLItem& destination, const MXMLItem& source, int32_t exchangeIndex) {
    int32_t added = 0;
    for (size_t i = 0; i < source.SubItemCount(); ++i) {
        const MXMLItem& preset = source.SubItem(i);
        if (preset.Name() != PresetElement) continue;
        const std::string name = preset.GetAttribute(PresetName);
        bool present = false;
        for (size_t j = 0; j < destination.SubItemCount() && !present; ++j)
            present = destination.SubItem(j).Name() == PresetElement &&
                      destination.SubItem(j).GetAttribute(PresetName) == name;
        if (present) continue;
        MXMLItem& copy = destination.AddSubItem(PresetElement);
        copy.Copy(preset);
        if (exchangeIndex >= 0) copy.SetAttribute(ExchangeIndex, std::to_string(exchangeIndex));
        ++added;
    }
    for (size_t i = 0; i < source.SubItemCount(); ++i) {
        const MXMLItem& folder = source.SubItem(i);
        if (folder.Name() != FolderElement) continue;
        const std::string name = folder.GetAttribute(FolderName);
        MXMLItem* target = ChildFolder(destination, name);
        if (target == nullptr) {
            target = &destination.AddSubItem(FolderElement);
            target->SetAttribute(FolderName, name);
        }
        added += Merge(*target, folder, exchangeIndex);
    }
    return added;
}

int32_t Step(int32_t current, int32_t delta, int32_t count) {
    if (count <= 0) return -1;
    int64_t i = static_cast<int64_t>(current) + delta;
    if (i < 0) i += 100 * static_cast<int64_t>(count);
    if (i < 0) i = 0;
    return static_cast<int32_t>(i % count);
}

int32_t CombinationCount(int32_t candidates, bool multi) {
    const int32_t k = multi ? candidates / 2 : static_cast<int32_t>(std::pow(static_cast<double>(candidates), 0.3333));
    return std::min(std::max(k, 1), multi ? 8 : 5);
}

void Combine(MXMLItem& base, MXMLItem& other, Random& random) {
    if (random.Bit()) base.SetText(other.Text());
    for (size_t i = 0; i < base.SubItemCount(); ++i) {
        MXMLItem& a = base.SubItem(i);
        MXMLItem* b = other.FindSubItem(a.Name());
        if (b == nullptr) continue;
        const uint32_t r = random.Below(8);
        if (r == 1)
            a.Copy(*b);
        else if (r >= 2)
            Combine(a, *b, random);
        other.RemoveSubItem(*b);
    }
    for (size_t i = 0; i < other.SubItemCount(); ++i)
        if (random.Bit()) base.AddSubItem(other.SubItem(i).Name()).Copy(other.SubItem(i));
    for (const auto& [name, value] : other.Attributes())
        if (random.Bit()) base.SetAttribute(name, value);
}

bool RandomSettings(MXMLItem& root, Random& random, MXMLItem& result) {
    MXMLItem* single = ChildFolder(root, "Randomizer");
    MXMLItem* multi = ChildFolder(root, "Randomizer Multi");
    const bool flip = random.Bit();
    const bool useMulti = multi != nullptr && (flip || single == nullptr);
    MXMLItem* folder = useMulti ? multi : single != nullptr ? single : &root;
    std::vector<MXMLItem*> candidates = Flatten(*folder);
    if (candidates.size() < 2) return false;
    const int32_t k = CombinationCount(static_cast<int32_t>(candidates.size()), useMulti);
    auto take = [&] {
        const size_t at = random.Below(static_cast<uint32_t>(candidates.size()));
        MXMLItem tree = Expand(*candidates[at]);
        candidates.erase(candidates.begin() + static_cast<long>(at));
        return tree;
    };
    result = take();
    for (int32_t i = 0; i < k && !candidates.empty(); ++i) {
        MXMLItem other = take();
        Combine(result, other, random);
    }
    result.GetOrAddSubItem("ActivePreset").SetAttribute("Edit", "1");
    return true;
}

}  // namespace Presets
}  // namespace corvane

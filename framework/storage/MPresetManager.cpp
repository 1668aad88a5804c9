#include "framework/storage/MPresetManager.h"

#include <filesystem>
#include <system_error>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "framework/core/MException.h"
#include "framework/storage/Configuration.h"
#include "framework/storage/XMLFiles.h"
#include "platform/DataFolders.h"
#include "platform/FileSystem.h"

namespace corvane {

namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(fs::u8path(path), error);
}

// A free name beside `path` for a file kept aside.
std::string AsideName(const std::string& path) {
    for (int n = 1;; ++n) {
        const std::string candidate = path + ".unreadable-" + std::to_string(n);
        std::error_code error;
        if (!fs::exists(fs::u8path(candidate), error)) return candidate;
    }
}

// The folder at `path` ("" is the root, unless only a named folder will do);
// throws naming the path when there is none.
MXMLItem& FolderAt(MXMLItem& document, const std::string& path, bool rootAllowed) {
    MXMLItem* folder = path.empty() && !rootAllowed ? nullptr : Presets::FindFolder(document, path);
    if (folder == nullptr) throw MException("There is no preset folder \"" + path + "\".");
    return *folder;
}

}  // namespace

bool MPresetBase::CreatePreset(MXMLItem& preset, const std::string& name) {
    preset.SetAttribute(Presets::PresetName, name);
    StoreIntoPreset(preset, false);
    return true;
}

MPresetManagerBase::MPresetManagerBase(std::string name, MPresetBase& owner, std::string folder)
    : name_(std::move(name)), folder_(std::move(folder)), owner_(owner), factory_(name_ + "presets") {}

std::string MPresetManagerBase::Folder() const { return folder_.empty() ? DataFolders::MakerFolder() : folder_; }

std::string MPresetManagerBase::FilePath() const { return Folder() + "/" + name_ + "presets.xml"; }

bool MPresetManagerBase::Guard(const char* operation, const std::function<bool()>& body) {
    try {
        return body();
    } catch (const MException& e) {
        DiagnosticLog::Write(std::string(operation) + " (\"" + name_ + "\" presets): " + e.Message());
    } catch (...) {
        LogSystemException(operation);
    }
    return false;
}

void MPresetManagerBase::MergeOlderLocation() {
    const std::string older = DataFolders::RoamingFolder() + "/" + name_ + "presets.xml";
    if (older == FilePath() || !Exists(older)) return;
    // The older file goes only once its presets are safely in the current one.
    if (Merge(FilePath(), older) < 0) return;
    FileSystem::Remove(older);
}

MXMLItem MPresetManagerBase::Read(bool forChange) {
    MergeOlderLocation();
    const std::string path = FilePath();
    MXMLItem document(name_ + "presets");
    if (!Exists(path)) {
        // A user's first preset file starts with the factory bank.
        document = factory_;
        document.SetName(name_ + "presets");
        if (document.SubItemCount() > 0 && !forChange) {
            try {
                Write(document);
            } catch (const MException& e) {
                DiagnosticLog::Write(e.Message());  // the bank still plays from memory
            }
        }
        return document;
    }
    try {
        LoadFromFile(document, path);
        return document;
    } catch (const MException& e) {
        if (!forChange) throw;
        // Never overwritten by a save: the unreadable file keeps the user's presets.
        const std::string aside = AsideName(path);
        if (!FileSystem::Replace(path, aside))
            throw MException("The preset file \"" + path + "\" cannot be read (" + e.Message() +
                             ") and could not be kept aside; nothing was saved.");
        DiagnosticLog::Write("The preset file \"" + path + "\" cannot be read (" + e.Message() +
                             "); it was kept as \"" + aside + "\" and a new one started.");
        MXMLItem fresh(name_ + "presets");
        return fresh;
    }
}

void MPresetManagerBase::Write(MXMLItem& document) {
    Configuration::RequireFolder(Folder());
    Presets::CompressAll(document);
    document.SetName(name_ + "presets");
    SaveToFile(document, FilePath(), "utf-8");
}

std::vector<std::string> MPresetManagerBase::List() {
    std::vector<std::string> names;
    Guard("MPresetManagerBase::List", [&] {
        MXMLItem document = Read(false);
        for (const MXMLItem* preset : Presets::Flatten(document)) names.push_back(Presets::PathOf(*preset, document));
        return true;
    });
    return names;
}

int32_t MPresetManagerBase::Find(const std::string& path) {
    const std::vector<std::string> names = List();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == path) return static_cast<int32_t>(i);
    return -1;
}

bool MPresetManagerBase::LoadPreset(int32_t index) {
    return Guard("MPresetManagerBase::LoadPreset", [&] {
        MXMLItem document = Read(false);
        const std::vector<MXMLItem*> presets = Presets::Flatten(document);
        if (index < 0 || index >= static_cast<int32_t>(presets.size())) return false;
        MXMLItem tree = Presets::Expand(*presets[static_cast<size_t>(index)]);
        owner_.LoadFromPreset(tree);
        current_ = index;
        return true;
    });
}

bool MPresetManagerBase::Step(int32_t delta) {
    const int32_t count = static_cast<int32_t>(List().size());
    return count > 0 && LoadPreset(Presets::Step(CurrentIndex(), delta, count));
}

bool MPresetManagerBase::SaveNew(const std::string& folder, const std::string& name) {
    return Guard("MPresetManagerBase::SaveNew", [&] {
        MXMLItem document = Read(true);
        MXMLItem* parent = &FolderAt(document, folder, true);
        MXMLItem& preset = parent->AddSubItem(Presets::PresetElement);
        if (!owner_.CreatePreset(preset, name)) {
            parent->RemoveSubItem(preset);
            return false;
        }
        Write(document);
        const std::vector<MXMLItem*> presets = Presets::Flatten(document);
        for (size_t i = 0; i < presets.size(); ++i)
            if (presets[i] == &preset) current_ = static_cast<int32_t>(i);
        return true;
    });
}

bool MPresetManagerBase::ReplaceCurrent(const Confirm& confirm) {
    if (confirm && !confirm(ReplaceQuestion)) return false;
    return Guard("MPresetManagerBase::ReplaceCurrent", [&] {
        MXMLItem document = Read(true);
        const std::vector<MXMLItem*> presets = Presets::Flatten(document);
        const int32_t current = CurrentIndex();
        if (current < 0 || current >= static_cast<int32_t>(presets.size())) return false;
        MXMLItem& preset = *presets[static_cast<size_t>(current)];
        while (preset.SubItemCount() > 0) preset.RemoveSubItem(preset.SubItem(0));
        preset.SetText(std::string());
        preset.RemoveAttribute(Presets::Compressed);
        owner_.StoreIntoPreset(preset, true);
        Write(document);
        return true;
    });
}

bool MPresetManagerBase::DeletePreset(int32_t index, const Confirm& confirm) {
    if (confirm && !confirm(DeleteQuestion)) return false;
    return Guard("MPresetManagerBase::DeletePreset", [&] {
        MXMLItem document = Read(true);
        const std::vector<MXMLItem*> presets = Presets::Flatten(document);
        if (index < 0 || index >= static_cast<int32_t>(presets.size())) return false;
        MXMLItem& preset = *presets[static_cast<size_t>(index)];
        preset.Parent()->RemoveSubItem(preset);
        Write(document);
        if (current_ > index || current_ >= static_cast<int32_t>(presets.size()) - 1)
            current_ = std::max(current_ - 1, 0);
        return true;
    });
}

bool MPresetManagerBase::RenamePreset(int32_t index, const std::string& name) {
    return Guard("MPresetManagerBase::RenamePreset", [&] {
        MXMLItem document = Read(true);
        const std::vector<MXMLItem*> presets = Presets::Flatten(document);
        if (index < 0 || index >= static_cast<int32_t>(presets.size())) return false;
        presets[static_cast<size_t>(index)]->SetAttribute(Presets::PresetName, name);
        Write(document);
        return true;
    });
}

bool MPresetManagerBase::CreateFolder(const std::string& parent, const std::string& name) {
    return Guard("MPresetManagerBase::CreateFolder", [&] {
        MXMLItem document = Read(true);
        MXMLItem* folder = &FolderAt(document, parent, true);
        folder->AddSubItem(Presets::FolderElement).SetAttribute(Presets::FolderName, name);
        Write(document);
        return true;
    });
}

bool MPresetManagerBase::RenameFolder(const std::string& folder, const std::string& name) {
    return Guard("MPresetManagerBase::RenameFolder", [&] {
        MXMLItem document = Read(true);
        MXMLItem* element = &FolderAt(document, folder, false);
        element->SetAttribute(Presets::FolderName, name);
        Write(document);
        return true;
    });
}

bool MPresetManagerBase::DeleteFolder(const std::string& folder, const Confirm& confirm) {
    if (confirm && !confirm("Are you sure you want to delete selected directory with all its presets?")) return false;
    return Guard("MPresetManagerBase::DeleteFolder", [&] {
        MXMLItem document = Read(true);
        MXMLItem* element = &FolderAt(document, folder, false);
        element->Parent()->RemoveSubItem(*element);
        Write(document);
        return true;
    });
}

bool MPresetManagerBase::ExportFolder(const std::string& folder, const std::string& file) {
    return Guard("MPresetManagerBase::ExportFolder", [&] {
        MXMLItem document = Read(false);
        MXMLItem* element = &FolderAt(document, folder, true);
        MXMLItem exported(*element);
        if (folder.empty()) {  // the whole file as one folder named after the kind
            exported.SetName(Presets::FolderElement);
            exported.SetAttribute(Presets::FolderName, name_);
        }
        Presets::CompressAll(exported);
        SaveToFile(exported, file, "utf-8");
        return true;
    });
}

bool MPresetManagerBase::ImportFolder(const std::string& folder, const std::string& file, const Confirm& confirm) {
    if (confirm && !confirm(ImportQuestion)) return false;
    return Guard("MPresetManagerBase::ImportFolder", [&] {
        MXMLItem imported;
        LoadFromFile(imported, file);
        if (imported.Name() != Presets::FolderElement) throw MException("\"" + file + "\" holds no preset directory.");
        MXMLItem document = Read(true);
        MXMLItem* element = &FolderAt(document, folder, true);
        const std::string kept = element->GetAttribute(Presets::FolderName);
        const std::string name = element->Name();
        element->Copy(imported);
        element->SetName(name);
        element->RemoveAttribute(Presets::FolderName);
        if (element != &document) element->SetAttribute(Presets::FolderName, kept);
        Write(document);
        return true;
    });
}

bool MPresetManagerBase::RandomSettings(uint32_t seed) {
    return Guard("MPresetManagerBase::RandomSettings", [&] {
        MXMLItem document = Read(false);
        Presets::Random random(seed);
        MXMLItem result;
        if (!Presets::RandomSettings(document, random, result)) return false;
        owner_.LoadFromPreset(result);
        return true;
    });
}

int32_t MPresetManagerBase::Merge(const std::string& destination, const std::string& source, int32_t exchangeIndex) {
    try {
        MXMLItem from;
        LoadFromFile(from, source);
        MXMLItem into(from.Name());
        if (Exists(destination)) LoadFromFile(into, destination);
        const int32_t added = Presets::Merge(into, from, exchangeIndex);
        if (added > 0) {
            Presets::CompressAll(into);
            SaveToFile(into, destination, "utf-8");
        }
        return added;
    } catch (const MException& e) {
        DiagnosticLog::Write("Merging presets from \"" + source + "\" into \"" + destination + "\": " + e.Message());
    } catch (...) {
        LogSystemException("MPresetManagerBase::Merge");
    }
    return -1;
}

}  // namespace corvane

#pragma once
// Preset files in a scratch folder, written from compact text, for the
// preset manager's tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/storage/MPresetManager.h"
#include "framework/storage/PresetDocument.h"
#include "framework/storage/XMLFiles.h"
#include "tests/support/ScratchFolder.h"

namespace sonvera_test {

using namespace corvane;
// The document of a preset file from compact text: "p1" is a preset, "[D1 ...]" a folder.
inline corvane::MXMLItem Tree(const std::vector<std::string>& shape) {
    MXMLItem root("Testpresets");
    std::vector<MXMLItem*> open{&root};
    for (const std::string& token : shape) {
        if (token == "]") {
            open.pop_back();
        } else if (token[0] == '[') {
            MXMLItem& folder = open.back()->AddSubItem(Presets::FolderElement);
            folder.SetAttribute(Presets::FolderName, token.substr(1));
            open.push_back(&folder);
        } else {
            MXMLItem& preset = open.back()->AddSubItem(Presets::PresetElement);
            preset.SetAttribute(Presets::PresetName, token);
            preset.SetAttribute("Value", token);
        }
    }
    return root;
}

inline std::vector<std::string> Names(corvane::MXMLItem& root) {
    std::vector<std::string> names;
    for (MXMLItem* preset : Presets::Flatten(root)) names.push_back(preset->GetAttribute(Presets::PresetName));
    return names;
}

// An owner with one value and one child element, like a small plug-in.
struct Owner : MPresetBase {
    void StoreIntoPreset(MXMLItem& preset, bool replacing) override {
        preset.SetAttribute("Value", value);
        preset.AddSubItem("Inner").SetText("inner " + value);
        replaced = replacing;
    }
    void LoadFromPreset(MXMLItem& tree) override {
        value = tree.GetAttribute("Value");
        ++loads;
    }
    std::string value = "start";
    int loads = 0;
    bool replaced = false;
};

class PresetManagerTest : public testing::Test {
protected:
    MPresetManagerBase Manager(Owner& owner) { return MPresetManagerBase("Test", owner, folder_.string()); }
    void WriteFile(const MXMLItem& document) { SaveToFile(document, File(), "utf-8"); }
    MXMLItem ReadFile() {
        MXMLItem document;
        LoadFromFile(document, File());
        return document;
    }
    // As the manager names it: its folder joined with "/".
    std::string File() const { return folder_.string() + "/Testpresets.xml"; }

    ScratchFolder scratch_{"sonvera-presets"};
    const std::filesystem::path& folder_ = scratch_.Path();
    Owner owner_;
};

inline const corvane::MPresetManagerBase::Confirm Yes = [](const std::string&) { return true; };
inline const corvane::MPresetManagerBase::Confirm No = [](const std::string&) { return false; };

}  // namespace sonvera_test

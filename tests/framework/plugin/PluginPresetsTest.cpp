// The plug-in as the owner of its presets: what a preset holds, what loading
// one leaves alone, and the current preset kept with the state.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/storage/PresetDocument.h"
#include "framework/storage/XMLFiles.h"
#include "tests/framework/plugin/VocoderPlugin.h"

using namespace corvane;

namespace {

class PluginPresetsTest : public testing::Test {
protected:
    void SetUp() override {
        previous_ = std::getenv("XDG_CONFIG_HOME") != nullptr ? std::getenv("XDG_CONFIG_HOME") : "";
        folder_ = std::filesystem::temp_directory_path() / ("sonvera-plugin-presets-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
        plugin_ = sonvera_test::NewVocoder();
        ratio_ = sonvera_test::Index(*plugin_, "Ratio");
    }
    void TearDown() override {
        plugin_.reset();
        std::filesystem::remove_all(folder_);
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    }
    MXMLItem SavedPreset(int32_t index) {
        MXMLItem document;
        LoadFromFile(document, plugin_->Presets().FilePath());
        return Presets::Expand(*Presets::Flatten(document).at(static_cast<size_t>(index)));
    }

    std::string previous_;
    std::filesystem::path folder_;
    std::unique_ptr<MQuorlithAudioEffectPlugin> plugin_;
    int32_t ratio_ = -1;
};

}  // namespace

TEST_F(PluginPresetsTest, APresetHoldsTheSoundNotTheHostSettings) {
    EXPECT_EQ(plugin_->Presets().FilePath(), folder_.string() + "/Quorlith/Sonverapresets.xml");
    plugin_->Parameters().SetParameter(ratio_, 0.3, false);
    ASSERT_TRUE(plugin_->Presets().SaveNew("", "Mine"));
    const MXMLItem preset = SavedPreset(0);
    EXPECT_EQ(preset.GetAttribute("name"), "Mine");
    EXPECT_EQ(preset.GetAttribute("parameterRatio"), "0.3");
    for (const char* kept : {"LFOs", "Controllers", "NoteControllers", "MultiParameters", "Matrix", "EQ"})
        EXPECT_NE(preset.FindSubItem(kept), nullptr) << kept;
    EXPECT_NE(preset.FindAttribute("CurrentPresetIndex"), nullptr);
    for (const char* outer :
         {"Version", "ChannelMode", "Bypass", "MaxLFOBlockSize", "upsampling", "hqupsampling", "AGC", "PresetIndex"})
        EXPECT_EQ(preset.FindAttribute(outer), nullptr) << outer;
    for (const char* outer : {"Preset0", "Preset7", "PreviousNextPresetController"})
        EXPECT_EQ(preset.FindSubItem(outer), nullptr) << outer;

    // Loading brings the sound back and leaves the outer settings as they are.
    plugin_->Parameters().SetParameter(ratio_, 0.9, false);
    plugin_->Controllers().presetSwitch = {true, 2, 5, 0.0};
    ASSERT_TRUE(plugin_->Presets().LoadPreset(0));
    EXPECT_NEAR(plugin_->Parameters().GetParameter(ratio_), 0.3, 1e-12);
    EXPECT_TRUE(plugin_->Controllers().presetSwitch.enabled);
    EXPECT_EQ(plugin_->Controllers().presetSwitch.controller, 5);
}

TEST_F(PluginPresetsTest, TheCurrentPresetTravelsWithTheState) {
    for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(plugin_->Presets().SaveNew("", name));
    ASSERT_TRUE(plugin_->Presets().LoadPreset(1));
    const std::vector<uint8_t> chunk = plugin_->WriteChunk();

    auto restored = sonvera_test::NewVocoder();
    EXPECT_EQ(restored->Presets().CurrentIndex(), 0);
    ASSERT_TRUE(restored->ReadChunk(chunk.data(), chunk.size()));
    EXPECT_EQ(restored->Presets().CurrentIndex(), 1);
    ASSERT_TRUE(restored->Presets().Step(1));
    EXPECT_EQ(restored->Presets().CurrentIndex(), 2);
    ASSERT_TRUE(restored->Presets().ReplaceCurrent(nullptr));
    EXPECT_EQ(SavedPreset(2).GetAttribute("name"), "c") << "replacing keeps the name";
}

TEST_F(PluginPresetsTest, RandomSettingsFromTheRandomizerFolder) {
    MXMLItem bank("Sonverapresets");
    MXMLItem& folder = bank.AddSubItem("Directory");
    folder.SetAttribute("Name", "Randomizer");
    for (const char* ratio : {"0.1", "0.2", "0.3"}) {
        MXMLItem& preset = folder.AddSubItem("preset");
        preset.SetAttribute("name", ratio);
        preset.SetAttribute("parameterRatio", ratio);
        preset.SetAttribute("parameterBandCount", "20");
    }
    plugin_->Presets().SetFactoryPresets(bank);
    for (uint32_t seed = 1; seed < 6; ++seed) {
        ASSERT_TRUE(plugin_->Presets().RandomSettings(seed));
        const double ratio = plugin_->Parameters().GetParameter(ratio_);
        EXPECT_TRUE(ratio == 0.1 || ratio == 0.2 || ratio == 0.3) << ratio;
        EXPECT_EQ(plugin_->Parameters().GetParameter(sonvera_test::Index(*plugin_, "Bands")), (20.0 - 4) / 96);
    }
}

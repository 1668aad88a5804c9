// The plug-in as the owner of its presets: what a preset holds, what loading
// one leaves alone, and the current preset kept with the state.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/storage/PresetDocument.h"
#include "framework/storage/XMLFiles.h"
#include "tests/framework/plugin/VocoderPlugin.h"
#include "tests/support/ScratchConfigFolder.h"

using namespace corvane;

namespace {

class PluginPresetsTest : public testing::Test {
protected:
    void SetUp() override {
        plugin_ = sonvera_test::NewVocoder();
        ratio_ = sonvera_test::Index(*plugin_, "Ratio");
    }
    MXMLItem SavedPreset(int32_t index) {
        MXMLItem document;
        LoadFromFile(document, plugin_->Presets().FilePath());
        return Presets::Expand(*Presets::Flatten(document).at(static_cast<size_t>(index)));
    }

    sonvera_test::ScratchConfigFolder scratch_{"sonvera-plugin-presets"};
    const std::filesystem::path& folder_ = scratch_.Path();
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

TEST_F(PluginPresetsTest, EveryPartKeepsItsOwnFile) {
    auto& vocoder = *static_cast<sonvera::SonveraAudioEffectPlugin*>(plugin_->Effect());
    const int32_t frequency = sonvera_test::Index(*plugin_, "LFO 1 Frequency");
    const int32_t frequency3 = sonvera_test::Index(*plugin_, "LFO 3 Frequency");
    MParameterRegistry& parameters = plugin_->Parameters();
    struct Case {
        const char* file;
        MPresetManagerBase& presets;
        std::function<void(bool saved)> set;  // the saved settings, or others
        std::function<bool()> isSaved;
    } cases[] = {
        {"SonveraLFOpresets.xml", plugin_->ModulatorPresets(0),
         [&](bool saved) { parameters.SetParameter(frequency, saved ? 0.25 : 0.75, false); },
         [&] { return std::abs(parameters.GetParameter(frequency) - 0.25) < 1e-9; }},
        {"SonveraLFOspresets.xml", plugin_->AllModulatorPresets(),
         [&](bool saved) { parameters.SetParameter(frequency3, saved ? 0.125 : 0.5, false); },
         [&] { return std::abs(parameters.GetParameter(frequency3) - 0.125) < 1e-9; }},
        {"SonveraControllerspresets.xml", plugin_->ControllerPresets(),
         [&](bool saved) { plugin_->Controllers().controllers[3] = {saved, 1, {}, 0, 7, false}; },
         [&] { return plugin_->Controllers().controllers[3].enabled; }},
        {"SonveraBandMatrixpresets.xml", vocoder.MatrixPresets(), [&](bool saved) { vocoder.SetMatrix(2, 5, saved); },
         [&] { return vocoder.Matrix(2, 5); }},
        {"SonveraEnvelopepresets.xml", vocoder.GraphPresets(),
         [&](bool saved) {
             vocoder.SelectGraph(5);
             MEnvelope::Point point = vocoder.Graph(5).PointAt(1);
             point.y = saved ? 2.0 : -1.0;
             vocoder.Graph(5).SetPoint(1, point);
         },
         [&] { return vocoder.Graph(5).PointAt(1).y == 2.0; }},
    };
    for (Case& c : cases) {
        c.set(true);
        ASSERT_TRUE(c.presets.SaveNew("", "kept")) << c.file;
        EXPECT_TRUE(std::filesystem::exists(folder_ / "Quorlith" / c.file)) << c.file;
        c.set(false);
        EXPECT_FALSE(c.isSaved()) << c.file;
        ASSERT_TRUE(c.presets.LoadPreset(0)) << c.file;
        EXPECT_TRUE(c.isSaved()) << c.file;
    }

    // A modulator preset loads into any slot.
    ASSERT_TRUE(plugin_->ModulatorPresets(2).LoadPreset(0));
    EXPECT_NEAR(parameters.GetParameter(frequency3), 0.25, 1e-9);
    // A matrix preset whose block is damaged leaves the matrix as it was.
    MXMLItem document;
    LoadFromFile(document, vocoder.MatrixPresets().FilePath());
    MXMLItem* preset = Presets::Flatten(document).at(0);
    preset->RemoveAttribute("compressed");
    preset->SetText("");
    preset->AddSubItem("Matrix").SetText("78DA00");
    SaveToFile(document, vocoder.MatrixPresets().FilePath(), "utf-8");
    vocoder.SetMatrix(2, 5, false);
    EXPECT_FALSE(vocoder.MatrixPresets().LoadPreset(0));
    EXPECT_FALSE(vocoder.Matrix(2, 5));
    EXPECT_TRUE(vocoder.Matrix(7, 7)) << "the rest of the matrix is untouched";
}

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "framework/storage/Configuration.h"
#include "framework/storage/XMLFiles.h"
#include "platform/DataFolders.h"
#include "tests/framework/plugin/SettingsFixture.h"
#include "tests/support/ChunkText.h"
#include "tests/support/LogCapture.h"

using namespace corvane;
using sonvera::SonveraAudioEffectPlugin;

using sonvera_test::SettingsTest;

TEST_F(SettingsTest, ChunkRoundTripIsByteIdentical) {
    auto first = NewPlugin();
    first->Parameters().SetParameter(6, 1.0, false);    // Mode: Inversion (dual)
    first->Parameters().SetParameter(21, 0.25, false);  // Bands: 28
    Vocoder(*first).Update();                           // as the next block would
    Vocoder(*first).BandLevel(3) = 1.5;
    Vocoder(*first).SetMatrix(2, 7, true);
    Vocoder(*first).SetGraphEnabled(4, true);
    first->SetMaxLFOBlockSize(512);
    const std::vector<uint8_t> chunk = first->WriteChunk();
    ASSERT_GT(chunk.size(), 2u);
    EXPECT_EQ(chunk[0], 0x78) << "a zlib stream";

    auto second = NewPlugin();
    ASSERT_TRUE(second->ReadChunk(chunk.data(), chunk.size()));
    EXPECT_EQ(Vocoder(*second).Parameter(sonvera::ParamMode).enumValues.valueIndex, sonvera::ModeInversionDual);
    EXPECT_EQ(Vocoder(*second).Parameter(sonvera::ParamBandCount).integerValues.value, 28);
    EXPECT_DOUBLE_EQ(Vocoder(*second).BandLevel(3), 1.5);
    EXPECT_TRUE(Vocoder(*second).Matrix(2, 7));
    EXPECT_TRUE(Vocoder(*second).GraphEnabled(4));
    EXPECT_EQ(sonvera_test::ChunkText(second->WriteChunk()), sonvera_test::ChunkText(chunk));
}

TEST_F(SettingsTest, DefaultsAreElidedAndAttributesSorted) {
    auto plugin = NewPlugin();
    const MXMLItem root = Stored(*plugin);
    for (const char* absent : {"Bypass", "ControllersEnabled", "MaxLFOBlockSize", "NoteControllersEnabled"})
        EXPECT_EQ(root.FindAttribute(absent), nullptr) << absent;
    EXPECT_EQ(root.GetAttribute("Version"), "461312");
    EXPECT_EQ(root.GetAttribute("ChannelMode"), "Left + Right");
    EXPECT_EQ(root.GetAttribute("parameterModeEnum"), "Vocoder");
    EXPECT_EQ(root.GetAttribute("parameterVolume"), "1");
    EXPECT_EQ(root.GetAttribute("parameterRatio"), "1");
    EXPECT_EQ(root.GetAttribute("parameterAttack"), "0.001");
    EXPECT_NE(root.FindSubItem("Preset1"), nullptr);
    EXPECT_EQ(root.FindSubItem("Preset0"), nullptr) << "the active slot is the document itself";
    ASSERT_NE(root.FindSubItem("EQ"), nullptr);
    EXPECT_EQ(root.FindSubItem("EQ")->Attributes().size(), 32u);
    for (size_t i = 1; i < root.Attributes().size(); ++i)
        EXPECT_LT(root.Attributes()[i - 1].first, root.Attributes()[i].first);
    EXPECT_EQ(root.Attributes().front().first, "AGC");
    // Sub-elements in the order a store into an empty root creates them.
    EXPECT_EQ(root.SubItem(0).Name(), "Preset1");
    EXPECT_EQ(root.SubItem(7).Name(), "PreviousNextPresetController");
    EXPECT_EQ(root.SubItem(8).Name(), "BandDistributionCar");
}

TEST_F(SettingsTest, MaxLFOBlockSizeAndEnumerationFallbacks) {
    auto plugin = NewPlugin();
    plugin->SetMaxLFOBlockSize(512);
    MXMLItem root = Stored(*plugin);
    EXPECT_EQ(root.GetAttribute("MaxLFOBlockSize"), "512");
    root.RemoveAttribute("MaxLFOBlockSize");
    root.RemoveAttribute("parameterModeEnum");
    root.SetAttribute("parameterMode", "3");
    Load(*plugin, root);
    EXPECT_EQ(Stored(*plugin).FindAttribute("MaxLFOBlockSize"), nullptr) << "a state without it loads 256";
    EXPECT_EQ(Vocoder(*plugin).Parameter(sonvera::ParamMode).enumValues.valueIndex, 3);
    root.SetAttribute("parameterModeEnum", "Future mode");
    root.RemoveAttribute("parameterMode");
    Load(*plugin, root);
    EXPECT_EQ(Vocoder(*plugin).Parameter(sonvera::ParamMode).enumValues.valueIndex, 0) << "then the default";
}

TEST_F(SettingsTest, ChannelModeAndSurroundMask) {
    auto eight = NewPlugin(8);
    MXMLItem root = Stored(*eight);
    root.SetAttribute("ChannelMode", "surround");  // names load ignoring case
    root.SetAttribute("SurroundChannelsEnable", "101");
    Load(*eight, root);
    EXPECT_EQ(eight->ChannelMode(), ChannelSurround);
    const MXMLItem stored = Stored(*eight);
    EXPECT_EQ(stored.GetAttribute("SurroundChannelsEnable"), "10111111") << "channels 4 to 8 unchanged";

    auto two = NewPlugin(2);
    Load(*two, stored);
    EXPECT_EQ(two->ChannelMode(), ChannelLeftRight) << "a 2-channel host cannot take surround";
    MXMLItem older = Stored(*two);
    older.SetAttribute("EnableSurroundProcessing", "0");
    older.SetAttribute("ChannelMode", "Mono");
    Load(*two, older);
    EXPECT_EQ(two->ChannelMode(), ChannelLeftRight) << "the older switch decides";
}

TEST_F(SettingsTest, PlainAndBrokenChunks) {
    auto plugin = NewPlugin();
    Vocoder(*plugin).Parameter(sonvera::ParamRatio).floatValues.value = 0.25;
    MXMLItem root = Stored(*plugin);
    MMemoryStream text;
    root.Write(text, "utf-8", XMLLayout::Compact);
    auto other = NewPlugin();
    ASSERT_TRUE(other->ReadChunk(text.Data(), static_cast<size_t>(text.Size())));
    EXPECT_DOUBLE_EQ(Vocoder(*other).Parameter(sonvera::ParamRatio).floatValues.value, 0.25);

    // Whatever arrives, the running state stays as it was and the error is logged.
    sonvera_test::LogCapture log;
    const std::vector<uint8_t> before = other->WriteChunk();
    const std::string truncated(reinterpret_cast<const char*>(before.data()), before.size() / 2);
    std::string deep = "<settings>";
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    const std::string broken[] = {"",        "junk", "<settings parameterRatio=\"0.9\"",
                                  truncated, deep,   std::string("\x78\x9c", 2)};
    for (const std::string& chunk : broken) {
        EXPECT_FALSE(other->ReadChunk(chunk.data(), chunk.size()));
        EXPECT_EQ(other->WriteChunk(), before);
    }
    EXPECT_EQ(log.lines.size(), std::size(broken));
    EXPECT_NE(log.lines[2].find("Invalid file contents."), std::string::npos) << log.lines[2];
}

TEST_F(SettingsTest, InflationBombsAndBadMatricesAreRefused) {
    auto plugin = NewPlugin();
    // A document that inflates to far more than any state.
    MMemoryStream bomb;
    {
        MZLibStream zlib(bomb, true, 100);
        zlib.WriteText("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<settings a=\"");
        std::string block(1 << 20, 'x');
        for (int i = 0; i < 80; ++i) zlib.Write(block.data(), block.size());
        zlib.WriteText("\"/>");
        zlib.Finish();
    }
    sonvera_test::LogCapture log;
    EXPECT_FALSE(plugin->ReadChunk(bomb.Data(), static_cast<size_t>(bomb.Size())));

    // A matrix block of the wrong size or with bad characters keeps the matrix.
    MXMLItem root = Stored(*plugin);
    const uint8_t small[10] = {};
    root.FindSubItem("Matrix")->StoreBinary(small, sizeof small, true);
    Load(*plugin, root);
    EXPECT_TRUE(Vocoder(*plugin).Matrix(5, 5));
    root.FindSubItem("Matrix")->SetText("78ZZ");
    Load(*plugin, root);
    EXPECT_TRUE(Vocoder(*plugin).Matrix(5, 5));
    root.FindSubItem("Matrix")->SetText("789");
    Load(*plugin, root);
    EXPECT_TRUE(Vocoder(*plugin).Matrix(5, 5));
    EXPECT_EQ(log.lines.size(), 4u);
}

TEST_F(SettingsTest, BandLevelsFollowTheBandCount) {
    auto plugin = NewPlugin();
    plugin->Parameters().SetParameter(21, 4.0 / 96.0, false);  // 8 bands
    plugin->ProcessBlock(nullptr, nullptr, 0, 1);
    Vocoder(*plugin).Update();
    for (int b = 0; b < 8; ++b) Vocoder(*plugin).BandLevel(b) = 0.5;
    MXMLItem root = Stored(*plugin);
    ASSERT_EQ(root.FindSubItem("EQ")->Attributes().size(), 8u);

    auto sixteen = NewPlugin();
    sixteen->Parameters().SetParameter(21, 12.0 / 96.0, false);
    Vocoder(*sixteen).Update();
    for (int b = 0; b < 16; ++b) Vocoder(*sixteen).BandLevel(b) = 1.25;
    root.SetAttribute("parameterBandCount", "16");
    Load(*sixteen, root);
    EXPECT_DOUBLE_EQ(Vocoder(*sixteen).BandLevel(7), 0.5);
    EXPECT_DOUBLE_EQ(Vocoder(*sixteen).BandLevel(8), 1.25) << "bands beyond the stored ones keep their levels";
}

TEST_F(SettingsTest, ConfigurationFilesAndDefaultSettings) {
    EXPECT_TRUE(Configuration::ConfirmationEnabled());
    EXPECT_FALSE(Configuration::Surround());
    EXPECT_TRUE(Configuration::AutomationCompatibilityMode());
    Configuration::SetTabletMode(true);
    MXMLItem wide = Configuration::ReadPluginWide();
    wide.AddSubItem("Extra").SetAttribute("k", "v");
    Configuration::WritePluginWide(wide);
    Configuration::SetSurround(true);
    EXPECT_TRUE(Configuration::Surround());
    const MXMLItem after = Configuration::ReadPluginWide();
    EXPECT_EQ(after.Name(), "Configuration");
    EXPECT_EQ(after.GetAttribute("TabletMode"), "1") << "other keys stay";
    EXPECT_NE(after.FindSubItem("Extra"), nullptr) << "and so do elements";
    EXPECT_TRUE(std::filesystem::exists(folder_ / "Quorlith" / "MPluginConfiguration.xml"));

    auto plugin = NewPlugin();
    EXPECT_FALSE(plugin->LoadDefaultSettings()) << "no default state yet";
    Vocoder(*plugin).Parameter(sonvera::ParamRatio).floatValues.value = 0.125;
    plugin->SetDefaultSettingsToCurrent();
    EXPECT_TRUE(std::filesystem::exists(folder_ / "Quorlith" / "Sonvera" / "GlobalConfiguration.xml"));
    auto fresh = NewPlugin();
    EXPECT_TRUE(fresh->LoadDefaultSettings());
    EXPECT_DOUBLE_EQ(Vocoder(*fresh).Parameter(sonvera::ParamRatio).floatValues.value, 0.125);
}

TEST_F(SettingsTest, EveryBandGraphRoundTripsAndEarlierGraphStatesLoad) {
    auto first = NewPlugin();
    for (int32_t g = 0; g < sonvera::BandGraphCount; ++g) {
        MEnvelopeGraph& graph = Vocoder(*first).Graph(g);
        const MEnvelope::Range range = graph.GetRange();
        std::vector<MEnvelope::Point> points;
        for (int32_t p = 0; p <= g % 4 + 2; ++p) {
            const double y = range.yMin + (range.yMax - range.yMin) * std::fmod(0.137 * (p + 1) * (g + 1), 1.0);
            points.push_back(
                {p / (g % 4 + 2.0), y, std::fmod(0.31 * (g + p), 2.0) - 1.0, 0.1 * p, (g + p) % SegmentTypeCount});
        }
        graph.SetPoints(points.data(), static_cast<int32_t>(points.size()));
        graph.SetSmoothingMethod(g % 2);
        Vocoder(*first).SetGraphEnabled(g, true);
    }
    const std::vector<uint8_t> chunk = first->WriteChunk();
    auto second = NewPlugin();
    ASSERT_TRUE(second->ReadChunk(chunk.data(), chunk.size()));
    EXPECT_EQ(second->WriteChunk(), chunk);
    for (int32_t g = 0; g < sonvera::BandGraphCount; ++g) {
        MEnvelopeGraph& a = Vocoder(*first).Graph(g);
        MEnvelopeGraph& b = Vocoder(*second).Graph(g);
        EXPECT_TRUE(Vocoder(*second).GraphEnabled(g));
        ASSERT_EQ(a.PointCount(), b.PointCount());
        for (double x = 0.0; x <= 1.0; x += 0.0625) EXPECT_NEAR(a.Value(x), b.Value(x), 1e-9) << g << " " << x;
    }

    // A state of an earlier build: points as X0/Y0/C0/S0 attributes, straight between them.
    MXMLItem root = Stored(*NewPlugin());
    MXMLItem& attack = *root.FindSubItem("Attack");
    attack.RemoveSubItem("Point");
    attack.RemoveAttribute("Points");
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"X0", "0"}, {"Y0", "-2"}, {"C0", "0.5"}, {"S0", "0"}, {"X1", "1"}, {"Y1", "2"}, {"C1", "0"}, {"S1", "0"}})
        attack.SetAttribute(name, value);
    attack.SetAttribute("Enabled", "1");
    auto third = NewPlugin();
    Load(*third, root);
    MEnvelopeGraph& loaded = Vocoder(*third).Graph(sonvera::GraphAttack);
    ASSERT_EQ(loaded.PointCount(), 2);
    EXPECT_NEAR(loaded.Value(0.25), -1.0, 1e-12);
    EXPECT_TRUE(Vocoder(*third).GraphEnabled(sonvera::GraphAttack));
    EXPECT_NEAR(Vocoder(*third).Bank().attackCoef[31], std::exp(-1.0 / (0.001 * 4.0 * 48000.0)), 1e-12)
        << "the loaded graph shapes the bands";
}

TEST_F(SettingsTest, HostsAutomateGraphPointsAndTheBandsFollow) {
    auto plugin = NewPlugin();
    MParameterRegistry& parameters = plugin->Parameters();
    // Graph "Frequencies carrier" follows the 26 plain parameters; point 2's Y is its local index 5.
    const int32_t pointTwoY = 26 + 5;
    EXPECT_EQ(parameters.GetParameterID(pointTwoY), "Graph Frequencies carrier - Point 2 Y");
    EXPECT_DOUBLE_EQ(parameters.GetParameter(pointTwoY), 1.0);
    // Hosts that reset controls to their defaults must not bend the identity shape.
    EXPECT_DOUBLE_EQ(parameters.GetParameterDefaultValue(pointTwoY), 1.0);
    EXPECT_DOUBLE_EQ(parameters.GetParameterDefaultValue(pointTwoY - 1), 1.0) << "point 2 X";
    EXPECT_DOUBLE_EQ(parameters.GetParameterDefaultValue(pointTwoY + 1), 0.5) << "point 2 curvature: straight";
    Vocoder(*plugin).SetGraphEnabled(sonvera::GraphBandDistributionCar, true);
    parameters.SetParameter(pointTwoY, 0.5, false);  // the top band moves from 20 kHz to 632 Hz
    EXPECT_EQ(parameters.GetParameterValueName(pointTwoY), "2.8010");
    plugin->InitProcessing();
    float silence[256] = {};
    float out[2][256];
    // The framework's tables: eight channels a bus, the side-chain from entry 8.
    float* inputs[16] = {silence, silence, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, silence, silence};
    float* outputs[8] = {out[0], out[1]};
    plugin->ProcessBlock(inputs, outputs, 256, 1);
    EXPECT_NEAR(Vocoder(*plugin).Bank().bands[31].carrierSections[0].frequency, std::pow(10.0, 2.801029995663981),
                1e-6);
    // A point the curve does not have takes no value.
    parameters.SetParameter(26 + 4 * 5 + 1, 0.3, false);
    EXPECT_EQ(Vocoder(*plugin).Graph(sonvera::GraphBandDistributionCar).PointCount(), 2);
}

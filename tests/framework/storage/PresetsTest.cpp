#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/storage/MPresetManager.h"
#include "framework/storage/PresetDocument.h"
#include "framework/storage/XMLFiles.h"
#include "platform/DataFolders.h"
#include "tests/framework/storage/PresetManagerFixture.h"
#include "tests/support/LogCapture.h"

using namespace corvane;
using namespace sonvera_test;
namespace fs = std::filesystem;

TEST(PresetDocument, NumberingWalksOwnPresetsBeforeSubFolders) {
    MXMLItem root = Tree({"p1", "[D1", "p2", "[D2", "p3", "]", "]", "p4"});
    EXPECT_EQ(Names(root), (std::vector<std::string>{"p1", "p4", "p2", "p3"}));
    EXPECT_EQ(Presets::PathOf(*Presets::Flatten(root)[3], root), "D1/D2/p3");
    EXPECT_EQ(Presets::FindFolder(root, "D1/D2"), Presets::Flatten(root)[3]->Parent());
    EXPECT_EQ(Presets::FindFolder(root, "D1/missing"), nullptr);
}

TEST(PresetDocument, SteppingWrapsAround) {
    struct Case {
        int32_t current, delta, count, expected;
    } cases[] = {
        {0, -1, 3, 2}, {2, 1, 3, 0},     {1, 1, 3, 2},
        {7, 1, 3, 2},  {-400, -1, 3, 0},  // still negative after adding 100 x n: the first preset
        {0, 1, 1, 0},  {0, 1, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Presets::Step(c.current, c.delta, c.count), c.expected)
            << c.current << " + " << c.delta << " of " << c.count;
}

TEST(PresetDocument, CombinationCountRules) {
    struct Case {
        int32_t candidates;
        bool multi;
        int32_t expected;
    } cases[] = {
        {8, false, 1},  // 8 to the power 0.3333 is just below 2
        {27, false, 2}, {2, false, 1}, {64, false, 3}, {1000, false, 5},
        {2, true, 1},   {3, true, 1},  {11, true, 5},  {40, true, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Presets::CombinationCount(c.candidates, c.multi), c.expected)
            << c.candidates << (c.multi ? " multi" : "");
}

TEST(PresetDocument, CompressionRoundTripsAndStopsAtANamelessPreset) {
    MXMLItem root = Tree({"p1", "[D1", "p2", "]", "p3"});
    Presets::Flatten(root)[0]->AddSubItem("Child").SetText("text & more");
    const MXMLItem expanded = root;
    Presets::CompressAll(root);
    std::vector<MXMLItem*> presets = Presets::Flatten(root);
    for (size_t i = 0; i < presets.size(); ++i) {
        MXMLItem& preset = *presets[i];
        EXPECT_EQ(preset.GetAttribute(Presets::Compressed), "1");
        EXPECT_EQ(preset.SubItemCount(), 0u);
        EXPECT_EQ(preset.Attributes().size(), 2u) << "only the name and the mark";
        EXPECT_EQ(preset.Text().find_first_not_of("0123456789ABCDEF"), std::string::npos);
        MXMLItem tree = Presets::Expand(preset);
        MXMLItem original = *Presets::Flatten(const_cast<MXMLItem&>(expanded))[i];
        EXPECT_EQ(tree.Name(), "preset");
        EXPECT_EQ(tree.Attributes(), original.Attributes());
        EXPECT_EQ(tree.SubItemCount(), original.SubItemCount());
    }
    EXPECT_EQ(Presets::Expand(*presets[0]).SubItem(0).Text(), "text & more");

    // Document order: p1, then D1's p2, then p3; a nameless p2 leaves itself and p3 expanded.
    MXMLItem stopped = Tree({"p1", "[D1", "p2", "]", "p3"});
    Presets::Flatten(stopped)[2]->RemoveAttribute(Presets::PresetName);
    Presets::CompressAll(stopped);
    presets = Presets::Flatten(stopped);
    EXPECT_EQ(presets[0]->GetAttribute(Presets::Compressed), "1");
    EXPECT_FALSE(presets[1]->HasAttribute(Presets::Compressed)) << "p3 comes after the nameless preset";
    EXPECT_FALSE(presets[2]->HasAttribute(Presets::Compressed));
}

TEST(PresetDocument, ExpandRefusesBrokenText) {
    MXMLItem preset(Presets::PresetElement);
    preset.SetAttribute(Presets::PresetName, "broken");
    preset.SetAttribute(Presets::Compressed, "1");
    for (const char* text : {"", "78DA00", "ZZZZ", "3C"}) {
        preset.SetText(text);
        EXPECT_ANY_THROW(Presets::Expand(preset)) << text;
    }
}

TEST(PresetDocument, MergeAddsMissingPresetsAndFoldersOnly) {
    MXMLItem destination = Tree({"a", "[D", "b", "]"});
    MXMLItem source = Tree({"a", "c", "[D", "b", "d", "[E", "e", "]", "]", "[F", "f", "]"});
    EXPECT_EQ(Presets::Merge(destination, source, 7), 4);
    EXPECT_EQ(Names(destination), (std::vector<std::string>{"a", "c", "b", "d", "e", "f"}));
    for (MXMLItem* preset : Presets::Flatten(destination)) {
        const std::string name = preset->GetAttribute(Presets::PresetName);
        EXPECT_EQ(preset->HasAttribute(Presets::ExchangeIndex), name != "a" && name != "b") << name;
    }
    EXPECT_EQ(Presets::Merge(destination, source, 8), 0) << "a second merge adds nothing";
}

TEST(PresetDocument, RandomSettingsCombineOnlyCandidates) {
    MXMLItem root = Tree({"outside", "[Randomizer"});
    MXMLItem* folder = Presets::FindFolder(root, "Randomizer");
    for (int i = 0; i < 8; ++i) {
        MXMLItem& preset = folder->AddSubItem(Presets::PresetElement);
        preset.SetAttribute(Presets::PresetName, "r" + std::to_string(i));
        preset.SetAttribute("A" + std::to_string(i % 3), std::to_string(i));
        preset.AddSubItem("Band").SetAttribute("Level", std::to_string(i));
    }
    Presets::CompressAll(root);
    for (uint32_t seed : {1u, 2u, 3u, 12345u}) {
        Presets::Random random(seed), again(seed);
        MXMLItem result, repeat;
        ASSERT_TRUE(Presets::RandomSettings(root, random, result));
        ASSERT_TRUE(Presets::RandomSettings(root, again, repeat));
        EXPECT_EQ(result.Attributes(), repeat.Attributes()) << "the same seed makes the same sound";
        EXPECT_EQ(result.FindSubItem("ActivePreset")->GetAttribute("Edit"), "1");
        for (const auto& [name, value] : result.Attributes()) {
            if (name != Presets::PresetName) {
                EXPECT_NE(value.find_first_of("01234567"), std::string::npos) << "never the outside preset";
            }
        }
        EXPECT_NE(result.FindSubItem("Band"), nullptr);
    }
    MXMLItem lonely = Tree({"only"});
    Presets::Random random(1);
    MXMLItem result;
    EXPECT_FALSE(Presets::RandomSettings(lonely, random, result)) << "fewer than two candidates";
}

TEST_F(PresetManagerTest, LoadsAndStepsThroughHandWrittenExpandedPresets) {
    WriteFile(Tree({"p1", "[D1", "p2", "[D2", "p3", "]", "]", "p4"}));
    MPresetManagerBase manager = Manager(owner_);
    EXPECT_EQ(manager.List(), (std::vector<std::string>{"p1", "p4", "D1/p2", "D1/D2/p3"}));
    EXPECT_EQ(manager.Find("D1/D2/p3"), 3);
    EXPECT_EQ(manager.Find("p3"), -1);

    ASSERT_TRUE(manager.LoadPreset(0));
    EXPECT_EQ(owner_.value, "p1");
    ASSERT_TRUE(manager.Step(-1));
    EXPECT_EQ(owner_.value, "p3");
    EXPECT_EQ(manager.CurrentIndex(), 3);
    ASSERT_TRUE(manager.Step(1));
    EXPECT_EQ(owner_.value, "p1");
    EXPECT_FALSE(manager.LoadPreset(4));
    EXPECT_EQ(owner_.value, "p1") << "a missing index changes nothing";
}

TEST_F(PresetManagerTest, SavingCompressesEveryPresetAndSelectsTheNewOne) {
    WriteFile(Tree({"p1", "[D1", "p2", "]", "p3"}));
    MPresetManagerBase manager = Manager(owner_);
    owner_.value = "mine";
    ASSERT_TRUE(manager.SaveNew("D1", "new"));
    EXPECT_EQ(manager.CurrentIndex(), 3) << "p1, p3, D1/p2, D1/new";
    MXMLItem document = ReadFile();
    EXPECT_EQ(document.Name(), "Testpresets");
    for (MXMLItem* preset : Presets::Flatten(document)) EXPECT_EQ(preset->GetAttribute(Presets::Compressed), "1");
    MXMLItem saved = Presets::Expand(*Presets::Flatten(document)[3]);
    EXPECT_EQ(saved.GetAttribute("name"), "new");
    EXPECT_EQ(saved.GetAttribute("Value"), "mine");
    EXPECT_EQ(saved.FindSubItem("Inner")->Text(), "inner mine");

    EXPECT_FALSE(manager.SaveNew("missing", "x")) << "no such folder";
    EXPECT_EQ(manager.List().size(), 4u);
}

TEST_F(PresetManagerTest, ReplaceDeleteAndRenameAskFirst) {
    WriteFile(Tree({"p1", "p2", "p3"}));
    MPresetManagerBase manager = Manager(owner_);
    ASSERT_TRUE(manager.LoadPreset(1));
    owner_.value = "changed";
    EXPECT_FALSE(manager.ReplaceCurrent(No));
    ASSERT_TRUE(manager.ReplaceCurrent(Yes));
    EXPECT_TRUE(owner_.replaced);
    MXMLItem replaced = Presets::Expand(*Presets::Flatten(*std::make_unique<MXMLItem>(ReadFile()))[1]);
    EXPECT_EQ(replaced.GetAttribute("name"), "p2") << "the name stays";
    EXPECT_EQ(replaced.GetAttribute("Value"), "changed");
    EXPECT_EQ(replaced.SubItemCount(), 1u) << "the old content is gone";

    EXPECT_FALSE(manager.DeletePreset(0, No));
    ASSERT_TRUE(manager.DeletePreset(0, Yes));
    EXPECT_EQ(manager.CurrentIndex(), 0) << "the current preset moved up with the list";
    ASSERT_TRUE(manager.RenamePreset(1, "last"));
    EXPECT_EQ(manager.List(), (std::vector<std::string>{"p2", "last"}));
}

TEST_F(PresetManagerTest, FoldersAreCreatedRenamedExportedAndImported) {
    WriteFile(Tree({"top", "[Mine", "m1", "[Deep", "m2", "]", "]", "[Other", "o1", "]"}));
    MPresetManagerBase manager = Manager(owner_);
    const std::string exchange = (folder_ / "mine.mpresets").string();
    ASSERT_TRUE(manager.ExportFolder("Mine", exchange));
    MXMLItem exported;
    LoadFromFile(exported, exchange);
    EXPECT_EQ(exported.Name(), "Directory");
    EXPECT_EQ(exported.GetAttribute("Name"), "Mine");

    // The file's folder content replaces Other's, under Other's name.
    EXPECT_FALSE(manager.ImportFolder("Other", exchange, No));
    ASSERT_TRUE(manager.ImportFolder("Other", exchange, Yes));
    EXPECT_EQ(manager.List(),
              (std::vector<std::string>{"top", "Mine/m1", "Mine/Deep/m2", "Other/m1", "Other/Deep/m2"}));
    ASSERT_TRUE(manager.LoadPreset(4));
    EXPECT_EQ(owner_.value, "m2");

    ASSERT_TRUE(manager.CreateFolder("Mine/Deep", "Deeper"));
    ASSERT_TRUE(manager.RenameFolder("Mine", "Kept"));
    EXPECT_EQ(manager.Find("Kept/Deep/m2"), 2);
    ASSERT_TRUE(manager.DeleteFolder("Other", Yes));
    EXPECT_EQ(manager.List(), (std::vector<std::string>{"top", "Kept/m1", "Kept/Deep/m2"}));
    ASSERT_TRUE(manager.SaveNew("Kept/Deep/Deeper", "d"));
    EXPECT_EQ(manager.Find("Kept/Deep/Deeper/d"), 3);

    sonvera_test::LogCapture log;
    const std::string notPresets = (folder_ / "other.mpresets").string();
    SaveToFile(MXMLItem("Something"), notPresets, "utf-8");
    EXPECT_FALSE(manager.ImportFolder("Kept", notPresets, Yes));
    EXPECT_FALSE(manager.ImportFolder("Kept", (folder_ / "missing.mpresets").string(), Yes));
    EXPECT_EQ(manager.List().size(), 4u) << "a failed import leaves the folder as it was";
    EXPECT_EQ(log.lines.size(), 2u);
}

TEST_F(PresetManagerTest, FactoryPresetsStartTheUsersFile) {
    MPresetManagerBase manager = Manager(owner_);
    EXPECT_TRUE(manager.List().empty());
    EXPECT_FALSE(manager.Step(1)) << "an empty bank does nothing";
    EXPECT_FALSE(fs::exists(File()));

    manager.SetFactoryPresets(Tree({"f1", "[Folder", "f2", "]"}));
    EXPECT_EQ(manager.List(), (std::vector<std::string>{"f1", "Folder/f2"}));
    ASSERT_TRUE(fs::exists(File())) << "copied into the user's file at first use";
    ASSERT_TRUE(manager.SaveNew("", "mine"));
    manager.SetFactoryPresets(Tree({"other"}));
    EXPECT_EQ(manager.List(), (std::vector<std::string>{"f1", "mine", "Folder/f2"})) << "never copied twice";
}

TEST_F(PresetManagerTest, AnUnreadableFileIsKeptAsideNotOverwritten) {
    { std::ofstream(File()) << "<Testpresets><preset name=\"lost\""; }
    MPresetManagerBase manager = Manager(owner_);
    sonvera_test::LogCapture log;
    EXPECT_TRUE(manager.List().empty());
    EXPECT_FALSE(manager.Step(1));
    ASSERT_TRUE(manager.SaveNew("", "fresh"));
    const std::string aside = File() + ".unreadable-1";
    ASSERT_TRUE(fs::exists(aside));
    std::ifstream kept(aside);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "<Testpresets><preset name=\"lost\"");
    EXPECT_EQ(manager.List(), (std::vector<std::string>{"fresh"}));
    bool mentioned = false;
    for (const std::string& line : log.lines) mentioned |= line.find(aside) != std::string::npos;
    EXPECT_TRUE(mentioned) << "the log says where the old file went";
}

TEST_F(PresetManagerTest, MergeAndTheOlderLocation) {
    WriteFile(Tree({"a"}));
    const std::string source = (folder_ / "source.xml").string();
    SaveToFile(Tree({"a", "b", "[D", "c", "]"}), source, "utf-8");
    EXPECT_EQ(MPresetManagerBase::Merge(File(), source, 3), 2);
    EXPECT_EQ(MPresetManagerBase::Merge(File(), source, 4), 0);
    EXPECT_EQ(MPresetManagerBase::Merge(File(), (folder_ / "missing.xml").string()), -1);

    // A file left directly in the roaming folder joins the maker folder's file once.
    const fs::path roaming = folder_ / "roaming";
    fs::create_directories(roaming / "Quorlith");
    const std::string previous = DataFolders::UseRoamingFolder(roaming.u8string());
    SaveToFile(Tree({"old"}), (roaming / "Testpresets.xml").string(), "utf-8");
    SaveToFile(Tree({"current"}), (roaming / "Quorlith" / "Testpresets.xml").string(), "utf-8");
    MPresetManagerBase manager("Test", owner_);
    EXPECT_EQ(manager.List(), (std::vector<std::string>{"current", "old"}));
    EXPECT_FALSE(fs::exists(roaming / "Testpresets.xml"));

    // When the current file cannot be read, the older one stays where it is.
    SaveToFile(Tree({"older"}), (roaming / "Testpresets.xml").string(), "utf-8");
    { std::ofstream(roaming / "Quorlith" / "Testpresets.xml") << "<broken"; }
    EXPECT_TRUE(manager.List().empty());
    EXPECT_TRUE(fs::exists(roaming / "Testpresets.xml"));
    DataFolders::UseRoamingFolder(previous);
}

TEST_F(PresetManagerTest, TwoInstancesSteppingAndSavingNeverCorruptTheFile) {
    WriteFile(Tree({"p1", "p2", "p3"}));
    std::atomic<bool> failed{false};
    auto instance = [&](int id) {
        Owner owner;
        MPresetManagerBase manager = Manager(owner);
        for (int i = 0; i < 40; ++i) {
            if (!manager.Step(1)) failed = true;
            if (i % 4 == id) manager.SaveNew("", "saved" + std::to_string(id) + "-" + std::to_string(i));
        }
    };
    std::thread first(instance, 0), second(instance, 1);
    first.join();
    second.join();
    EXPECT_FALSE(failed) << "every step read a whole file";
    MXMLItem document = ReadFile();
    // The last write wins: saves of the other instance may be gone, never the file.
    EXPECT_GE(Presets::Flatten(document).size(), 4u) << "the three presets and the last save";
    for (const auto& entry : fs::directory_iterator(folder_))
        EXPECT_EQ(entry.path().string().find(".partial."), std::string::npos) << "no temporary file left";
}

// A preset file survives a full disk and a writer killed mid-write: the old
// file or the new one, never a broken one. (The disk fills by the process's
// file size limit, and the writer is a forked child: POSIX only.)

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "tests/framework/storage/PresetManagerFixture.h"
#include "tests/support/FullDisk.h"
#include "tests/support/LogCapture.h"

using namespace sonvera_test;

TEST_F(PresetManagerTest, AFullDiskKeepsTheOldFile) {
    WriteFile(Tree({"p1", "p2"}));
    MPresetManagerBase manager = Manager(owner_);
    const std::string before = [&] {
        std::ifstream in(File());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    sonvera_test::LogCapture log;
    {
        sonvera_test::FullDisk full(16);
        EXPECT_FALSE(manager.SaveNew("", "p3"));
    }
    std::ifstream in(File());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    EXPECT_EQ(manager.List().size(), 2u);
    EXPECT_FALSE(log.lines.empty());
}

TEST_F(PresetManagerTest, AKilledWriteLeavesTheOldOrTheNewFile) {
    MXMLItem big = Tree({});
    for (int i = 0; i < 400; ++i) {
        MXMLItem& preset = big.AddSubItem(Presets::PresetElement);
        preset.SetAttribute(Presets::PresetName, "p" + std::to_string(i));
        preset.SetAttribute("Value", std::string(200, 'x'));
    }
    WriteFile(big);
    for (int round = 0; round < 5; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Owner owner;
            MPresetManagerBase manager = Manager(owner);
            for (;;) manager.SaveNew("", "more");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 15 * round));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        MXMLItem document;
        ASSERT_NO_THROW(LoadFromFile(document, File())) << "round " << round;
        EXPECT_GE(Presets::Flatten(document).size(), 400u);
    }
}

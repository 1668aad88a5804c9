// The configuration files on a disk that fills up (the process's file size
// limit: POSIX only).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/storage/Configuration.h"
#include "platform/DataFolders.h"
#include "tests/framework/plugin/SettingsFixture.h"
#include "tests/support/FullDisk.h"
#include "tests/support/LogCapture.h"

using namespace corvane;
using sonvera_test::SettingsTest;

// A full disk during a save reports the error and keeps the file as it was;
// settings read once at construction come from the file; the shared folder
// exists once asked for.
TEST_F(SettingsTest, ConfigurationSurvivesAFullDisk) {
    Configuration::SetAutomationCompatibilityMode(false);
    const std::string path = Configuration::PluginPath();
    const auto readFile = [&] {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = readFile();
    MXMLItem big = Configuration::Read();
    big.AddSubItem("DefaultSettings").SetAttribute("x", std::string(256 * 1024, 'x'));
    {
        sonvera_test::FullDisk full(4096);
        try {
            Configuration::Write(big);
            ADD_FAILURE() << "the write cannot have succeeded";
        } catch (const MException& e) {
            EXPECT_NE(e.Message().find("Error writing to file"), std::string::npos) << e.Message();
        }
    }
    {
        auto plugin = NewPlugin();
        sonvera_test::FullDisk full(256);
        sonvera_test::LogCapture log;
        EXPECT_FALSE(plugin->SetDefaultSettingsToCurrent());
        ASSERT_FALSE(log.lines.empty());
        EXPECT_NE(log.lines.back().find("Error writing to file"), std::string::npos) << log.lines.back();
    }
    EXPECT_EQ(readFile(), before) << "the old file is intact";
    EXPECT_FALSE(Configuration::AutomationCompatibilityMode()) << "and still reads";
    EXPECT_FALSE(NewPlugin()->AutomationCompatibilityMode()) << "read at construction";
    EXPECT_TRUE(std::filesystem::is_directory(DataFolders::SharedFolder()));
}

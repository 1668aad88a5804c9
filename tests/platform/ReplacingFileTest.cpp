// Files are replaced whole or not at all.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ReplacingFile.h"
#include "tests/platform/ReplacingFileFixture.h"

using corvane::ReplacingFile;
using sonvera_test::ReplacingFileTest;
namespace fs = std::filesystem;

TEST_F(ReplacingFileTest, ReplacesWholeOnSuccess) {
    std::string error;
    ASSERT_TRUE(ReplacingFile::WriteWhole(target_, "new", 3, error)) << error;
    EXPECT_EQ(Content(target_), "new");
    EXPECT_EQ(FilesInFolder(), 1u) << "no temporary file left";
}

// Paths are UTF-8 on every system; a write given up before Commit leaves the
// old file and nothing beside it.
TEST_F(ReplacingFileTest, UTF8NamesAndAbandonedWrites) {
    const std::string name = (folder_ / "Pr\xC3\xA9r\xC3\xA9glages \xE3\x83\x95\xE3\x82\xA1.xml").u8string();
    std::string error;
    ASSERT_TRUE(ReplacingFile::WriteWhole(name, "neu", 3, error)) << error;
    ASSERT_TRUE(ReplacingFile::WriteWhole(name, "neuer", 5, error)) << error;
    EXPECT_EQ(Content(fs::u8path(name)), "neuer");
    EXPECT_EQ(FilesInFolder(), 2u);
    {
        ReplacingFile file(target_);
        EXPECT_TRUE(file.Write("half", 4));
    }
    EXPECT_EQ(Content(target_), "old content");
    EXPECT_EQ(FilesInFolder(), 2u) << "no temporary file left";
}

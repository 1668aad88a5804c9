// Replacing files where POSIX systems differ: a full disk (the process's
// file size limit), links and special files.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/ReplacingFile.h"
#include "tests/platform/ReplacingFileFixture.h"
#include "tests/support/FullDisk.h"

using corvane::ReplacingFile;
using sonvera_test::ReplacingFileTest;
namespace fs = std::filesystem;

TEST_F(ReplacingFileTest, AFullDiskKeepsTheOldFile) {
    const std::string big(64 * 1024, 'x');
    std::string error;
    {
        sonvera_test::FullDisk full(1024);
        EXPECT_FALSE(ReplacingFile::WriteWhole(target_, big.data(), big.size(), error));
    }
    EXPECT_NE(error.find("Error writing to file"), std::string::npos) << error;
    EXPECT_EQ(Content(target_), "old content");
    EXPECT_EQ(FilesInFolder(), 1u) << "no temporary file left";

    // A write that fails only when buffered data reaches the disk is caught too.
    {
        sonvera_test::FullDisk full(100);
        ReplacingFile file(target_);
        EXPECT_TRUE(file.Write(big.data(), 200)) << "still in the buffer";
        EXPECT_FALSE(file.Commit());
    }
    EXPECT_EQ(Content(target_), "old content");
}

TEST_F(ReplacingFileTest, LinksDevicesAndFoldersAreNeverReplaced) {
    const fs::path link = folder_ / "link.xml";
    fs::create_symlink(target_, link);
    // A pipe stands for any special file: replacing it by mistake harms nothing here.
    const fs::path pipe = folder_ / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {link.string(), pipe.string(), folder_.string()}) {
        std::string error;
        EXPECT_FALSE(ReplacingFile::WriteWhole(path, "new", 3, error)) << path;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Content(target_), "old content");
}

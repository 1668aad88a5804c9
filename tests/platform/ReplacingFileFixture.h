#pragma once
// A folder holding one file, "file.xml", with "old content".

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/support/ScratchFolder.h"

namespace sonvera_test {

class ReplacingFileTest : public testing::Test {
protected:
    void SetUp() override { std::ofstream(target_) << "old content"; }

    std::string Content(const std::filesystem::path& path) const {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    size_t FilesInFolder() const {
        return static_cast<size_t>(
            std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()));
    }

    ScratchFolder scratch_{"sonvera-replace"};
    const std::filesystem::path& folder_ = scratch_.Path();
    std::string target_ = (folder_ / "file.xml").string();
};

}  // namespace sonvera_test

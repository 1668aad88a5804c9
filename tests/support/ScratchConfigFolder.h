#pragma once
// The user's data folders in a fresh scratch place for one scope, the
// previous place restored when the scope ends.

#include <string>

#include "platform/DataFolders.h"
#include "tests/support/ScratchFolder.h"

namespace sonvera_test {

class ScratchConfigFolder {
public:
    explicit ScratchConfigFolder(const std::string& name)
        : folder_(name), previous_(corvane::DataFolders::UseRoamingFolder(folder_.Path().u8string())) {}
    ~ScratchConfigFolder() { corvane::DataFolders::UseRoamingFolder(previous_); }
    ScratchConfigFolder(const ScratchConfigFolder&) = delete;
    ScratchConfigFolder& operator=(const ScratchConfigFolder&) = delete;
    const std::filesystem::path& Path() const { return folder_.Path(); }

private:
    ScratchFolder folder_;
    std::string previous_;
};

}  // namespace sonvera_test

#pragma once
// The user's data folders in a fresh scratch place for one scope, the
// previous place restored when the scope ends. The override reaches the code
// linked into the tests; a plug-in library the test loads keeps its own, and
// on Linux follows $XDG_CONFIG_HOME, which is set alongside.

#include <cstdlib>
#include <string>

#include "platform/DataFolders.h"
#include "tests/support/ScratchFolder.h"

namespace sonvera_test {

class ScratchConfigFolder {
public:
    explicit ScratchConfigFolder(const std::string& name)
        : folder_(name),
          previous_(corvane::DataFolders::UseRoamingFolder(folder_.Path().u8string())),
          previousVariable_(Variable()) {
        SetVariable(folder_.Path().u8string());
    }
    ~ScratchConfigFolder() {
        corvane::DataFolders::UseRoamingFolder(previous_);
        SetVariable(previousVariable_);
    }
    ScratchConfigFolder(const ScratchConfigFolder&) = delete;
    ScratchConfigFolder& operator=(const ScratchConfigFolder&) = delete;
    const std::filesystem::path& Path() const { return folder_.Path(); }

private:
    static std::string Variable() {
        const char* value = std::getenv("XDG_CONFIG_HOME");
        return value != nullptr ? value : "";
    }
    static void SetVariable(const std::string& value) {
#ifdef _WIN32
        _putenv_s("XDG_CONFIG_HOME", value.c_str());
#else
        setenv("XDG_CONFIG_HOME", value.c_str(), 1);
#endif
    }

    ScratchFolder folder_;
    std::string previous_;
    std::string previousVariable_;
};

}  // namespace sonvera_test

#pragma once
// The user's data folders in a fresh scratch place for one scope
// ($XDG_CONFIG_HOME), restored and removed when the scope ends.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace sonvera_test {

class ScratchConfigFolder {
public:
    explicit ScratchConfigFolder(const std::string& name)
        : previous_(std::getenv("XDG_CONFIG_HOME") != nullptr ? std::getenv("XDG_CONFIG_HOME") : ""),
          folder_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(folder_);
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    }
    ~ScratchConfigFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    }
    ScratchConfigFolder(const ScratchConfigFolder&) = delete;
    ScratchConfigFolder& operator=(const ScratchConfigFolder&) = delete;
    const std::filesystem::path& Path() const { return folder_; }

private:
    std::string previous_;
    std::filesystem::path folder_;
};

}  // namespace sonvera_test

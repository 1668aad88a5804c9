#pragma once
// A fresh, empty folder under the temporary folder for one scope, removed
// when the scope ends. Its name is new to the system, so tests running side
// by side never share one.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace sonvera_test {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        auto token = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (;; ++token) {
            folder_ = base / (name + "-" + std::to_string(token % 1000000007ULL));
            std::error_code error;
            if (std::filesystem::create_directory(folder_, error)) return;
            if (error) {
                ADD_FAILURE() << "cannot create " << folder_.string() << ": " << error.message();
                folder_.clear();  // nothing of ours to remove
                return;
            }
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return folder_; }

private:
    std::filesystem::path folder_;
};

}  // namespace sonvera_test

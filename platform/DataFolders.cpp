#include "platform/DataFolders.h"

#include <filesystem>
#include <mutex>
#include <system_error>

namespace corvane {
namespace DataFolders {

bool CreatePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::u8path(path);
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

namespace {

std::mutex overrideLock;
std::string& Override() {
    static std::string folder;
    return folder;
}

}  // namespace

std::string RoamingFolder() {
    {
        std::lock_guard<std::mutex> lock(overrideLock);
        if (!Override().empty()) return Override();
    }
    return SystemRoamingFolder();
}

std::string UseRoamingFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(overrideLock);
    std::string previous = folder;
    Override().swap(previous);
    return previous;
}

std::string MakerFolder() { return RoamingFolder() + "/Quorlith"; }

std::string PluginFolder(const std::string& plugin) {
    const std::string folder = MakerFolder() + "/" + plugin;
    CreatePath(folder);
    return folder;
}

std::string SharedFolder() {
    const std::string folder = MakerFolder() + "/Data";
    CreatePath(folder);
    return folder;
}

}  // namespace DataFolders
}  // namespace corvane

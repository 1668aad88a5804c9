#include "platform/DataFolders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace corvane {
namespace DataFolders {
std::string RoamingFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config";
}

bool CreatePath(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
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

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

}  // namespace DataFolders
}  // namespace corvane

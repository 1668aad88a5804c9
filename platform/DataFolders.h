#pragma once
// Where user data lives. On Linux the roaming application data is
// $XDG_CONFIG_HOME (default ~/.config); the temporary folder $TMPDIR or /tmp.

#include <string>

namespace corvane {
namespace DataFolders {

// The per-user roaming application data folder itself.
std::string RoamingFolder();
// "<roaming>/Quorlith"; not created.
std::string MakerFolder();
// "<roaming>/Quorlith/<plug-in>", created with its parents.
std::string PluginFolder(const std::string& plugin = "Sonvera");
// "<roaming>/Quorlith/Data", created with its parents.
std::string SharedFolder();
std::string TemporaryFolder();
// Creates a folder with every missing parent; false when it cannot.
bool CreatePath(const std::string& path);

}  // namespace DataFolders
}  // namespace corvane

#pragma once
// Where user data lives, as UTF-8 paths joined with "/". On Linux the
// roaming application data is $XDG_CONFIG_HOME (default ~/.config) and the
// temporary folder $TMPDIR or /tmp; on Windows the shell's roaming
// application data folder (empty when the system does not answer) and the
// system's temporary folder.

#include <string>

namespace corvane {
namespace DataFolders {

// The per-user roaming application data folder itself: the one set by
// UseRoamingFolder, else the system's.
std::string RoamingFolder();
std::string SystemRoamingFolder();
// Puts every data folder of this module under another place (empty: the
// system's again), for tests and portable set-ups alike; returns the place
// it replaces.
std::string UseRoamingFolder(const std::string& folder);
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

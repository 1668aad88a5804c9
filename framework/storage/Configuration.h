#pragma once
// User choices that outlive a project: small XML files in the data folders,
// read and written whole on every change (last writer wins).

#include <cstdint>
#include <string>

#include "framework/storage/MXMLItem.h"

namespace corvane {
namespace Configuration {

// The folder, created with its parents; throws "Could not retrieve system
// path." when the system names no data folder, else the create-path error.
std::string RequireFolder(const std::string& path);

// "MPluginConfiguration.xml" in the maker folder, shared by the maker's plug-ins.
std::string PluginWidePath();
// "GlobalConfiguration.xml" in the plug-in's data folder.
std::string PluginPath();
// "Style.cfg" in the plug-in's data folder.
std::string StylePath();

MXMLItem ReadPluginWide();
void WritePluginWide(MXMLItem root);
// Throws the file-open error when the file does not exist.
MXMLItem Read();
// An empty "Configuration" root when the file does not exist yet.
MXMLItem ReadOrEmpty();
void Write(MXMLItem root);
MXMLItem ReadStyle();
void WriteStyle(MXMLItem root);

// One key each: getters answer the default when the file or the key is missing.
bool Surround();
void SetSurround(bool on);
bool ConfirmationEnabled();
void SetConfirmationEnabled(bool on);
bool TabletMode();
void SetTabletMode(bool on);
bool OnlinePresetExchange();
void SetOnlinePresetExchange(bool on);
bool AutomationCompatibilityMode();
void SetAutomationCompatibilityMode(bool on);
std::string DefaultSize(const std::string& editorVariant);
void SetDefaultSize(const std::string& editorVariant, const std::string& size);

}  // namespace Configuration
}  // namespace corvane

#include "framework/storage/Configuration.h"

#include <filesystem>
#include <system_error>

#include "framework/core/MException.h"
#include "framework/core/Strings.h"
#include "framework/storage/StoredValues.h"
#include "framework/storage/XMLFiles.h"
#include "platform/DataFolders.h"

namespace corvane {
namespace Configuration {

std::string RequireFolder(const std::string& path) {
    if (DataFolders::RoamingFolder().empty()) throw MException("Could not retrieve system path.");
    if (!DataFolders::CreatePath(path)) throw MException("Could not create path \"" + path + "\".");
    return path;
}

namespace {

std::string Folder(const std::string& path) { return RequireFolder(path); }

MXMLItem ReadFile(const std::string& path) {
    MXMLItem root;
    LoadFromFile(root, path);
    return root;
}

MXMLItem ReadFileOrEmpty(const std::string& path, const char* rootName) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::u8path(path), error)) return MXMLItem(rootName);
    return ReadFile(path);
}

void WriteFile(MXMLItem root, const std::string& path, const char* rootName) {
    root.SetName(rootName);
    SaveToFile(root, path, "utf-8");
}

bool Flag(const std::string& path, const char* name, bool defaultValue) {
    try {
        const MXMLItem root = ReadFileOrEmpty(path, "Configuration");
        return LoadBool(root, name, defaultValue);
    } catch (const MException&) {
        return defaultValue;
    }
}

// Read, change one attribute, write the whole file back.
void SetAttribute(const std::string& path, const std::string& name, const std::string& value) {
    MXMLItem root = ReadFileOrEmpty(path, "Configuration");
    root.SetAttribute(name, value);
    WriteFile(root, path, "Configuration");
}

}  // namespace

std::string PluginWidePath() { return Folder(DataFolders::MakerFolder()) + "/MPluginConfiguration.xml"; }
std::string PluginPath() { return Folder(DataFolders::PluginFolder()) + "/GlobalConfiguration.xml"; }
std::string StylePath() { return Folder(DataFolders::PluginFolder()) + "/Style.cfg"; }

MXMLItem ReadPluginWide() { return ReadFile(PluginWidePath()); }
void WritePluginWide(MXMLItem root) { WriteFile(std::move(root), PluginWidePath(), "Configuration"); }
MXMLItem Read() { return ReadFile(PluginPath()); }
MXMLItem ReadOrEmpty() { return ReadFileOrEmpty(PluginPath(), "Configuration"); }
void Write(MXMLItem root) { WriteFile(std::move(root), PluginPath(), "Configuration"); }
MXMLItem ReadStyle() { return ReadFile(StylePath()); }
void WriteStyle(MXMLItem root) { WriteFile(std::move(root), StylePath(), "StyleConfiguration"); }

bool Surround() { return Flag(PluginWidePath(), "Surround", false); }
void SetSurround(bool on) { SetAttribute(PluginWidePath(), "Surround", on ? "1" : "0"); }
bool ConfirmationEnabled() { return Flag(PluginWidePath(), "ConfirmationEnabled", true); }
void SetConfirmationEnabled(bool on) { SetAttribute(PluginWidePath(), "ConfirmationEnabled", on ? "1" : "0"); }
bool TabletMode() { return Flag(PluginWidePath(), "TabletMode", false); }
void SetTabletMode(bool on) { SetAttribute(PluginWidePath(), "TabletMode", on ? "1" : "0"); }
bool OnlinePresetExchange() { return Flag(PluginWidePath(), "OnlinePresetExchange", false); }
void SetOnlinePresetExchange(bool on) { SetAttribute(PluginWidePath(), "OnlinePresetExchange", on ? "1" : "0"); }
bool AutomationCompatibilityMode() { return Flag(PluginPath(), "AutomationCompatibilityMode", true); }
void SetAutomationCompatibilityMode(bool on) {
    SetAttribute(PluginPath(), "AutomationCompatibilityMode", on ? "1" : "0");
}

std::string DefaultSize(const std::string& variant) {
    try {
        return ReadFileOrEmpty(PluginPath(), "Configuration").GetAttribute("DefaultSize" + variant);
    } catch (const MException&) {
        return std::string();
    }
}

void SetDefaultSize(const std::string& variant, const std::string& size) {
    SetAttribute(PluginPath(), "DefaultSize" + variant, size);
}

}  // namespace Configuration
}  // namespace corvane

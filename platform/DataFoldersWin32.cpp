#include <shlobj.h>
#include <windows.h>

#include "platform/DataFolders.h"
#include "platform/Utf16.h"

namespace corvane {
namespace DataFolders {

namespace {

// Windows writes backslashes; the rest of the tree joins with "/", which Windows takes as well.
std::string WithSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    while (path.size() > 3 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string SystemRoamingFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
    return WithSlashes(Utf16::To(path));
}

std::string TemporaryFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) return ".";
    return WithSlashes(Utf16::To(std::wstring(path, length)));
}

}  // namespace DataFolders
}  // namespace corvane

#include <io.h>
#include <windows.h>

#include "platform/FileSystem.h"
#include "platform/Utf16.h"

namespace corvane {
namespace FileSystem {

FILE* Open(const std::string& path, const char* mode) {
    return _wfopen(Utf16::From(path).c_str(), Utf16::From(mode).c_str());
}

bool IsRegularOrMissing(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Utf16::From(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool Sync(FILE* file) { return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0; }

bool Replace(const std::string& from, const std::string& to) {
    return MoveFileExW(Utf16::From(from).c_str(), Utf16::From(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Remove(const std::string& path) { return DeleteFileW(Utf16::From(path).c_str()) != 0; }

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace FileSystem
}  // namespace corvane

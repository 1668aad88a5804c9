#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/Utf16.h"

namespace corvane {
namespace FileSystem {

namespace {

// Another process (or instance) may hold the file for a moment: a reader
// while we replace it, or the replacement while we read. Both pass quickly.
bool Busy(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED; }

template <class Attempt>
bool Retried(Attempt attempt, int tries) {
    for (int i = 0;; ++i) {
        if (attempt()) return true;
        if (i + 1 >= tries || !Busy(GetLastError())) return false;
        Sleep(5);
    }
}

// The C run time's callers report errno; the system's reason in its terms.
void KeepErrno(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            errno = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            errno = EACCES;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            errno = ENOSPC;
            break;
        default:
            errno = EIO;
            break;
    }
}

// Readers share the file with deleting and renaming, so that a writer can
// replace it while they read (as POSIX allows).
FILE* OpenForReading(const std::string& path, const char* mode) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    const std::wstring wide = Utf16::From(path);
    const bool opened = Retried(
        [&] {
            handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            return handle != INVALID_HANDLE_VALUE;
        },
        40);
    if (!opened) {
        KeepErrno(GetLastError());
        return nullptr;
    }
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | (std::strchr(mode, 'b') ? _O_BINARY : _O_TEXT));
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE* file = _fdopen(descriptor, mode);
    if (file == nullptr) _close(descriptor);
    return file;
}

}  // namespace

FILE* Open(const std::string& path, const char* mode) {
    if (mode[0] == 'r' && std::strchr(mode, '+') == nullptr) return OpenForReading(path, mode);
    return _wfopen(Utf16::From(path).c_str(), Utf16::From(mode).c_str());
}

bool IsRegularOrMissing(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Utf16::From(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool Sync(FILE* file) { return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0; }

bool Replace(const std::string& from, const std::string& to) {
    const std::wstring source = Utf16::From(from), target = Utf16::From(to);
    const bool replaced = Retried(
        [&] {
            return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        },
        200);
    if (!replaced) KeepErrno(GetLastError());
    return replaced;
}

bool Remove(const std::string& path) { return DeleteFileW(Utf16::From(path).c_str()) != 0; }

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace FileSystem
}  // namespace corvane

#pragma once
// Writing a file so that a failure never costs the one it replaces: the new
// content goes to a temporary file beside it, is flushed to the disk and
// checked, and only then takes the old file's place in one rename. A failed
// or abandoned write leaves the old file as it was and no temporary behind.

#include <cstddef>
#include <cstdio>
#include <string>

namespace corvane {

class ReplacingFile {
public:
    // Refuses (Ok() false, Error() says why) a target that exists but is not a
    // regular file: a link, a device or a folder is never replaced.
    explicit ReplacingFile(std::string path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }
    // Where the content goes: written here by Write, or by a library that
    // opens the path itself.
    const std::string& TemporaryPath() const { return temporary_; }

    // Appends bytes to the temporary file (opened on first use).
    bool Write(const void* bytes, size_t count);
    // Flushes and syncs the temporary file, then renames it over the target.
    bool Commit();

    // The whole file at once; false with the reason in `error`.
    static bool WriteWhole(const std::string& path, const void* bytes, size_t count, std::string& error);

private:
    bool Fail(const std::string& what);

    std::string path_, temporary_, error_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
};

}  // namespace corvane

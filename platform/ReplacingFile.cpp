#include "platform/ReplacingFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"

namespace corvane {

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
    if (!FileSystem::IsRegularOrMissing(path_)) {
        error_ = "\"" + path_ + "\" is not a regular file; it is left as it is";
        return;
    }
    // Unique per writer: two instances in one process may save the same file at once.
    static std::atomic<unsigned> writers{0};
    temporary_ =
        path_ + ".partial." + std::to_string(FileSystem::ProcessId()) + "." + std::to_string(writers.fetch_add(1));
}

ReplacingFile::~ReplacingFile() {
    if (file_ != nullptr) std::fclose(file_);
    if (!committed_ && !temporary_.empty()) FileSystem::Remove(temporary_);
}

bool ReplacingFile::Fail(const std::string& what) {
    if (error_.empty()) error_ = "Error writing to file \"" + path_ + "\" (" + what + "): " + std::strerror(errno);
    return false;
}

bool ReplacingFile::Write(const void* bytes, size_t count) {
    if (!Ok()) return false;
    if (file_ == nullptr && (file_ = FileSystem::Open(temporary_, "wb")) == nullptr) return Fail("create");
    if (count > 0 && std::fwrite(bytes, 1, count, file_) != count) return Fail("write");
    return true;
}

bool ReplacingFile::Commit() {
    if (!Ok() || committed_) return Ok();
    if (file_ == nullptr) {
        // Written by someone else (a sound file library): sync it as it is.
        if ((file_ = FileSystem::Open(temporary_, "rb+")) == nullptr) return Fail("open");
    }
    // Every step is checked: a full disk may only show at the flush or the close.
    const bool flushed = std::fflush(file_) == 0 && FileSystem::Sync(file_);
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (!flushed || closed != 0) return Fail("flush");
    if (!FileSystem::Replace(temporary_, path_)) return Fail("rename");
    committed_ = true;
    return true;
}

bool ReplacingFile::WriteWhole(const std::string& path, const void* bytes, size_t count, std::string& error) {
    ReplacingFile file(path);
    const bool written = file.Write(bytes, count) && file.Commit();
    error = file.Error();
    return written;
}

}  // namespace corvane

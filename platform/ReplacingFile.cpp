#include "platform/ReplacingFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace corvane {

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
    struct stat target {};
    if (lstat(path_.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
        error_ = "\"" + path_ + "\" is not a regular file; it is left as it is";
        return;
    }
    // Unique per writer: two instances in one process may save the same file at once.
    static std::atomic<unsigned> writers{0};
    temporary_ = path_ + ".partial." + std::to_string(getpid()) + "." + std::to_string(writers.fetch_add(1));
}

ReplacingFile::~ReplacingFile() {
    if (file_ != nullptr) std::fclose(file_);
    if (!committed_ && !temporary_.empty()) std::remove(temporary_.c_str());
}

bool ReplacingFile::Fail(const std::string& what) {
    if (error_.empty()) error_ = "Error writing to file \"" + path_ + "\" (" + what + "): " + std::strerror(errno);
    return false;
}

bool ReplacingFile::Write(const void* bytes, size_t count) {
    if (!Ok()) return false;
    if (file_ == nullptr && (file_ = std::fopen(temporary_.c_str(), "wb")) == nullptr) return Fail("create");
    if (count > 0 && std::fwrite(bytes, 1, count, file_) != count) return Fail("write");
    return true;
}

bool ReplacingFile::Commit() {
    if (!Ok() || committed_) return Ok();
    if (file_ == nullptr) {
        // Written by someone else (a sound file library): sync it as it is.
        if ((file_ = std::fopen(temporary_.c_str(), "rb+")) == nullptr) return Fail("open");
    }
    // Every step is checked: a full disk may only show at the flush or the close.
    const bool flushed = std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (!flushed || closed != 0) return Fail("flush");
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail("rename");
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

#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"

namespace corvane {
namespace FileSystem {

FILE* Open(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool IsRegularOrMissing(const std::string& path) {
    struct stat target {};
    return lstat(path.c_str(), &target) != 0 || S_ISREG(target.st_mode);
}

bool Sync(FILE* file) { return fsync(fileno(file)) == 0; }

bool Replace(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool Remove(const std::string& path) { return std::remove(path.c_str()) == 0; }

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

}  // namespace FileSystem
}  // namespace corvane

#pragma once
// The few file operations the C run time leaves to the system: UTF-8 paths
// opened as they are, syncing a file to the disk, and replacing a file by
// another in one step.

#include <cstdio>
#include <string>

namespace corvane {
namespace FileSystem {

// fopen with a UTF-8 path (Windows takes wide paths for anything beyond ASCII).
FILE* Open(const std::string& path, const char* mode);
// True when nothing is there or a regular file is (no folder, link or device).
bool IsRegularOrMissing(const std::string& path);
// Flushed data reaches the disk.
bool Sync(FILE* file);
// `from` takes the place of `to`, replacing it when it exists.
bool Replace(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
// This process's number, for names no other process uses.
unsigned long ProcessId();

}  // namespace FileSystem
}  // namespace corvane

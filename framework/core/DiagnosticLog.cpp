#include "framework/core/DiagnosticLog.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/FileSystem.h"

namespace corvane {
namespace DiagnosticLog {
namespace {

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

Sink& InstalledSink() {
    static Sink sink;
    return sink;
}

void WriteToEnvironmentTarget(const std::string& message) {
    const char* target = std::getenv("SONVERA_LOG");
    if (target == nullptr || *target == '\0') return;
    if (std::string(target) == "stderr") {
        std::fprintf(stderr, "Sonvera: %s\n", message.c_str());
        return;
    }
    if (std::FILE* file = FileSystem::Open(target, "a")) {
        std::fprintf(file, "%s\n", message.c_str());
        std::fclose(file);
    }
}

}  // namespace

void Write(const std::string& message) {
    std::lock_guard<std::mutex> lock(LogMutex());
    if (InstalledSink())
        InstalledSink()(message);
    else
        WriteToEnvironmentTarget(message);
}

void SetSink(Sink sink) {
    std::lock_guard<std::mutex> lock(LogMutex());
    InstalledSink() = std::move(sink);
}

}  // namespace DiagnosticLog
}  // namespace corvane

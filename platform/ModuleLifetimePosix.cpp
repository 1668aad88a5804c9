#include "platform/ModuleLifetime.h"

namespace corvane {
namespace ModuleLifetime {
namespace {

// Destroyed when the library unloads (or the process ends).
struct UnloadHandler {
    void (*stop)() = nullptr;
    ~UnloadHandler() {
        if (stop != nullptr) stop();
    }
};

}  // namespace

void StopThreadsAtUnload(void (*stopThreads)()) {
    static UnloadHandler handler;
    handler.stop = stopThreads;
}

void PinWhileThreadsRun() {}

}  // namespace ModuleLifetime
}  // namespace corvane

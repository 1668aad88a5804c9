#include <windows.h>

#include "platform/ModuleLifetime.h"

namespace corvane {
namespace ModuleLifetime {

void StopThreadsAtUnload(void (*)()) {}

void PinWhileThreadsRun() {
    static const bool pinned = [] {
        HMODULE module = nullptr;
        return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                  reinterpret_cast<LPCWSTR>(&PinWhileThreadsRun), &module) != 0;
    }();
    (void)pinned;
}

}  // namespace ModuleLifetime
}  // namespace corvane

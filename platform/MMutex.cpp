#include "platform/MMutex.h"

#include <chrono>

namespace corvane {

int MMutex::Lock(uint32_t timeoutMs) {
    if (timeoutMs == WaitForever) {
        mutex_.lock();
        return 0;
    }
    if (timeoutMs == 0) return mutex_.try_lock() ? 0 : 1;
    return mutex_.try_lock_for(std::chrono::milliseconds(timeoutMs)) ? 0 : 1;
}

void MMutex::Unlock() { mutex_.unlock(); }

}  // namespace corvane

#pragma once
// Scoped acquire of an MMutex that throws "Could not acquire mutex." on failure.

#include <cstdint>

#include "framework/core/MException.h"
#include "platform/MMutex.h"

namespace corvane {

class MLock {
public:
    MLock(MMutex& mutex, uint32_t timeoutMs = MMutex::WaitForever) : mutex_(mutex) {
        if (mutex_.Lock(timeoutMs) != 0) throw MException("Could not acquire mutex.");
    }
    ~MLock() { mutex_.Unlock(); }
    MLock(const MLock&) = delete;
    MLock& operator=(const MLock&) = delete;

private:
    MMutex& mutex_;
};

}  // namespace corvane

#pragma once
// Scoped acquire of an MMutex that throws "Could not acquire mutex." on
// failure, and the audio thread's kind, which only tries.

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

// Waits on other threads, only tries on the audio thread: for code that runs
// on both. Check Held() before touching what the lock guards; when it is
// busy, the audio thread carries on with what it had.
class MAudioSafeLock {
public:
    explicit MAudioSafeLock(MMutex& mutex)
        : mutex_(mutex), held_(mutex.Lock(MMutex::OnAudioThread() ? 0 : MMutex::WaitForever) == 0) {}
    ~MAudioSafeLock() {
        if (held_) mutex_.Unlock();
    }
    MAudioSafeLock(const MAudioSafeLock&) = delete;
    MAudioSafeLock& operator=(const MAudioSafeLock&) = delete;
    bool Held() const { return held_; }

private:
    MMutex& mutex_;
    bool held_;
};

}  // namespace corvane

#pragma once
// Recursive mutex with a timed acquire, the lock every framework object uses.
// Timeouts are in milliseconds: WaitForever blocks, 0 only tries.

#include <cstdint>
#include <mutex>

namespace corvane {

class MMutex {
public:
    static constexpr uint32_t WaitForever = 0xFFFFFFFFu;

    MMutex() = default;
    MMutex(const MMutex&) = delete;
    MMutex& operator=(const MMutex&) = delete;

    // 0 on success, non-zero when the lock could not be had in time.
    int Lock(uint32_t timeoutMs);
    void Unlock();

private:
    std::recursive_timed_mutex mutex_;
};

}  // namespace corvane

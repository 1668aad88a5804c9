#pragma once
// Recursive mutex with a timed acquire, the lock every framework object uses.
// Timeouts are in milliseconds: WaitForever blocks, 0 only tries.
//
// A thread marked as the audio thread must never wait: an acquire there that
// finds the lock busy and would wait is counted (and reported to the wait
// handler) before it waits as asked.

#include <atomic>
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

    // Marks the calling thread as an audio thread for the mark's lifetime (nests).
    class AudioThreadMark {
    public:
        AudioThreadMark();
        ~AudioThreadMark();
        AudioThreadMark(const AudioThreadMark&) = delete;
        AudioThreadMark& operator=(const AudioThreadMark&) = delete;
    };
    static bool OnAudioThread();
    // Acquires on a marked thread that found the lock busy and would have
    // waited, since the process started. [any]
    static uint64_t AudioThreadWaits();
    // Called (on the audio thread) before such a wait; null: count only.
    using WaitHandler = void (*)();
    static void SetWaitHandler(WaitHandler handler);

private:
    std::recursive_timed_mutex mutex_;
};

}  // namespace corvane

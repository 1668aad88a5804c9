#pragma once
// Keeps an open editor alive in hosts that never send idle calls: while the
// host's calls stay away longer than `Patience`, a thread of ours runs the
// idle work itself. The caller serialises that work with its own calls.
// Every running thread is stopped before the library can unload.
// [main-thread] for Start, Stop and HostIdled.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace corvane {

class IdleFallback {
public:
    static constexpr std::chrono::milliseconds Interval{25};
    static constexpr std::chrono::milliseconds Patience{200};

    explicit IdleFallback(std::function<void()> idle) : idle_(std::move(idle)) {}
    ~IdleFallback() { Stop(); }
    IdleFallback(const IdleFallback&) = delete;
    IdleFallback& operator=(const IdleFallback&) = delete;

    void Start();
    // Returns once the thread has finished its last idle.
    void Stop();
    // The host's own idle call arrived: the thread stays quiet.
    void HostIdled() { lastHostIdle_.store(Now(), std::memory_order_relaxed); }
    // Stops every running thread: the library is about to unload (also
    // where a host leaves an editor open). Returns once all have finished.
    static void StopAll();
    // Makes the list StopAll walks (before whatever calls StopAll at unload is made).
    static void PrepareStopAll();

private:
    static int64_t Now();
    void Run();

    std::function<void()> idle_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::atomic<int64_t> lastHostIdle_{0};
};

}  // namespace corvane

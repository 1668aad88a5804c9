#pragma once
// Calls into the host belong on the host's own threads. A thread of ours
// (the editor's idle fallback) never calls the host: what it would ask is
// posted here and asked at the host's next tick, on the host's UI thread.
// And while an adapter reports a change to the host, the host's echo of it
// on the same thread is told apart from writes on other threads.

#include <cstdint>

#include "framework/core/SpscRing.h"

namespace corvane {

class PostedHostCalls {
public:
    struct Call {
        enum Kind : uint8_t { Automate, BeginEdit, EndEdit, Resize, Latency } kind = Automate;
        int32_t first = 0, second = 0;  // a parameter index, or the width and height
        double value = 0.0;
    };

    // Marks the calling thread as one of ours for the mark's lifetime.
    class OwnThread {
    public:
        OwnThread() { ++depth_; }
        ~OwnThread() { --depth_; }
        OwnThread(const OwnThread&) = delete;
        OwnThread& operator=(const OwnThread&) = delete;
    };
    static bool OnOwnThread() { return depth_ > 0; }

    // [our thread] False when the queue is full and the call is dropped.
    bool Post(const Call& call) { return calls_.TryPush(call); }
    // [the host's UI thread] Hands every posted call to make(call), in order.
    template <class Make>
    void Deliver(Make&& make) {
        for (Call call; calls_.TryPop(call);) make(call);
    }

private:
    static inline thread_local int depth_ = 0;
    SpscRing<Call, 1024> calls_;
};

// Held by an adapter while it reports a change to the host, on that thread only.
class ReportToHost {
public:
    explicit ReportToHost(const void* adapter) : previous_(reporting_) { reporting_ = adapter; }
    ~ReportToHost() { reporting_ = previous_; }
    ReportToHost(const ReportToHost&) = delete;
    ReportToHost& operator=(const ReportToHost&) = delete;
    // Whether the calling thread is inside a report of this adapter: a write
    // arriving now is the host's echo.
    static bool Echoing(const void* adapter) { return reporting_ == adapter; }

private:
    static inline thread_local const void* reporting_ = nullptr;
    const void* previous_;
};

}  // namespace corvane

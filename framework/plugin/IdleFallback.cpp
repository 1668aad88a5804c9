#include "framework/plugin/IdleFallback.h"

#include "framework/plugin/HostCalls.h"

namespace corvane {

int64_t IdleFallback::Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void IdleFallback::Start() {
    Stop();
    HostIdled();  // the host gets its chance first
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
}

void IdleFallback::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void IdleFallback::Run() {
    const PostedHostCalls::OwnThread ours;  // what the idle asks of the host waits for the host's tick
    std::unique_lock<std::mutex> hold(mutex_);
    while (!wake_.wait_for(hold, Interval, [this] { return stopping_; })) {
        if (Now() - lastHostIdle_.load(std::memory_order_relaxed) < Patience.count()) continue;
        hold.unlock();
        idle_();
        hold.lock();
    }
}

}  // namespace corvane

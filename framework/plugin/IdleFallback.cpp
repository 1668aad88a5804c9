#include "framework/plugin/IdleFallback.h"

#include <algorithm>
#include <vector>

#include "framework/plugin/BackgroundWork.h"
#include "framework/plugin/HostCalls.h"

namespace corvane {

int64_t IdleFallback::Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

// The fallbacks whose thread runs, for StopAll.
struct Running {
    std::mutex mutex;
    std::vector<IdleFallback*> fallbacks;
};

Running& RunningFallbacks() {
    static Running running;
    return running;
}

}  // namespace

void IdleFallback::Start() {
    Stop();
    HostIdled();  // the host gets its chance first
    stopping_ = false;
    PrepareLibraryThreads();
    Running& running = RunningFallbacks();
    {
        std::lock_guard<std::mutex> hold(running.mutex);
        running.fallbacks.push_back(this);
    }
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
    Running& running = RunningFallbacks();
    std::lock_guard<std::mutex> hold(running.mutex);
    running.fallbacks.erase(std::remove(running.fallbacks.begin(), running.fallbacks.end(), this),
                            running.fallbacks.end());
}

void IdleFallback::PrepareStopAll() { RunningFallbacks(); }

void IdleFallback::StopAll() {
    for (;;) {
        IdleFallback* fallback = nullptr;
        {
            Running& running = RunningFallbacks();
            std::lock_guard<std::mutex> hold(running.mutex);
            if (running.fallbacks.empty()) return;
            fallback = running.fallbacks.back();
        }
        fallback->Stop();
    }
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

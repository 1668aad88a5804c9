#include "framework/plugin/BackgroundWork.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/core/ExceptionGuard.h"
#include "framework/plugin/HostCalls.h"
#include "framework/plugin/IdleFallback.h"
#include "platform/ModuleLifetime.h"

namespace corvane {
namespace {

struct Worker {
    // Only at process end with the thread still known (Windows ends it first).
    ~Worker() {
        if (thread.joinable()) thread.detach();
    }
    // Held while tasks run, so that Remove can wait for a run to end; taken before `mutex`.
    std::mutex running;
    std::mutex mutex;
    std::condition_variable wake;
    std::map<uint64_t, BackgroundWork::Task> tasks;
    uint64_t nextId = 1;
    bool stopping = false;
    std::thread thread;
};

Worker& TheWorker() {
    static Worker worker;
    return worker;
}

void Run(Worker& worker) {
    const PostedHostCalls::OwnThread ours;
    std::vector<BackgroundWork::Task*> due;
    for (;;) {
        std::lock_guard<std::mutex> run(worker.running);
        {
            std::unique_lock<std::mutex> hold(worker.mutex);
            if (worker.wake.wait_for(hold, BackgroundWork::Interval, [&] { return worker.stopping; })) return;
            due.clear();
            for (auto& entry : worker.tasks) due.push_back(&entry.second);
        }
        for (BackgroundWork::Task* task : due) GuardedVoid("BackgroundWork", [&] { (*task)(); });
    }
}

// Under worker.mutex, with no thread running.
void Join(Worker& worker, std::unique_lock<std::mutex>& hold) {
    if (!worker.thread.joinable()) return;
    worker.stopping = true;
    std::thread thread = std::move(worker.thread);
    hold.unlock();
    worker.wake.notify_all();
    thread.join();
    hold.lock();
    worker.stopping = false;
}

}  // namespace

uint64_t BackgroundWork::Add(Task task) {
    Worker& worker = TheWorker();
    std::lock_guard<std::mutex> hold(worker.mutex);
    const uint64_t id = worker.nextId++;
    worker.tasks.emplace(id, std::move(task));
    if (!worker.thread.joinable()) {
        PrepareLibraryThreads();
        worker.thread = std::thread([&worker] { Run(worker); });
    }
    return id;
}

void BackgroundWork::Remove(uint64_t id) {
    Worker& worker = TheWorker();
    std::unique_lock<std::mutex> run(worker.running);
    std::unique_lock<std::mutex> hold(worker.mutex);
    worker.tasks.erase(id);
    if (!worker.tasks.empty()) return;
    // The last task went: so does the thread.
    run.unlock();
    Join(worker, hold);
}

void BackgroundWork::Stop() {
    Worker& worker = TheWorker();
    std::unique_lock<std::mutex> hold(worker.mutex);
    Join(worker, hold);
}

void StopLibraryThreads() {
    IdleFallback::StopAll();
    BackgroundWork::Stop();
}

void PrepareLibraryThreads() {
    static const bool prepared = [] {
        TheWorker();
        IdleFallback::PrepareStopAll();
        ModuleLifetime::StopThreadsAtUnload(&StopLibraryThreads);
        return true;
    }();
    (void)prepared;
    ModuleLifetime::PinWhileThreadsRun();
}

}  // namespace corvane

#pragma once
// One thread of the library's for work that must not wait for a host's idle
// call (a preset step asked by MIDI while no editor is open): every task
// registered runs about every Interval on it. The thread runs while tasks
// are registered and is stopped before the library can unload; what its
// tasks ask of the host waits for the host's next tick.

#include <chrono>
#include <cstdint>
#include <functional>

namespace corvane {

namespace BackgroundWork {

constexpr std::chrono::milliseconds Interval{10};
using Task = std::function<void()>;

// [main-thread] An id for Remove.
uint64_t Add(Task task);
// [main-thread] Once it returns the task is not running and never runs again.
void Remove(uint64_t id);
// Stops the thread (the library is going); tasks added later start it again.
void Stop();

}  // namespace BackgroundWork

// Every thread the library runs, stopped and joined: called at ModuleExit,
// ExitDll and, where joining is safe there, when the library unloads.
void StopLibraryThreads();
// Before a thread of the library first starts: arranges the stop at unload
// (after the registries it stops, so that it runs before they go) and, on
// Windows, pins the module.
void PrepareLibraryThreads();

}  // namespace corvane

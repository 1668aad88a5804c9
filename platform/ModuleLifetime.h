#pragma once
// Threads the library starts must never run after its code is gone.
// On POSIX systems the library's unloading (dlclose) runs a handler that
// stops and joins them. On Windows joining there would deadlock (unloading
// holds the loader lock), so the module is pinned in memory instead, from
// the first such thread on, and hosts' ExitDll stops them.

namespace corvane {
namespace ModuleLifetime {

// Called once per load, before a thread of ours first starts: `stopThreads`
// runs when the library unloads, where that is safe.
void StopThreadsAtUnload(void (*stopThreads)());
// Keeps the module loaded while threads of ours may run (Windows; nothing elsewhere).
void PinWhileThreadsRun();

}  // namespace ModuleLifetime
}  // namespace corvane

// A host that unloads the library while an editor is still open (its
// instance closed, or left open): no thread of the library may run on in
// code that is gone. Each case runs in a child process, which a thread left
// running would crash once the editor's idle takes over from the host (the
// sanitizer builds' library really unloads; the shipped one stays loaded
// once opened, and there the threads are counted instead).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "tests/hosts/vst2/VstTestHost.h"
#include "tests/support/VirtualDisplay.h"

using namespace Vst2;

namespace {

enum class Exit { CloseInstance, ModuleExit, UnloadOnly };

int ThreadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
    return count;
}

// In the child: opens an editor and unloads the library; 0 when all went
// well, 5 when a thread of the library was still running after the host's
// last word.
int UnloadWithAnEditorOpen(Exit exit) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 2;
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1000, 600, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    const int threadsBefore = ThreadCount();
    int threadsAfter = 0;
    {
        std::optional<sonvera_test::VstTestHost> host(std::in_place);
        sonvera_test::VstTestHost::Instance* instance = host->Open();
        if (instance == nullptr) return 3;
        if (instance->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) != 1) return 4;
        instance->Dispatch(effEditIdle);
        // The host never closes the editor.
        if (exit == Exit::CloseInstance) instance->Dispatch(effClose);
        if (exit == Exit::ModuleExit) host->Symbol<bool (*)()>("ModuleExit")();
        threadsAfter = ThreadCount();
        host.reset();  // the library is unloaded
    }
    // Well past the moment the editor's own idle would take over.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    return exit != Exit::UnloadOnly && threadsAfter != threadsBefore ? 5 : 0;
}

}  // namespace

TEST(LibraryUnload, NoThreadOfTheLibraryOutlivesIt) {
    if (sonvera_test::TestDisplay().Get() == nullptr) GTEST_SKIP() << "Xvfb is not installed";
    const char* const names[] = {"instance closed", "ModuleExit with the instance open", "unloaded with it open"};
    for (const Exit exit : {Exit::CloseInstance, Exit::ModuleExit, Exit::UnloadOnly}) {
        const char* name = names[static_cast<int>(exit)];
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(UnloadWithAnEditorOpen(exit));
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status)) << name << ": ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << name;
        }
    }
}

// The VST3 entries: the factory, and the module hooks that hosts call when
// they load and unload the bundle's library.

#include "entry/Exports.h"
#include "entry/PluginCreation.h"
#include "framework/core/ExceptionGuard.h"
#include "framework/plugin/BackgroundWork.h"
#include "hosts/vst3/Vst3Objects.h"

extern "C" {

void* GetPluginFactory() {
    Vst3::SetPluginCreator(&corvane::CreateSonveraPlugin);
    return Vst3::Factory();
}

// Linux hosts call these around loading the library; Windows hosts the other
// pair. Before the library goes, no thread of ours may still run, even for
// an editor a host left open.
bool ModuleEntry(void*) { return true; }
bool ModuleExit() {
    corvane::GuardedVoid("ModuleExit", [] { corvane::StopLibraryThreads(); });
    return true;
}
bool InitDll() { return true; }
bool ExitDll() {
    corvane::GuardedVoid("ExitDll", [] { corvane::StopLibraryThreads(); });
    return true;
}
}

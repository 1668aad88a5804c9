// The VST3 entries: the factory, and the module hooks that hosts call when
// they load and unload the bundle's library.

#include "entry/Exports.h"
#include "entry/PluginCreation.h"
#include "hosts/vst3/Vst3Objects.h"

extern "C" {

void* GetPluginFactory() {
    Vst3::SetPluginCreator(&corvane::CreateSonveraPlugin);
    return Vst3::Factory();
}

// Linux hosts call these around loading the library; Windows hosts the other pair.
bool ModuleEntry(void*) { return true; }
bool ModuleExit() { return true; }
bool InitDll() { return true; }
bool ExitDll() { return true; }
}

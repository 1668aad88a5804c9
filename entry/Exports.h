#pragma once
// The library's exported entry points, with C linkage.

#include <cstdint>

#include "entry/interface/MPluginArguments.h"
#include "hosts/vst2/VstInterface.h"

extern "C" {

// What another module built on the framework hands CorvaneDLLInitialize.
struct CorvaneInitializationRecord {
    const uint64_t* values;  // five configuration values
    uint64_t extraValue;
    const char* name;
};

__attribute__((visibility("default"))) int64_t SonveraAudioEffectPluginInterface(void* object, int64_t command,
                                                                                 corvane::MPluginArguments* arguments);

__attribute__((visibility("default"))) void* CorvaneDLLInitialize(const CorvaneInitializationRecord* record);

// VST 2.4 entry point.
__attribute__((visibility("default"))) Vst2::AEffect* VSTPluginMain(Vst2::HostCallback host);

// VST3 entry points: the factory (an IPluginFactory), and the module hooks.
__attribute__((visibility("default"))) void* GetPluginFactory();
__attribute__((visibility("default"))) bool ModuleEntry(void* library);
__attribute__((visibility("default"))) bool ModuleExit();
__attribute__((visibility("default"))) bool InitDll();
__attribute__((visibility("default"))) bool ExitDll();
}

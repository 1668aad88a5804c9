// Only in the plug-in library: executables have a main of their own.

#include "entry/Exports.h"

// "main" is the same function under the name older hosts look for; an
// assembler label avoids declaring a C++ function called main.
extern "C" __attribute__((visibility("default"))) Vst2::AEffect* VstMainAlias(Vst2::HostCallback host) __asm__("main");
extern "C" Vst2::AEffect* VstMainAlias(Vst2::HostCallback host) { return VSTPluginMain(host); }

#pragma once
// The module's named resources, compiled into the library: the factory
// presets ("mpresets") among them.

#include <cstddef>
#include <string>

#include "framework/storage/MXMLItem.h"

namespace corvane {

struct ModuleResource {
    const char* name;
    const unsigned char* bytes;
    size_t size;
    bool compressed;  // a zlib stream rather than plain text
};

// Generated at build time.
extern const ModuleResource ModuleResourceTable[];
extern const size_t ModuleResourceCount;

namespace ModuleResources {

// Throws "Cannot find requested resource (NAME)." when there is none.
const ModuleResource& Find(const std::string& name);

// The factory bank: folders of presets, each preset complete (the bank's
// shared defaults beneath what the preset sets). Parsed once per process;
// an unreadable bank is logged and yields an empty one.
const MXMLItem& FactoryPresets();

}  // namespace ModuleResources
}  // namespace corvane

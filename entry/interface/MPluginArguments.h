#pragma once
// The argument record of the effect interface: four 16-byte entries, the
// binary contract between separately built modules.

#include <cstddef>
#include <cstdint>

#include "framework/core/MEventTarget.h"

namespace corvane {

enum MPluginArgumentKind : uint32_t {
    ArgumentEmpty = 0,
    ArgumentValue = 1,
    ArgumentOwnedObject = 2,  // value points to an MObject the record owns
};

struct MPluginArgumentEntry {
    uint32_t kind;
    uint32_t padding;
    uint64_t value;
};

struct MPluginArguments {
    MPluginArgumentEntry entries[4];

    MPluginArguments() { Reset(); }
    ~MPluginArguments() { Clear(); }
    MPluginArguments(const MPluginArguments&) = delete;
    MPluginArguments& operator=(const MPluginArguments&) = delete;

    void Set(int entry, uint64_t value, uint32_t kind = ArgumentValue) {
        entries[entry].kind = kind;
        entries[entry].value = value;
    }
    void SetPointer(int entry, const void* pointer, uint32_t kind = ArgumentValue) {
        Set(entry, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer)), kind);
    }
    uint64_t Value(int entry) const { return entries[entry].value; }
    int32_t Int32(int entry) const { return static_cast<int32_t>(static_cast<uint32_t>(entries[entry].value)); }
    template <class T>
    T* Pointer(int entry) const {
        return reinterpret_cast<T*>(static_cast<uintptr_t>(entries[entry].value));
    }

    // From the last entry to the first: owned objects are destroyed, every
    // entry goes back to empty.
    void Clear() {
        for (int entry = 3; entry >= 0; --entry) {
            if (entries[entry].kind == ArgumentOwnedObject && entries[entry].value != 0) {
                MObject* object = Pointer<MObject>(entry);
                entries[entry].value = 0;
                delete object;
            }
            entries[entry].kind = ArgumentEmpty;
            entries[entry].value = 0;
        }
    }

private:
    void Reset() {
        for (MPluginArgumentEntry& entry : entries) entry = MPluginArgumentEntry{ArgumentEmpty, 0, 0};
    }
};

static_assert(sizeof(MPluginArgumentEntry) == 16, "argument entries are 16 bytes");
static_assert(offsetof(MPluginArgumentEntry, value) == 8, "the value sits at offset 8");
static_assert(sizeof(MPluginArguments) == 64, "the argument record is 64 bytes");

// (peer, command, arguments) -> result; -1 means the command is not known.
using MPluginInterfaceFunction = int64_t (*)(void* peer, int64_t command, MPluginArguments* arguments);

inline int64_t PointerResult(const void* pointer) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer)); }

}  // namespace corvane

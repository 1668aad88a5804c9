#pragma once
// Roots of the framework's class tree. MEventTarget receives events from
// controls and objects; the hook answers 0 when it does not handle one.

#include <cstdint>

namespace corvane {

class MObject {
public:
    virtual ~MObject() = default;
};

class MEventTarget : public MObject {
public:
    virtual int64_t OnEvent(void* /*event*/) { return 0; }
    virtual void OnReserved() {}
};

}  // namespace corvane

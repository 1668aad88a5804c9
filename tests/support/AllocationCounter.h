#pragma once
// Counts heap allocations made on the calling thread while a scope is open.
// The global operator new of the test binary reports to it.

#include <cstddef>

namespace sonvera_test {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    size_t Count() const;
};

}  // namespace sonvera_test

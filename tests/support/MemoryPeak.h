#pragma once
// The most heap memory the calling thread held at once while a scope was
// open, counted by the test binary's operator new and delete.

#include <cstddef>

namespace sonvera_test {

class MemoryPeak {
public:
    MemoryPeak();
    ~MemoryPeak();
    size_t PeakBytes() const;
};

}  // namespace sonvera_test

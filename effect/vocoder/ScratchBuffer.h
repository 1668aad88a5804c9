#pragma once
// A float buffer that grows to the next power of two at or above the largest
// block seen and never shrinks: after the first block of a length, no allocation.

#include <cstdint>
#include <vector>

namespace sonvera {

class ScratchBuffer {
public:
    float* Reserve(int32_t sampleCount) {
        if (static_cast<size_t>(sampleCount) > data_.size()) {
            size_t capacity = 1;
            while (capacity < static_cast<size_t>(sampleCount)) capacity <<= 1;
            data_.resize(capacity, 0.0f);
        }
        return data_.data();
    }
    float* Data() { return data_.data(); }
    size_t Capacity() const { return data_.size(); }

private:
    std::vector<float> data_;
};

}  // namespace sonvera

#pragma once
// Buffers the pipeline owns: they only grow, to the next power of two of
// the block length (1 and 2 stay as they are), and never shrink.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane {

class GrowingBuffer {
public:
    // At least n samples; a grown buffer is cleared when `clear` is set.
    float* Ensure(int32_t n, bool clear);
    float* Data() { return data_.data(); }
    size_t Length() const { return data_.size(); }

private:
    std::vector<float> data_;
};

class AudioBufferRepair {
public:
    // Repairs one pointer table of `buses` buses of `channelsPerBus` channels
    // at `stride`: missing channels reuse their neighbour, read silence
    // (inputs) or write to scratch (outputs); a mono host feeds both channels.
    // A count of 0 leaves the table unchanged.
    void FixAudioBuffers(float** table, int32_t hostChannels, int32_t buses, int32_t channelsPerBus, int32_t stride,
                         bool input, int32_t count);
    // Room for blocks of up to n samples.
    void Reserve(int32_t n);

private:
    GrowingBuffer silence_, scratch_;
    GrowingBuffer monoCopies_[16];
};

}  // namespace corvane

#include "framework/core/MRandom.h"

#include <atomic>

namespace corvane {
namespace MRandom {
namespace {

std::atomic<uint32_t> state{0};

uint32_t Advance() {
    uint32_t s = state.load(std::memory_order_relaxed) * 214013u + 2531011u;
    state.store(s, std::memory_order_relaxed);
    return s;
}

}  // namespace

int32_t Next() { return static_cast<int32_t>((Advance() >> 16) & 0x7FFFu); }

double NextUnit() { return Next() / 32767.0; }

bool NextBit16() { return (Advance() >> 16) & 1u; }

uint32_t State() { return state.load(std::memory_order_relaxed); }

void Seed(uint32_t s) { state.store(s, std::memory_order_relaxed); }

}  // namespace MRandom
}  // namespace corvane

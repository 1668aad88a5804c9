#pragma once
// The process-wide random generator behind every randomisation:
// s = s * 214013 + 2531011 (32-bit wrap), r = (s >> 16) & 0x7FFF.
// Shared by all callers without a lock, as the generator has always been.

#include <cstdint>

namespace corvane {
namespace MRandom {

// Advances the generator and returns r in 0..32767.
int32_t Next();
// r / 32767: 0..1 with both ends included.
double NextUnit();
// Advances the generator and returns bit 16 of the new state.
bool NextBit16();
// The generator state, for tests and reproducible runs.
uint32_t State();
void Seed(uint32_t state);

}  // namespace MRandom
}  // namespace corvane

// The band kernels with 8 lane(s) per register.
#include "effect/vocoder/BandKernels.h"

#include <immintrin.h>

namespace sonvera {
namespace kernels_avx512 {
#define KERNEL_LANES 8
#include "effect/vocoder/BandKernelsImpl.inc"
}  // namespace kernels_avx512
}  // namespace sonvera

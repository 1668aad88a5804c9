// The band kernels with 4 lane(s) per register.
#include "effect/vocoder/BandKernels.h"

#include <immintrin.h>

namespace sonvera {
namespace kernels_avx2 {
#define KERNEL_LANES 4
#include "effect/vocoder/BandKernelsImpl.inc"
}  // namespace kernels_avx2
}  // namespace sonvera

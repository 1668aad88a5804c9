// The band kernels with 2 lane(s) per register.
#include "effect/vocoder/BandKernels.h"

namespace sonvera {
namespace kernels_sse2 {
#define KERNEL_LANES 2
#include "effect/vocoder/BandKernelsImpl.inc"
}  // namespace kernels_sse2
}  // namespace sonvera

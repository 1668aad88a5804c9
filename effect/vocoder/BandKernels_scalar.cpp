// The band kernels with 1 lane(s) per register.
#include "effect/vocoder/BandKernels.h"

namespace sonvera {
namespace kernels_scalar {
#define KERNEL_LANES 1
#include "effect/vocoder/BandKernelsImpl.inc"
}  // namespace kernels_scalar
}  // namespace sonvera

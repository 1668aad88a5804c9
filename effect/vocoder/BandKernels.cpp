#include "effect/vocoder/BandKernels.h"

namespace sonvera {

bool KernelPathSupported(KernelPath path) {
    __builtin_cpu_init();
    switch (path) {
        case KernelPath::AVX512:
            return __builtin_cpu_supports("avx512f");
        case KernelPath::AVX2:
            return __builtin_cpu_supports("avx2");
        default:
            return true;  // SSE2 is part of every x86-64
    }
}

KernelPath BestKernelPath() {
    static const KernelPath best = KernelPathSupported(KernelPath::AVX512) ? KernelPath::AVX512
                                   : KernelPathSupported(KernelPath::AVX2) ? KernelPath::AVX2
                                                                           : KernelPath::SSE2;
    return best;
}

const BandKernels& KernelsFor(KernelPath path) {
    switch (path) {
        case KernelPath::AVX512:
            return kernels_avx512::table;
        case KernelPath::AVX2:
            return kernels_avx2::table;
        case KernelPath::SSE2:
            return kernels_sse2::table;
        default:
            return kernels_scalar::table;
    }
}

}  // namespace sonvera

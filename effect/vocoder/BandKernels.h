#pragma once
// The per-sample band work, run on several bands at once in SIMD lanes.
// One implementation is compiled per instruction set (scalar, SSE2, AVX2,
// AVX-512) and picked once per process from the CPU; every path performs
// the same operations in the same order, so their outputs are identical.

#include <cstdint>

#include "effect/vocoder/VocoderBank.h"

namespace sonvera {

// Samples per chunk: band signals and envelopes of a chunk stay in cache.
constexpr int32_t ChunkSize = 32;

// Band signals of one chunk, [sample][band].
struct ChunkBuffers {
    alignas(64) float carrierSignal[ChunkSize][PaddedBands];
    alignas(64) float modulatorSignal[ChunkSize][PaddedBands];
    alignas(64) float carrierEnvelope[ChunkSize][PaddedBands];
    alignas(64) float modulatorEnvelope[ChunkSize][PaddedBands];
    alignas(64) float mixedModulatorEnvelope[ChunkSize][PaddedBands];  // matrix sources averaged
    alignas(64) float sourceCarrierEnvelope[ChunkSize][PaddedBands];   // first source's carrier envelope
    alignas(64) float contribution[ChunkSize][PaddedBands];
};

// Per-block settings of the band work, per band where graphs may vary them.
struct BandSettings {
    int32_t bandCount = 0;
    int32_t carrierOrder = 0;
    int32_t modulatorOrder = 0;
    int32_t mode = 0;
    bool freeze = false;
    bool gateActive = false;
    bool anyCarrierEnvelope = false;
    alignas(64) double carrierEnvelopeNeeded[PaddedBands] = {};  // 1 where the band follows its carrier
    alignas(64) float whitening[PaddedBands] = {};               // min(1, whitening + offset)
    alignas(64) float gateThreshold[PaddedBands] = {};
    alignas(64) float gateRatio[PaddedBands] = {};
    alignas(64) float ratioOffset[PaddedBands] = {};
    alignas(64) float level[PaddedBands] = {};  // band level squared
};

struct AnalysisArguments {
    const BandSettings* settings;
    const VocoderBank* bank;
    ChannelRuntime* runtime;
    const float* carrier;  // this chunk's samples
    const float* modulator;
    ChunkBuffers* buffers;
    int32_t sampleCount;  // at most ChunkSize
};

struct CombineArguments {
    const BandSettings* settings;
    const float* ratio;                             // this chunk's ratio values
    const float (*modulatorEnvelope)[PaddedBands];  // Em per band
    const float (*carrierEnvelope)[PaddedBands];    // Ec per band
    ChunkBuffers* buffers;
    int32_t sampleCount;
};

struct SumArguments {
    int32_t bandCount;
    const uint8_t* active;  // per band: 1 when it has a source and is heard
    const ChunkBuffers* buffers;
    float normaliser;
    float* output;
    int32_t sampleCount;
};

enum class KernelPath { Scalar, SSE2, AVX2, AVX512 };

struct BandKernels {
    // Runs both sides' cascades into buffers->carrierSignal and modulatorSignal.
    void (*filter)(const AnalysisArguments& arguments);
    // Then follows the envelopes, gates and whitens.
    void (*analyse)(const AnalysisArguments& arguments);
    // Each band's share of the output, by mode, into buffers->contribution.
    void (*combine)(const CombineArguments& arguments);
    // The heard bands' contributions summed per sample, in ascending band order, times the normaliser.
    void (*sum)(const SumArguments& arguments);
    int32_t lanes;
};

const BandKernels& KernelsFor(KernelPath path);
// The widest path this CPU runs.
KernelPath BestKernelPath();
bool KernelPathSupported(KernelPath path);

namespace kernels_scalar {
extern const BandKernels table;
}
namespace kernels_sse2 {
extern const BandKernels table;
}
namespace kernels_avx2 {
extern const BandKernels table;
}
namespace kernels_avx512 {
extern const BandKernels table;
}

}  // namespace sonvera

#pragma once
// The vocoder's filter bank: the designed sections of every band, the
// per-band arrays the processing reads, and the runtime state of the
// cascades and detectors. Per-band values sit in arrays indexed by band so
// that several bands load into one SIMD register.

#include <cstdint>

#include "dsp/MAudioFilters.h"

namespace sonvera {

constexpr int32_t MaxBands = 100;
constexpr int32_t MaxSections = 10;
constexpr int32_t MaxChannels = 8;
// Bands padded to a whole number of the widest lane group (eight doubles).
constexpr int32_t PaddedBands = 104;

// Design data of one band.
struct VocoderBand {
    MAudioFilters::Filter<double> carrierSections[MaxSections];
    MAudioFilters::Filter<double> modulatorSections[MaxSections];
    int32_t carrierOrder = 0;
    int32_t modulatorOrder = 0;
    int32_t sourceCount = 0;
    int32_t sources[MaxBands] = {};
};

// Everything Update computes.
struct VocoderBank {
    VocoderBand bands[MaxBands];
    // Detector coefficients and input gains.
    alignas(64) double rmsInput[PaddedBands] = {};
    alignas(64) double rmsKeep[PaddedBands] = {};
    alignas(64) double attackCoef[PaddedBands] = {};
    alignas(64) double releaseCoef[PaddedBands] = {};
    alignas(64) double holdCoef[PaddedBands] = {};
    alignas(64) float carrierGain[PaddedBands] = {};
    alignas(64) float modulatorGain[PaddedBands] = {};
    // Per-band settings, from the band levels and graphs.
    double bandLevel[MaxBands];
    double ratioOffset[MaxBands] = {};
    double whiteningOffset[MaxBands] = {};
    double gateThresholdFactor[MaxBands];
    double gateRatioFactor[MaxBands];
    float outputNormaliser = 1.0f;
    int32_t bandCount = 0;                 // of the last Update
    bool identityRouting = true;           // every band fed by itself alone
    int32_t activeBands[MaxBands] = {};    // bands with at least one source, ascending
    uint8_t bandActive[PaddedBands] = {};  // 1 for the bands in activeBands
    int32_t activeBandCount = 0;

    VocoderBank();
};

// Runtime state of one side's cascades on one channel: one stage per
// section and band, with the taps taken from the designed sections.
struct CascadeRuntime {
    alignas(64) double b0[MaxSections][PaddedBands];
    alignas(64) double b1[MaxSections][PaddedBands];
    alignas(64) double b2[MaxSections][PaddedBands];
    alignas(64) double a1[MaxSections][PaddedBands];
    alignas(64) double a2[MaxSections][PaddedBands];
    alignas(64) double s1[MaxSections][PaddedBands];
    alignas(64) double s2[MaxSections][PaddedBands];
    uint32_t version[MaxSections][PaddedBands];
    uint8_t active[MaxSections][PaddedBands];

    CascadeRuntime() { ReleaseAll(); }
    void ReleaseAll();
    void Release(int32_t band);
    // Takes new taps where a section was redesigned; a released stage starts from silence.
    void Sync(const MAudioFilters::Filter<double>& section, int32_t sectionIndex, int32_t band);
    void ClearDelay(int32_t band);
    bool IsFinite(int32_t band, int32_t order) const;
};

// Envelope detector state of one side on one channel.
struct DetectorRuntime {
    alignas(64) double rms[PaddedBands];
    alignas(64) double envelope[PaddedBands];

    DetectorRuntime() { Clear(); }
    void Clear();
    void Clear(int32_t band) { rms[band] = envelope[band] = 0.0; }
};

struct ChannelRuntime {
    CascadeRuntime carrier;
    CascadeRuntime modulator;
    DetectorRuntime carrierDetector;
    DetectorRuntime modulatorDetector;
};

}  // namespace sonvera

#include "effect/vocoder/VocoderBank.h"

#include <cmath>
#include <cstring>

namespace sonvera {

VocoderBank::VocoderBank() {
    for (int32_t b = 0; b < MaxBands; ++b) {
        bandLevel[b] = 1.0;
        gateThresholdFactor[b] = 1.0;
        gateRatioFactor[b] = 1.0;
    }
}

void CascadeRuntime::ReleaseAll() { std::memset(this, 0, sizeof *this); }

void CascadeRuntime::Release(int32_t band) {
    for (int32_t s = 0; s < MaxSections; ++s) active[s][band] = 0;
}

void CascadeRuntime::Sync(const MAudioFilters::Filter<double>& section, int32_t s, int32_t band) {
    if (active[s][band] && version[s][band] == section.version) return;
    b0[s][band] = section.b0;
    b1[s][band] = section.b1;
    b2[s][band] = section.b2;
    a1[s][band] = -section.negA1;
    a2[s][band] = -section.negA2;
    if (!active[s][band]) s1[s][band] = s2[s][band] = 0.0;
    version[s][band] = section.version;
    active[s][band] = 1;
}

void CascadeRuntime::ClearDelay(int32_t band) {
    for (int32_t s = 0; s < MaxSections; ++s) s1[s][band] = s2[s][band] = 0.0;
}

bool CascadeRuntime::IsFinite(int32_t band, int32_t order) const {
    for (int32_t s = 0; s < order; ++s)
        if (!std::isfinite(s1[s][band]) || !std::isfinite(s2[s][band])) return false;
    return true;
}

void DetectorRuntime::Clear() {
    std::memset(rms, 0, sizeof rms);
    std::memset(envelope, 0, sizeof envelope);
}

}  // namespace sonvera

#pragma once
// The maker's framework plug-in: what every effect of ours shares on top of
// the effect adapter (editor and settings windows arrive later).

#include <cstdint>
#include <string>

#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"

namespace corvane {

class MQuorlithAudioEffectPlugin : public MAudioEffectPluginToAudioPluginAdapter {
public:
    // Guarded: false (with nothing half-built left running) when the effect cannot be loaded.
    bool Initialize(const std::string& product, const std::string& vendor, MPluginInterfaceFunction effectInterface,
                    int32_t first = 700, int32_t second = 100);

    void SetOwnProductName(std::string name) { ownProductName_ = std::move(name); }
    const std::string& OwnProductName() const { return ownProductName_; }
    // A pair of numbers the VST 2.4 entry hands over; kept, not read.
    int32_t entryPair[2] = {0, 0};

private:
    std::string ownProductName_;
};

}  // namespace corvane

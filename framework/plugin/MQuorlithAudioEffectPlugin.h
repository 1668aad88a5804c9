#pragma once
// The maker's framework plug-in: what every effect of ours shares on top of
// the effect adapter (editor and settings windows arrive later).

#include <cstdint>
#include <string>

#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"

namespace corvane {

class MQuorlithAudioEffectPlugin : public MAudioEffectPluginToAudioPluginAdapter {
public:
    ~MQuorlithAudioEffectPlugin() override { StopBackgroundWork(); }

    // Guarded: false (with nothing half-built left running) when the effect cannot be loaded.
    bool Initialize(const std::string& product, const std::string& vendor, MPluginInterfaceFunction effectInterface,
                    int32_t first = 700, int32_t second = 100);

    // "upsampling", "hqupsampling", "AGC", the state slots, then the adapter's state.
    void Store(MStoreContext& context) override;

    static constexpr int32_t SlotCount = 8;
    int32_t PresetIndex() const { return presetIndex_; }
    const MXMLItem& Slot(int32_t index) const { return slots_[index]; }

    void SetOwnProductName(std::string name) { ownProductName_ = std::move(name); }
    const std::string& OwnProductName() const { return ownProductName_; }
    // A pair of numbers the VST 2.4 entry hands over; kept, not read.
    int32_t entryPair[2] = {0, 0};

protected:
    // The state and every slot are stored together: each may take one part
    // of what the reader accepts, so whatever was accepted stores again.
    bool FitsWhenStoredAgain(const MXMLItem& root) const override;

private:
    // The initial state goes into slot 0 and from there into the others.
    void InitialiseSlots();

    std::string ownProductName_;
    MXMLItem slots_[SlotCount];
    int32_t presetIndex_ = 0;
    int32_t previousPresetIndex_ = 0;
};

}  // namespace corvane

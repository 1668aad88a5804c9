#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

#include <algorithm>

#include "framework/core/ExceptionGuard.h"

namespace corvane {

bool MQuorlithAudioEffectPlugin::Initialize(const std::string& product, const std::string& vendor,
                                            MPluginInterfaceFunction effectInterface, int32_t first, int32_t second) {
    return Guarded("MQuorlithAudioEffectPlugin::Initialize", false, [&] {
        entryPair[0] = first;
        entryPair[1] = second;
        const bool loaded = Guarded("MAudioEffectPluginToAudioPluginAdapter::Initialize", false, [&] {
            MAudioEffectPluginToAudioPluginAdapter::Initialize(product, vendor, effectInterface);
            InitialiseSlots();
            return true;
        });
        return loaded;
    });
}

void MQuorlithAudioEffectPlugin::InitialiseSlots() {
    presetIndex_ = previousPresetIndex_ = 0;
    slots_[0] = MXMLItem("Preset0");
    MStoreContext context(true, slots_[0]);
    StoreSettings(context);
    for (int32_t i = 1; i < SlotCount; ++i) {
        slots_[i] = slots_[0];
        slots_[i].SetName("Preset" + std::to_string(i));
    }
}

bool MQuorlithAudioEffectPlugin::FitsWhenStoredAgain(const MXMLItem& root) const {
    constexpr size_t Parts = SlotCount + 1;  // the slots and what surrounds them, with room to spare
    MXMLItem::Cost rest = root.Measure();
    for (size_t i = 0; i < root.SubItemCount(); ++i) {
        const MXMLItem& child = root.SubItem(i);
        if (child.Name().compare(0, 6, "Preset") != 0) continue;
        const MXMLItem::Cost slot = child.Measure();
        if (!slot.Within(Parts)) return false;
        rest.elements -= slot.elements;
        rest.attributes -= slot.attributes;
        rest.bytes -= slot.bytes;
    }
    return rest.Within(Parts);
}

void MQuorlithAudioEffectPlugin::Store(MStoreContext& context) {
    GuardedVoid("MQuorlithAudioEffectPlugin::Store", [&] {
        const int32_t upsamplingBefore = Upsampling(), modeBefore = ChannelMode();
        const bool hqBefore = HighQualityUpsampling();
        int32_t upsampling = upsamplingBefore;
        context.Integer("upsampling", upsampling, StorePolicy::AlwaysWritten);
        bool hq = hqBefore;
        context.BooleanWithLoadDefault("hqupsampling", hq, true);
        bool agc = LoadRelaxed(agcDescriptor_.boolValue) != 0;
        context.Boolean("AGC", agc, StorePolicy::AlwaysWritten);
        context.Integer("PresetIndex", presetIndex_, StorePolicy::AlwaysWritten);
        if (!context.storing) {
            StoreRelaxed(agcDescriptor_.boolValue, static_cast<uint8_t>(agc ? 1 : 0));
            presetIndex_ = presetIndex_ < 0 || presetIndex_ >= SlotCount ? 0 : presetIndex_;
        }
        previousPresetIndex_ = presetIndex_;
        for (int32_t i = 0; i < SlotCount; ++i) {
            if (i == presetIndex_) continue;
            const std::string name = "Preset" + std::to_string(i);
            if (context.storing) {
                MXMLItem& copy = context.item.GetOrAddSubItem(name);
                copy.Copy(slots_[i]);
                copy.SetName(name);
            } else if (const MXMLItem* stored = context.item.FindSubItem(name)) {
                slots_[i].Copy(*stored);
            }
        }
        MAudioEffectPluginToAudioPluginAdapter::Store(context);
        if (context.storing) return;
        // Settings that reshape processing take effect at once.
        SetHighQualityUpsampling(hq);
        const int32_t factor = std::min(std::max(upsampling, 1), MaxUpsampling);
        if (factor != upsamplingBefore || hq != hqBefore || ChannelMode() != modeBefore)
            InitProcessingWithUpsampling(factor);
    });
}

}  // namespace corvane

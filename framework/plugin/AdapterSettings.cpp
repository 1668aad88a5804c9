// What the effect adapter stores: its own attributes, the effect's state and
// the standard settings of the framework.

#include <algorithm>
#include <optional>

#include "framework/core/ExceptionGuard.h"
#include "framework/core/MLock.h"
#include "framework/core/Strings.h"
#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"
#include "framework/plugin/MMIDIProcessor.h"
#include "framework/plugin/RegistryNames.h"
#include "framework/storage/StoredValues.h"

namespace corvane {
namespace {

const char* const StoredChannelModes[ChannelModeCount] = {
    "Left + Right", "Left", "Right", "Mono", "Stereo", "Mono + Stereo", "Left + Right (neg)", "Surround"};

void SurroundMask(MStoreContext& context, uint8_t (&mask)[8]) {
    if (context.storing) {
        std::string text;
        for (uint8_t flag : mask) text += flag ? '1' : '0';
        context.item.SetAttribute("SurroundChannelsEnable", text);
        return;
    }
    if (const std::string* text = context.item.FindAttribute("SurroundChannelsEnable"))
        for (size_t c = 0; c < text->size() && c < 8; ++c) mask[c] = (*text)[c] != '0';
}

}  // namespace

void MAudioEffectPluginToAudioPluginAdapter::Store(MStoreContext& context) {
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::Store", [&] {
        if (context.storing) {
            int32_t version = FrameworkVersion;
            context.Integer("Version", version, StorePolicy::AlwaysWritten);
        } else {
            context.IntegerWithLoadDefault("Version", version_, 328448);
        }
        int32_t mode = ChannelMode();
        context.Enumeration("ChannelMode", mode, StoredChannelModes, ChannelModeCount);
        if (mode == ChannelSurround) SurroundMask(context, surroundMask_);
        if (!context.storing) {
            if (context.item.FindAttribute("EnableSurroundProcessing") != nullptr)
                mode =
                    LoadInteger(context.item, "EnableSurroundProcessing", 0) != 0 ? ChannelSurround : ChannelLeftRight;
            if (mode == ChannelSurround && HostChannels() < 3) mode = ChannelLeftRight;
            SetChannelMode(mode);
        }
        context.Boolean("ControllersEnabled", midi_.controllersEnabled, StorePolicy::DefaultElided, false);
        context.Boolean("NoteControllersEnabled", midi_.noteControllersEnabled, StorePolicy::DefaultElided, false);
        if (MXMLItem* element = context.Child("PreviousNextPresetController")) {
            PresetSwitchTrigger& trigger = midi_.presetSwitch;
            MStoreContext child(context.storing, *element);
            child.Boolean("Enabled", trigger.enabled, StorePolicy::DefaultElided, false);
            child.Integer("Controller", trigger.controller, StorePolicy::DefaultElided, 0);
            child.Integer("Channel", trigger.channel, StorePolicy::DefaultElided, 0);
            if (!context.storing) {
                trigger.controller = std::min(std::max(trigger.controller, 0), SourceCount - 1);
                trigger.channel = std::min(std::max(trigger.channel, 0), 16);
            }
        } else {
            midi_.presetSwitch = PresetSwitchTrigger();  // a state from before the switch: none
        }
        bool bypass = LoadRelaxed(bypassDescriptor_.boolValue) != 0;
        context.Boolean("Bypass", bypass, StorePolicy::DefaultElided, false);
        StoreRelaxed(bypassDescriptor_.boolValue, static_cast<uint8_t>(bypass ? 1 : 0));  // the audio thread reads it
        int32_t maxLFOBlockSize = maxLFOBlockSize_.Load();
        context.Integer("MaxLFOBlockSize", maxLFOBlockSize, StorePolicy::DefaultElided, 256);
        maxLFOBlockSize_.Store(
            std::min(std::max(maxLFOBlockSize, 1), 1 << 16));  // a broken state cannot stall the pipeline
        StoreSettings(context);
    });
}

void MAudioEffectPluginToAudioPluginAdapter::StoreSettings(MStoreContext& context) {
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::StoreSettings", [&] {
        {
            // Storing reads atomically written values and the effect's extra
            // data under the effect's own lock: a save never costs a block.
            std::optional<ExclusiveAccess> exclusive;
            if (!context.storing) exclusive.emplace(*this);
            if (host_ != nullptr) {
                MPluginArguments arguments;
                arguments.SetPointer(0, &context.item);
                host_->Send(context.storing ? PluginCommand::Store : PluginCommand::Load, arguments);
            }
            StoreStandardSettings(context);
            if (!context.storing) {
                settingsLoaded_ = true;
                ParameterValuesReplaced();
            }
        }
        MAudioPlugin::Store(context);
        if (!context.storing)
            GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::ActualiseAfterLoading",
                        [&] { ActualiseAfterLoading(); });
    });
}

void MAudioEffectPluginToAudioPluginAdapter::StoreStandardSettings(MStoreContext& context) {
    GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::StoreStandardSettings", [&] {
        GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::StoreLFO", [&] { StoreLFO(context); });
        GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::StoreControllers", [&] { StoreControllers(context); });
        GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::StoreMultiParameters",
                    [&] { StoreMultiParameters(context); });
        GuardedVoid("MAudioEffectPluginToAudioPluginAdapter::StoreActivePresets", [&] { StoreActivePresets(context); });
        int32_t currentPreset = presets_ != nullptr ? presets_->CurrentIndex() : 0;
        context.Integer("CurrentPresetIndex", currentPreset, StorePolicy::AlwaysWritten);
        if (presets_ != nullptr) presets_->SetCurrentIndex(currentPreset);
    });
}

void MAudioEffectPluginToAudioPluginAdapter::StoreControllers(MStoreContext& context) {
    RegistryNames names(registry_);
    midi_.Store(context, names);
}

void MAudioEffectPluginToAudioPluginAdapter::StoreActivePresets(MStoreContext& context) {
    MXMLItem* element = context.Child("ActivePreset");
    if (element == nullptr) {
        activePresetEdit_ = true;  // a state without the element opens the slots for editing
        return;
    }
    MStoreContext child(context.storing, *element);
    child.Boolean("Edit", activePresetEdit_, StorePolicy::DefaultElided, false);
    child.Integer("CurrentActivePreset", currentActivePreset_, StorePolicy::DefaultElided, 0);
}

}  // namespace corvane

#include "framework/plugin/ChannelMode.h"

#include <algorithm>

namespace corvane {

const ChannelModeInfo& ChannelModeInfoFor(int32_t mode) {
    static const ChannelModeInfo modes[ChannelModeCount] = {
        {"Left + Right", "Default setting for stereo (or mono) processing.", 2, 2, false, false},
        {"Left", "Processes the left channel only.", 1, 2, false, false},
        {"Right", "Processes the right channel only.", 1, 2, false, false},
        {"Mid", "Processes mono content.", 1, 2, true, true},
        {"Side", "Processes stereo content.", 1, 2, true, true},
        {"Mid + Side", "Processes mono & stereo contents separately.", 2, 2, true, true},
        {"Left + Right (neg)", "Processes both channels, but inverts the right one.", 2, 2, false, true},
        {"Surround", "Surround processing of up to 8 channels.", 8, 8, false, false},
    };
    return modes[(mode >= 0 && mode < ChannelModeCount) ? mode : 0];
}

ChannelCounts ComputeChannelCounts(int32_t mode, int32_t hostInputs, int32_t hostOutputs, bool hasInputs,
                                   int32_t surroundChannels) {
    const ChannelModeInfo& info = ChannelModeInfoFor(mode);
    int32_t effectLimit = info.effectLimit;
    if (mode == ChannelSurround) effectLimit = std::min(effectLimit, surroundChannels);
    const int32_t h = std::max(hasInputs ? hostInputs : 0, hostOutputs);
    ChannelCounts counts;
    counts.hostInputs = hasInputs ? std::min(hostInputs, info.hostLimit) : 0;
    counts.hostOutputs = std::min(hostOutputs, info.hostLimit);
    if (info.fixedCount)
        counts.effect = counts.hostInputs == 2 ? effectLimit : h;
    else
        counts.effect = std::min(h, effectLimit);
    counts.working = std::max(counts.hostInputs, counts.hostOutputs);
    return counts;
}

}  // namespace corvane

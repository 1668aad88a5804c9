#pragma once
// Channel modes: which of the host's channels reach the effect, and how
// (left/right, mid/side, surround selection).

#include <cstdint>

namespace corvane {

enum ChannelModeValue : int32_t {
    ChannelLeftRight = 0,
    ChannelLeft = 1,
    ChannelRight = 2,
    ChannelMid = 3,
    ChannelSide = 4,
    ChannelMidSide = 5,
    ChannelLeftRightNegative = 6,
    ChannelSurround = 7,
    ChannelModeCount = 8
};

struct ChannelModeInfo {
    const char* name;
    const char* help;
    int32_t effectLimit;  // E
    int32_t hostLimit;    // H
    bool midSide;
    bool fixedCount;
};

const ChannelModeInfo& ChannelModeInfoFor(int32_t mode);

struct ChannelCounts {
    int32_t hostInputs = 0;
    int32_t hostOutputs = 0;
    int32_t effect = 0;
    int32_t working = 0;
};

// The host's declared input and output channel counts; surroundChannels: set
// flags of the surround mask. The effect gets as many channels as the wider
// side, so that a mono input still fills a stereo output.
ChannelCounts ComputeChannelCounts(int32_t mode, int32_t hostInputs, int32_t hostOutputs, bool hasInputs,
                                   int32_t surroundChannels);

}  // namespace corvane

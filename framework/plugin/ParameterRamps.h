#pragma once
// Linear ramps of interpolated parameters across a host block, in sub-block
// steps, so that automation does not step.

#include <cstdint>
#include <vector>

#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

class ParameterRamps {
public:
    struct Item {
        MAudioPluginAutomationAdapter* adapter;
        int32_t local;
        int32_t index;
        double start, target, current, step;
        bool active, ramping;
        double written;     // what the ramp last wrote, as the adapter reads it back
        int32_t remaining;  // samples left in the block
    };

    // One item per interpolated parameter of the registry.
    void Build(MParameterRegistry& registry);

    // Reports whether anything ramps over the next n samples.
    bool Prepare(MParameterRegistry& registry, int32_t n);
    void Advance(int32_t samples);
    void Finish();

    // After values were replaced at once: the next block jumps.
    void RequestReset() { reset_ = true; }
    bool ResetPending() const { return reset_; }
    const std::vector<Item>& Items() const { return items_; }

private:
    void Write(Item& item, double value);
    // A write that arrived during the ramp retargets it over the samples left.
    void FollowNewTarget(Item& item);

    std::vector<Item> items_;
    bool reset_ = true;
};

}  // namespace corvane

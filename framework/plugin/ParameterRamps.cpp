#include "framework/plugin/ParameterRamps.h"

#include <cmath>

namespace corvane {

void ParameterRamps::Build(MParameterRegistry& registry) {
    items_.clear();
    for (int32_t index : registry.InterpolatedIndexes()) {
        const auto& entry = registry.InterpolationTable()[static_cast<size_t>(index)];
        items_.push_back(
            {entry.adapter, entry.local, index, entry.start, entry.start, entry.start, 0.0, true, false, 0.0, 0});
    }
    reset_ = true;
}

bool ParameterRamps::Prepare(MParameterRegistry& registry, int32_t n) {
    if (reset_) {
        reset_ = false;
        for (Item& item : items_) item.start = item.target = item.current = registry.GetParameter(item.index);
        return false;
    }
    bool any = false;
    for (Item& item : items_) {
        item.target = registry.GetParameter(item.index);
        item.ramping = std::fabs(item.target - item.start) > 1e-5;
        any = any || item.ramping;
    }
    if (!any || n < 2) {
        for (Item& item : items_) {
            item.start = item.target;
            item.ramping = false;
        }
        return false;
    }
    for (Item& item : items_) {
        if (!item.ramping) {
            item.start = item.target;
            continue;
        }
        item.step = (item.target - item.start) / n;
        item.current = item.start;
        item.remaining = n;
        item.adapter->SetInterpolating(item.local, true);
        Write(item, item.current);
    }
    return true;
}

void ParameterRamps::Write(Item& item, double value) {
    item.adapter->SetValue(item.local, value, true);
    item.written = item.adapter->GetLiveValue(item.local);
}

void ParameterRamps::FollowNewTarget(Item& item) {
    const double live = item.adapter->GetLiveValue(item.local);
    if (live == item.written) return;
    // Written meanwhile (host, editor, modulator): that is the new target.
    item.target = live;
    item.step = item.remaining > 0 ? (item.target - item.current) / item.remaining : 0.0;
}

void ParameterRamps::Advance(int32_t samples) {
    for (Item& item : items_) {
        if (!item.ramping) continue;
        FollowNewTarget(item);
        item.current += samples * item.step;
        item.remaining -= samples;
        Write(item, item.current);
    }
}

void ParameterRamps::Finish() {
    for (Item& item : items_) {
        if (!item.ramping) continue;
        FollowNewTarget(item);
        item.start = item.target;
        // Out of target mode first, so that the value itself takes the target.
        item.adapter->SetInterpolating(item.local, false);
        item.adapter->SetValue(item.local, item.target, true);
        item.ramping = false;
    }
}

}  // namespace corvane

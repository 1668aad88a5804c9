#include "framework/modulation/TargetList.h"

#include <algorithm>

#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

ModulationTarget::ModulationTarget() {
    shape.SetRange({0.0, 1.0, 0.0, 1.0});
    const MEnvelope::Point identity[2] = {{0.0, 0.0, 0.0, 1.0, SegmentMode1}, {1.0, 1.0, 0.0, 1.0, SegmentMode1}};
    shape.SetDefaultShape(identity, 2);
    shape.ResetToDefault();
    for (double& bank : banks) bank = 0.5;
}

TargetList::TargetList(const char* owner, const char* lastTargetMessage)
    : owner_(owner), lastTargetMessage_(lastTargetMessage) {
    targets_.push_back(std::make_unique<Target>());
}

int32_t TargetList::Count() {
    MLock hold(*lock_);
    return static_cast<int32_t>(targets_.size());
}

bool TargetList::Add() {
    if (Count() >= MaxTargets) return false;
    auto target = std::make_unique<Target>();
    MLock hold(*lock_);
    targets_.push_back(std::move(target));
    return true;
}

void TargetList::Assign(int32_t position, int32_t index, MParameterRegistry& parameters) {
    MLock hold(*lock_);
    if (position < 0 || position >= static_cast<int32_t>(targets_.size())) return;
    Target& target = *targets_[static_cast<size_t>(position)];
    target.index = index;
    target.enabled = index >= 0;
    target.backup = index >= 0 ? parameters.GetParameter(index) : -1.0;
}

bool TargetList::Remove(int32_t position, std::string& message) {
    std::unique_ptr<Target> removed;  // freed after the lock is released
    MLock hold(*lock_);
    if (targets_.size() <= 1) {
        message = lastTargetMessage_;
        return false;
    }
    if (position < 0 || position >= static_cast<int32_t>(targets_.size())) return false;
    ApplyPendingRange();
    removed = std::move(targets_[static_cast<size_t>(position)]);
    targets_.erase(targets_.begin() + position);
    PublishFirstRange();
    return true;
}

double& TargetList::RangeField(Target& target, int32_t field) {
    if (field == 1) return target.range.maxValue;
    if (field == 2) return target.range.range;
    return target.range.value;
}

double TargetList::FirstRangeField(int32_t field) const {
    if (field < 0 || field > 2) return 0.0;
    if (pendingRangeBits_.load(std::memory_order_acquire) & (1u << field)) return pendingRange_[field].Load();
    return publishedRange_[field].Load();
}

void TargetList::SetFirstRangeField(int32_t field, double value) {
    if (field < 0 || field > 2) return;
    value = value >= 0.0 ? (value > 1.0 ? 1.0 : value) : 0.0;  // not-a-number becomes 0
    MAudioSafeLock hold(*lock_);
    if (!hold.Held()) {
        pendingRange_[field].Store(value);
        pendingRangeBits_.fetch_or(1u << field, std::memory_order_release);
        return;
    }
    ApplyPendingRange();
    RangeField(*targets_.front(), field) = value;
    publishedRange_[field].Store(value);
}

void TargetList::ApplyPendingRange() {
    uint32_t bits = pendingRangeBits_.exchange(0, std::memory_order_acquire);
    for (int32_t field = 0; bits != 0; ++field, bits >>= 1)
        if (bits & 1u) {
            RangeField(*targets_.front(), field) = pendingRange_[field].Load();
            publishedRange_[field].Store(pendingRange_[field].Load());
        }
}

void TargetList::PublishFirstRange() {
    for (int32_t field = 0; field < 3; ++field) publishedRange_[field].Store(RangeField(*targets_.front(), field));
}

bool TargetList::InUse() {
    MLock hold(*lock_);
    return targets_.size() >= 2 || (targets_.size() == 1 && targets_.front()->enabled);
}

void TargetList::Reset() {
    std::vector<std::unique_ptr<Target>> fresh;
    fresh.push_back(std::make_unique<Target>());
    MLock hold(*lock_);
    pendingRangeBits_.store(0);
    targets_.swap(fresh);
    PublishFirstRange();
}

void TargetList::CopyTo(std::vector<StoredTarget>& copy) {
    for (;;) {
        copy.resize(static_cast<size_t>(Count()));
        MLock hold(*lock_);
        if (copy.size() != targets_.size()) continue;  // edited meanwhile: size again
        for (size_t i = 0; i < copy.size(); ++i) {
            const Target& target = *targets_[i];
            StoredTarget& stored = copy[i];
            stored.index = target.index;
            stored.range = target.range;
            stored.invert = target.invert;
            stored.useFirstRange = target.useFirstRange;
            stored.enabled = target.enabled;
            stored.shapeEnabled = target.shapeEnabled;
            stored.interpolate = target.interpolate;
            stored.shape = targets_[i]->shape.CopyShape();
            stored.backup = target.backup;
            std::copy(target.banks, target.banks + Target::MaxBanks, stored.banks);
        }
        return;
    }
}

void TargetList::CopyIndexes(std::vector<int32_t>& indexes) {
    for (;;) {
        indexes.resize(static_cast<size_t>(Count()));
        MLock hold(*lock_);
        if (indexes.size() != targets_.size()) continue;
        for (size_t i = 0; i < indexes.size(); ++i) indexes[i] = targets_[i]->index;
        return;
    }
}

void TargetList::Restore(MParameterRegistry& parameters) {
    ForEach([&](Target& target) {
        if (target.index >= 0 && target.backup >= 0.0) parameters.SetParameter(target.index, target.backup, false);
    });
}

void TargetList::Remember(MParameterRegistry& parameters) {
    ForEach([&](Target& target) {
        if (target.index >= 0) target.backup = parameters.GetParameter(target.index);
    });
}

void TargetList::AdoptLoaded(MParameterRegistry& parameters) {
    ForEach([&](Target& target) {
        if (target.index >= 0 && target.backup < 0.0) target.backup = parameters.GetParameter(target.index);
    });
}

}  // namespace corvane

#pragma once
// The parameters a modulator or a multiparameter moves: an ordered list of
// target entries, each with its range mapping, response curve and (for a
// multiparameter's banks) stored values. The audio thread walks the list
// under its lock, only tried: when another thread holds it, the targets keep
// their values for that sub-block. Edits take the same lock, and never
// allocate or free inside it; a save copies the list out under it.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/MLock.h"
#include "framework/core/Shared.h"
#include "framework/modulation/MEnvelope.h"
#include "framework/modulation/ModulatorLaws.h"

namespace corvane {

class MParameterRegistry;
class MStoreContext;

struct ModulationTarget {
    static constexpr int32_t MaxBanks = 64;

    int32_t index = -1;  // global parameter index
    TargetRange range;
    bool invert = false;
    bool useFirstRange = false;
    bool enabled = false;  // set when a parameter is assigned
    bool shapeEnabled = false;
    MEnvelopeGraph shape;  // maps 0 .. 1 to 0 .. 1; the identity by default
    double backup = -1.0;  // the value before modulation, restored on disable
    // A multiparameter's banks: the target's value in each, and whether
    // values between two banks blend.
    double banks[MaxBanks];
    bool interpolate = false;
    ModulationTarget();
};

class TargetList {
public:
    using Target = ModulationTarget;
    // More targets than a plug-in has parameters mean nothing; a state that
    // lists more is cut here rather than filling memory.
    static constexpr int32_t MaxTargets = 1024;

    // Turns a target's parameter index into the name it is stored under and back.
    struct ParameterNames {
        virtual ~ParameterNames() = default;
        virtual std::string NameOf(int32_t index) = 0;
        virtual int32_t IndexOf(const std::string& name) = 0;  // -1 when unknown
    };

    // `owner` names the kind in messages ("modulator", "multiparameter").
    TargetList(const char* owner, const char* lastTargetMessage);

    int32_t Count();
    Target& At(int32_t position) { return *targets_.at(static_cast<size_t>(position)); }
    Target& First() { return *targets_.front(); }
    // The range a target maps through: the first target's when it says so.
    const TargetRange& RangeOf(const Target& target) const {
        return target.useFirstRange && &target != targets_.front().get() ? targets_.front()->range : target.range;
    }
    // False at MaxTargets.
    bool Add();
    // Points a target at a parameter and enables it; its value now is the one restored later.
    void Assign(int32_t position, int32_t index, MParameterRegistry& parameters);
    // False with the last-target message when it is the last one.
    bool Remove(int32_t position, std::string& message);
    MMutex& Lock() { return *lock_; }
    // Shares the owner's lock instead of the list's own (before any use).
    void UseLock(MMutex& lock) { lock_ = &lock; }
    // In use: worth a place in the stored state.
    bool InUse();
    // A single new target.
    void Reset();

    // Walks the targets under the lock; false (and no visit) when the audio
    // thread found the lock busy.
    template <class Visit>
    bool ForEach(Visit&& visit) {
        MAudioSafeLock hold(*lock_);
        if (!hold.Held()) return false;
        ApplyPendingRange();
        for (const std::unique_ptr<Target>& target : targets_) visit(*target);
        return true;
    }

    // [any thread] The first target's range as host parameters: "Value",
    // "MaxValue" and "Range" (field 0 .. 2), 0 .. 1. Read without the lock;
    // a write that finds the lock busy on the audio thread is applied by its
    // next holder.
    double FirstRangeField(int32_t field) const;
    void SetFirstRangeField(int32_t field, double value);

    // A target as it is stored, copied out under the lock.
    struct StoredTarget {
        int32_t index = -1;
        TargetRange range;
        bool invert = false, useFirstRange = false, enabled = false, shapeEnabled = false, interpolate = false;
        MEnvelope::Shape shape;
        double backup = -1.0;
        double banks[ModulationTarget::MaxBanks];
    };
    // Sizes `copy` outside the lock, then fills it under it.
    void CopyTo(std::vector<StoredTarget>& copy);
    // The targets' parameter indexes, the same way.
    void CopyIndexes(std::vector<int32_t>& indexes);

    // Puts back the values the targets had before modulation.
    void Restore(MParameterRegistry& parameters);
    // Reads each target's current value as its value before modulation.
    void Remember(MParameterRegistry& parameters);
    // After a load: targets without a stored value before modulation read it now.
    void AdoptLoaded(MParameterRegistry& parameters);

    // One "Parameter" element per target; `bankCount` banks are stored with
    // each (0 for a modulator). Loading rebuilds the list from every
    // "Parameter" element, or keeps the single default target without one.
    void Store(MStoreContext& context, ParameterNames& names, int32_t bankCount = 0);

private:
    // Under the lock.
    void ApplyPendingRange();
    void PublishFirstRange();
    static double& RangeField(Target& target, int32_t field);

    const char* owner_;
    const char* lastTargetMessage_;
    std::vector<std::unique_ptr<Target>> targets_;
    MMutex ownLock_;
    MMutex* lock_ = &ownLock_;
    Shared<double> publishedRange_[3] = {0.5, 1.0, 1.0};
    Shared<double> pendingRange_[3];
    std::atomic<uint32_t> pendingRangeBits_{0};
};

}  // namespace corvane

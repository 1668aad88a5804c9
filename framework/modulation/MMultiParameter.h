#pragma once
// One multiparameter: a host-automatable value that, whenever it changes,
// moves a list of target parameters through their ranges and curves, or
// blends between banks of stored target values. In Switch and Trigger
// modes a button sets a position travelling between 0 and 1 in the switch
// time, and that position drives the targets instead.
// Apply runs on whichever thread changes the value, serialised by the
// owner's modulation lock; the switch travel runs on the audio thread.

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/modulation/TargetList.h"
#include "framework/parameters/ParameterDescriptor.h"
#include "platform/MMutex.h"

namespace corvane {

class MParameterRegistry;
class MStoreContext;

enum MMultiParameterMode : int32_t {
    MultiParameterNormal,
    MultiParameterSwitch,
    MultiParameterTrigger,
    MultiParameterBanks
};
extern const char* const MultiParameterModeNames[4];
enum MMultiParameterValueMode : int32_t { ValueInPercents, ValueByFirstParameter };
extern const char* const MultiParameterValueModeNames[2];

class MMultiParameter {
public:
    static constexpr int32_t MaxBanks = ModulationTarget::MaxBanks;
    static constexpr const char* LastTargetMessage = "There must be at least one parameter for each multiparameter.";

    // `number` from 1: the host sees "MultiParameter " + number.
    explicit MMultiParameter(int32_t number = 1);

    // Serialises applications, loads and target edits with the owner's
    // other modulation objects.
    void UseLock(MMutex& lock);
    MMutex& Lock() { return *lock_; }

    // The settings; written by the editor or a load under the lock.
    std::string name, group, info;
    bool enabled = false;
    int32_t mode = MultiParameterNormal;
    int32_t valueMode = ValueInPercents;
    double switchTime = 1.0;  // seconds from 0 to 1 in Switch and Trigger modes
    int32_t bankCount = 4;
    // While its editor edits it, changes move nothing.
    std::atomic<bool> suspended{false};

    // A name starting with "*" keeps the multiparameter out of sight.
    bool Hidden() const { return !name.empty() && name[0] == '*'; }
    bool Named() const { return !name.empty(); }

    ParameterDescriptor& ValueDescriptor() { return value_; }
    double Value() const;  // 0 .. 1 [any]
    TargetList& Targets() { return targets_; }
    bool InUse() { return targets_.InUse(); }

    // Moves every enabled target for the driving value; with
    // `sendAutomation` hosts also hear the value. Throws "Could not
    // acquire mutex." when the lock cannot be had.
    void Apply(MParameterRegistry& parameters, bool sendAutomation);
    // The value a target gets at driving value x.
    double TargetValueAt(ModulationTarget& target, double x);
    // For the "By first parameter" display: the first target and the value
    // it would get at x; false in "Percents" or without an assigned first target.
    bool ShownTargetValue(double x, int32_t& index, double& value);
    // Stores the targets' current values as bank `bank`.
    void CaptureBank(int32_t bank, MParameterRegistry& parameters);

    // Switch and Trigger: the button, and once per block the host value
    // read as the button (0.5 the threshold) and the travel of the block.
    void Press();
    void Step(int32_t samples, double sampleRate, MParameterRegistry& parameters);
    double SwitchPosition() const { return position_.load(std::memory_order_relaxed); }
    bool Moving() const { return direction_.load(std::memory_order_relaxed) != 0; }
    // Switch mode's button: on while resting at 0.5 or above, or moving up.
    bool ButtonOn() const;

    // [main-thread] Two-way storage into the multiparameter's element;
    // loading replaces name, mode, banks and targets.
    void Store(MStoreContext& context, TargetList::ParameterNames& names);
    void ResetToDefaults();

private:
    bool Travelling() const { return mode == MultiParameterSwitch || mode == MultiParameterTrigger; }
    void PressLocked();
    // Switch mode: the value shows the button, and hosts hear it.
    void ShowButton();

    ParameterDescriptor value_;
    TargetList targets_{"multiparameter", LastTargetMessage};
    MMutex ownLock_;
    MMutex* lock_ = &ownLock_;
    bool busy_ = false;  // set while applying: a target that leads back here does nothing
    // The travel; changed under the lock, read for display without it.
    std::atomic<double> position_{0.0};
    std::atomic<int32_t> direction_{0};  // +1 up, -1 down, 0 resting
    bool hostButton_ = true;             // the host value's side of 0.5 at the last block
};

}  // namespace corvane

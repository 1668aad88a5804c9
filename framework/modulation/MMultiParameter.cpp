#include "framework/modulation/MMultiParameter.h"

#include <algorithm>
#include <cmath>

#include "framework/core/MLock.h"
#include "framework/parameters/DisplayCallbacks.h"
#include "framework/parameters/MParameterRegistry.h"
#include "framework/parameters/ParameterMapping.h"
#include "framework/parameters/ParameterRows.h"

namespace corvane {

const char* const MultiParameterModeNames[4] = {"Normal", "Switch", "Trigger", "Banks"};
const char* const MultiParameterValueModeNames[2] = {"Percents", "By first parameter"};

namespace {

double Unit(double x) { return std::isfinite(x) ? std::min(std::max(x, 0.0), 1.0) : 0.0; }

}  // namespace

MMultiParameter::MMultiParameter(int32_t number) {
    const std::string label = "MultiParameter " + std::to_string(number);
    const std::string identifier = "MultiParameter" + std::to_string(number);
    const ParameterRow row{
        identifier.c_str(), label.c_str(), "",   ParameterKindFloat, 0, 1, 0.5, DisplayCallbacks::Percent, "",
        CurveLinear,        false,         false};
    DeclareRow(row, value_);
    value_.adapterFlags = AdapterFlags::FrameworkParameter;
}

void MMultiParameter::UseLock(MMutex& lock) {
    lock_ = &lock;
    targets_.UseLock(lock);
}

double MMultiParameter::Value() const { return LoadRelaxed(value_.floatValues.value); }

bool MMultiParameter::ButtonOn() const {
    const int32_t direction = direction_.load(std::memory_order_relaxed);
    return direction > 0 || (direction == 0 && SwitchPosition() >= 0.5);
}

double MMultiParameter::TargetValueAt(ModulationTarget& target, double x) {
    x = Unit(x);
    if (mode == MultiParameterBanks) {
        const int32_t banks = std::min(std::max(bankCount, 1), MaxBanks);
        const double p = x * (banks - 1);
        const int32_t i = std::min(static_cast<int32_t>(p), banks - 1);
        if (!target.interpolate) return target.banks[std::min(static_cast<int32_t>(std::floor(p + 0.5)), banks - 1)];
        if (i == banks - 1) return target.banks[i];
        const double f = p - i;
        return (1.0 - f) * target.banks[i] + f * target.banks[i + 1];
    }
    const double y = target.shapeEnabled ? target.shape.Value(x) : x;
    return MapToTarget(targets_.RangeOf(target), 2.0 * y - 1.0, target.invert);
}

void MMultiParameter::Apply(MParameterRegistry& parameters, bool sendAutomation) {
    if (suspended.load(std::memory_order_relaxed)) return;
    // On the audio thread a busy lock leaves the targets as they are until the next sub-block.
    MAudioSafeLock hold(*lock_);
    if (!hold.Held() || busy_) return;
    busy_ = true;
    struct Release {
        bool& busy;
        ~Release() { busy = false; }
    } release{busy_};
    const double x = Travelling() ? SwitchPosition() : Value();
    targets_.ForEach([&](ModulationTarget& target) {
        if (target.enabled && target.index >= 0) parameters.SetParameter(target.index, TargetValueAt(target, x), false);
    });
    if (sendAutomation && value_.adapter != nullptr) value_.adapter->SendAllAutomation();
}

bool MMultiParameter::ShownTargetValue(double x, int32_t& index, double& value) {
    MLock hold(*lock_);
    ModulationTarget& first = targets_.First();
    if (valueMode != ValueByFirstParameter || !first.enabled || first.index < 0) return false;
    index = first.index;
    value = TargetValueAt(first, x);
    return true;
}

void MMultiParameter::CaptureBank(int32_t bank, MParameterRegistry& parameters) {
    if (bank < 0 || bank >= MaxBanks) return;
    targets_.ForEach([&](ModulationTarget& target) {
        if (target.index >= 0) target.banks[bank] = parameters.GetParameter(target.index);
    });
}

void MMultiParameter::Press() {
    MLock hold(*lock_);
    PressLocked();
}

void MMultiParameter::PressLocked() {
    const int32_t direction = direction_.load(std::memory_order_relaxed);
    if (direction == 0)
        direction_.store(SwitchPosition() < 0.5 ? 1 : -1, std::memory_order_relaxed);
    else if (mode == MultiParameterSwitch)
        direction_.store(-direction, std::memory_order_relaxed);
    else if (direction < 0)
        direction_.store(1, std::memory_order_relaxed);
    if (mode == MultiParameterSwitch) ShowButton();
}

void MMultiParameter::ShowButton() {
    hostButton_ = ButtonOn();
    ParameterMapping::SetNormalized(value_, hostButton_ ? 1.0 : 0.0);
    if (value_.adapter != nullptr) value_.adapter->SendAllAutomation();
}

void MMultiParameter::Step(int32_t samples, double sampleRate, MParameterRegistry& parameters) {
    // The mode changes only while processing is held off: read without the lock.
    if (!Travelling()) return;
    {
        MAudioSafeLock hold(*lock_);
        if (!hold.Held()) return;
        // A host moving the value across 0.5 presses the button: a switch
        // when the value now disagrees with it, a trigger on the way up.
        const bool hostButton = Value() >= 0.5;
        if (hostButton != hostButton_) {
            hostButton_ = hostButton;
            if (mode == MultiParameterSwitch ? hostButton != ButtonOn() : hostButton) PressLocked();
        }
        const int32_t direction = direction_.load(std::memory_order_relaxed);
        if (direction == 0) return;
        const double span = switchTime * sampleRate;
        double position = SwitchPosition() + (span > 0.0 ? direction * samples / span : direction * 2.0);
        if (position <= 0.0) {
            position = 0.0;
            direction_.store(0, std::memory_order_relaxed);
        } else if (position >= 1.0) {
            position = 1.0;
            direction_.store(mode == MultiParameterTrigger ? -1 : 0, std::memory_order_relaxed);
        }
        position_.store(position, std::memory_order_relaxed);
    }
    Apply(parameters, false);
}

void MMultiParameter::ResetToDefaults() {
    MLock hold(*lock_);
    name.clear();
    group.clear();
    info.clear();
    enabled = false;
    mode = MultiParameterNormal;
    valueMode = ValueInPercents;
    switchTime = 1.0;
    bankCount = 4;
    value_.floatValues.defaultValue = 0.5;
    ParameterMapping::SetNormalized(value_, 0.5);
    position_.store(0.0, std::memory_order_relaxed);
    direction_.store(0, std::memory_order_relaxed);
    hostButton_ = true;  // the value rests at 0.5
    targets_.Reset();
}

}  // namespace corvane

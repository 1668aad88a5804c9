// A multiparameter's stored form: its texts, switches and value as
// attributes, then one "Parameter" element per target, each with its banks.
// Loading starts from a new multiparameter's state under the modulation
// lock, so an application never sees half a load.

#include <algorithm>
#include <cmath>

#include "framework/core/MLock.h"
#include "framework/modulation/MMultiParameter.h"
#include "framework/parameters/ParameterMapping.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

void MMultiParameter::Store(MStoreContext& context, TargetList::ParameterNames& names) {
    if (!context.storing) ResetToDefaults();
    MLock hold(*lock_);
    context.Text("Name", name);
    context.Text("Group", group);
    context.Text("Info", info);
    context.Boolean("Enabled", enabled, StorePolicy::DefaultElided, false);
    context.Enumeration("Mode", mode, MultiParameterModeNames, 4);
    context.Enumeration("ValueMode", valueMode, MultiParameterValueModeNames, 2);
    context.Real("SwitchTime", switchTime, StorePolicy::DefaultElided, 1.0);
    // Missing or unreadable on load: the multiparameter's default value.
    double value = context.storing ? Value() : std::nan("");
    context.Real("Value", value, StorePolicy::AlwaysWritten);
    double defaultValue = value_.floatValues.defaultValue;
    context.Real("DefaultValue", defaultValue, StorePolicy::DefaultElided, 0.5);
    context.Integer("BankCount", bankCount, StorePolicy::DefaultElided, 4);
    if (!context.storing) {
        if (!std::isfinite(switchTime) || switchTime < 0.0) switchTime = 1.0;
        bankCount = std::min(std::max(bankCount, 1), MaxBanks);
        value_.floatValues.defaultValue =
            std::isfinite(defaultValue) ? std::min(std::max(defaultValue, 0.0), 1.0) : 0.5;
        ParameterMapping::SetNormalized(value_, std::isfinite(value) ? value : value_.floatValues.defaultValue);
        // A switch comes back where its value shows it (a pressed switch
        // shows 1, one never pressed the default 0.5); a trigger at rest.
        position_.store(mode == MultiParameterSwitch && Value() > 0.5 ? 1.0 : 0.0, std::memory_order_relaxed);
        direction_.store(0, std::memory_order_relaxed);
        hostButton_ = Value() >= 0.5;
    }
    targets_.Store(context, names, bankCount);
}

}  // namespace corvane

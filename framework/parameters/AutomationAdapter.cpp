#include "framework/parameters/AutomationAdapter.h"

#include <algorithm>
#include <cmath>

#include "framework/core/ExceptionGuard.h"
#include "framework/core/MRandom.h"
#include "framework/core/Strings.h"
#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

void MAudioPluginAutomationAdapter::SetValueIfChanged(int32_t local, double value, bool silent) {
    if (std::fabs(value - GetValue(local)) >= 1e-50) SetValue(local, value, silent);
}

double MAudioPluginAutomationAdapter::ParseValueName(int32_t /*local*/, const std::string& text) {
    return ParseDouble(text);
}

bool MAudioPluginAutomationAdapter::CanParseValueName(int32_t /*local*/, const std::string& text) {
    return StartsWithNumber(text);
}

void MAudioPluginAutomationAdapter::Randomize(double amount) {
    if (!IsRandomizable()) return;
    for (int32_t local = 0; local < count; ++local) {
        if (amount < 1.0) {
            const double x = GetValue(local) + (MRandom::NextUnit() - 0.5) * 2.0 * amount;
            SetValue(local, std::min(std::max(x, 0.0), 1.0), true);
        } else {
            SetValue(local, MRandom::NextUnit(), true);
        }
    }
}

void MAudioPluginAutomationAdapter::SendAutomation(int32_t local) {
    GuardedVoid("MAudioPlugin::AutomationAdapter::SendAutomation", [&] {
        if (owner == nullptr) return;
        owner->AutomateHost(base + local, owner->Parameters().GetParameter(base + local));
    });
}

void MAudioPluginAutomationAdapter::SendAutomationValue(int32_t local, double value) {
    GuardedVoid("MAudioPlugin::AutomationAdapter::SendAutomationValue", [&] {
        if (owner != nullptr) owner->AutomateHost(base + local, value);
    });
}

void MAudioPluginAutomationAdapter::SendAutomationValueWithChange(int32_t local, double value) {
    GuardedVoid("MAudioPlugin::AutomationAdapter::SendAutomationValueWithChange", [&] {
        if (owner == nullptr) return;
        // A nudge first, so that hosts which drop repeated values still record the change.
        owner->AutomateHost(base + local, value > 1e-10 ? value - 1e-10 : value + 1e-10);
        owner->AutomateHost(base + local, value);
    });
}

void MAudioPluginAutomationAdapter::SendAllAutomation() {
    GuardedVoid("MAudioPlugin::AutomationAdapter::SendAllAutomation", [&] {
        for (int32_t local = 0; local < count; ++local) SendAutomation(local);
    });
}

}  // namespace corvane

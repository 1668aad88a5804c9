#pragma once
// The first target's "Value", "MaxValue" and "Range" as host parameters
// (through the target list, which never makes the audio thread wait); shared
// by the modulators and the multiparameters.

#include <cstdint>
#include <string>

#include "framework/modulation/TargetList.h"
#include "framework/parameters/AutomationAdapter.h"

namespace corvane {

class TargetRangeParameters : public MAudioPluginAutomationAdapter {
public:
    explicit TargetRangeParameters(TargetList& targets) : targets_(targets) { count = 3; }

    std::string GetName(int32_t local) override;
    double GetValue(int32_t local) override;
    void SetValue(int32_t local, double value, bool silent) override;
    std::string GetValueName(int32_t local) override { return GetValueNameFrom01(local, GetValue(local)); }
    std::string GetValueNameFrom01(int32_t local, double value) override;
    double GetDefaultValue(int32_t local) override { return local == 0 ? 0.5 : 1.0; }
    std::string GetIdentifier(int32_t local) override { return GetName(local); }

private:
    TargetList& targets_;
};

}  // namespace corvane

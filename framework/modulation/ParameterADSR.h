#pragma once
// Host parameters of an ADSR envelope, in MADSR's setting order.

#include <string>

#include "framework/modulation/MADSR.h"
#include "framework/modulation/ParameterEnvelope.h"
#include "framework/parameters/UnitTexts.h"

namespace corvane {

template <class Base>
class ParameterADSRT : public Base {
public:
    ParameterADSRT() { this->count = MADSR::SettingCount; }

    std::string GetName(int32_t local) override {
        return local >= 0 && local < MADSR::SettingCount ? MADSR::SettingNames[local] : std::string();
    }
    double GetValue(int32_t local) override {
        return this->object != nullptr ? MADSR::ToNormalised(local, this->object->Get(local)) : 0.0;
    }
    void SetValue(int32_t local, double value, bool silent) override {
        if (this->object == nullptr) return;
        this->object->Set(local, MADSR::FromNormalised(local, value));
        if (!silent && this->owner != nullptr) this->owner->NeedUpdateEditor(*this);
    }
    std::string GetValueName(int32_t local) override { return GetValueNameFrom01(local, GetValue(local)); }
    std::string GetValueNameFrom01(int32_t local, double value) override {
        const double physical = MADSR::FromNormalised(local, value);
        // Times in their unit; levels and shapes (-100% .. 100%) in percent.
        return local <= MADSR::Release ? TimeText(physical) : PercentText(physical);
    }
    double GetDefaultValue(int32_t local) override { return MADSR::ToNormalised(local, MADSR::DefaultValue(local)); }
};

}  // namespace corvane

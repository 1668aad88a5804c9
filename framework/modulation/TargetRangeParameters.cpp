#include "framework/modulation/TargetRangeParameters.h"

#include "framework/core/MLock.h"
#include "framework/parameters/UnitTexts.h"

namespace corvane {

namespace {

const char* const FieldNames[3] = {"Value", "MaxValue", "Range"};

double& Field(ModulationTarget& target, int32_t local) {
    if (local == 1) return target.range.maxValue;
    if (local == 2) return target.range.range;
    return target.range.value;
}

}  // namespace

std::string TargetRangeParameters::GetName(int32_t local) {
    return local >= 0 && local < 3 ? FieldNames[local] : std::string();
}

double TargetRangeParameters::GetValue(int32_t local) {
    MLock hold(targets_.Lock());
    return Field(targets_.First(), local);
}

void TargetRangeParameters::SetValue(int32_t local, double value, bool silent) {
    {
        MLock hold(targets_.Lock());
        Field(targets_.First(), local) = value >= 0.0 ? (value > 1.0 ? 1.0 : value) : 0.0;
    }
    if (!silent && owner != nullptr) owner->NeedUpdateEditor(*this);
}

std::string TargetRangeParameters::GetValueNameFrom01(int32_t /*local*/, double value) { return PercentText(value); }

}  // namespace corvane

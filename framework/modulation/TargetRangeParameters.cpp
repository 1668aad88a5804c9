#include "framework/modulation/TargetRangeParameters.h"

#include "framework/parameters/UnitTexts.h"

namespace corvane {

namespace {

const char* const FieldNames[3] = {"Value", "MaxValue", "Range"};

}  // namespace

std::string TargetRangeParameters::GetName(int32_t local) {
    return local >= 0 && local < 3 ? FieldNames[local] : std::string();
}

double TargetRangeParameters::GetValue(int32_t local) { return targets_.FirstRangeField(local); }

void TargetRangeParameters::SetValue(int32_t local, double value, bool silent) {
    targets_.SetFirstRangeField(local, value);
    if (!silent && owner != nullptr) owner->NeedUpdateEditor(*this);
}

std::string TargetRangeParameters::GetValueNameFrom01(int32_t /*local*/, double value) { return PercentText(value); }

}  // namespace corvane

#include "framework/modulation/MultiParameterParameters.h"

#include <memory>
#include <string>

#include "framework/core/ExceptionGuard.h"
#include "framework/modulation/TargetRangeParameters.h"
#include "framework/parameters/UnitTexts.h"

namespace corvane {

namespace {

// Adapter flags of the first target's range parameters.
constexpr uint64_t FirstTargetFlags = 3;

class MultiParameterValue : public ParameterFloatT<ParameterBaseCustom> {
public:
    MultiParameterValue(MMultiParameter& multi, MParameterRegistry& registry) : multi_(multi), registry_(registry) {}

    std::string GetValueName(int32_t local) override { return GetValueNameFrom01(local, GetValue(local)); }
    // "By first parameter" shows what the first target would read.
    std::string GetValueNameFrom01(int32_t /*local*/, double value) override {
        return Guarded("MMultiParameter::GetValueName", PercentText(value), [&] {
            int32_t index = -1;
            double targetValue = 0.0;
            if (multi_.ShownTargetValue(value, index, targetValue))
                return registry_.GetParameterValueNameFrom01(index, targetValue);
            return PercentText(value);
        });
    }

private:
    MMultiParameter& multi_;
    MParameterRegistry& registry_;
};

void OnValueChanged(void* target, void* argument, const ParameterBaseCustom::ChangeEvent& /*event*/) {
    auto& multi = *static_cast<MMultiParameter*>(target);
    auto& registry = *static_cast<MParameterRegistry*>(argument);
    GuardedVoid("MMultiParameter::Apply", [&] { multi.Apply(registry, false); });
}

}  // namespace

void RegisterMultiParameter(MMultiParameter& multi, MParameterRegistry& registry) {
    ParameterBaseCustom& value = registry.RegisterFrameworkDescriptor(
        multi.ValueDescriptor(), "", std::make_unique<MultiParameterValue>(multi, registry));
    value.listeners.push_back({&multi, &registry, OnValueChanged});
    auto targets = std::make_unique<TargetRangeParameters>(multi.Targets());
    targets->prefix = multi.ValueDescriptor().name;
    targets->flags = FirstTargetFlags;
    registry.RegisterAdapter(std::move(targets));
}

}  // namespace corvane

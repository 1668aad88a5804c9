#include "framework/plugin/MultiParameterBank.h"

#include <string>

#include "framework/core/ExceptionGuard.h"
#include "framework/modulation/MultiParameterParameters.h"
#include "framework/parameters/ParameterMapping.h"
#include "framework/plugin/RegistryNames.h"
#include "framework/plugin/StoredForm.h"

namespace corvane {

MultiParameterBank::MultiParameterBank()
    : multis_{MMultiParameter(1), MMultiParameter(2), MMultiParameter(3), MMultiParameter(4)} {}

void MultiParameterBank::UseLock(MMutex& lock) {
    for (MMultiParameter& multi : multis_) multi.UseLock(lock);
}

void MultiParameterBank::Register(MParameterRegistry& registry) {
    for (MMultiParameter& multi : multis_) RegisterMultiParameter(multi, registry);
}

bool MultiParameterBank::Travelling() const {
    for (const MMultiParameter& multi : multis_)
        if (multi.Moving()) return true;
    return false;
}

void MultiParameterBank::Process(int32_t count, double sampleRate, MParameterRegistry& registry) {
    for (MMultiParameter& multi : multis_)
        GuardedVoid("MMultiParameter::Step", [&] { multi.Step(count, sampleRate, registry); });
}

void MultiParameterBank::Store(MStoreContext& context, MParameterRegistry& registry) {
    RegistryNames names(registry);
    MXMLItem* element = context.Child("MultiParameters");
    for (int32_t i = 0; i < Count; ++i)
        StoreNumbered(context.storing, element, "MultiParameter" + std::to_string(i), multis_[i], names);
    if (context.storing) return;
    for (MMultiParameter& multi : multis_)
        if (multi.InUse()) GuardedVoid("MMultiParameter::Apply", [&] { multi.Apply(registry, false); });
}

void MultiParameterBank::ApplyNamed(MParameterRegistry& registry) {
    for (MMultiParameter& multi : multis_)
        if (multi.Named()) GuardedVoid("MMultiParameter::Apply", [&] { multi.Apply(registry, false); });
}

void MultiParameterBank::Randomize(double amount) {
    for (MMultiParameter& multi : multis_)
        if (multi.Named()) ParameterMapping::Randomize(multi.ValueDescriptor(), amount, true);
}

}  // namespace corvane

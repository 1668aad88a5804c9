#pragma once
// The framework plug-in's four multiparameters: their host parameters
// (after the modulators'), the switch travel once per sub-block, the
// "MultiParameters" element, random settings and the active-preset
// parameters they provide.

#include <cstdint>

#include "framework/modulation/MMultiParameter.h"
#include "framework/parameters/MParameterRegistry.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

class MultiParameterBank {
public:
    static constexpr int32_t Count = 4;

    MultiParameterBank();
    MMultiParameter& At(int32_t index) { return multis_[index]; }
    void UseLock(MMutex& lock);

    // [main-thread] In multiparameter order.
    void Register(MParameterRegistry& registry);
    // Whether a switch or trigger is travelling: the pipeline then uses short sub-blocks. [any]
    bool Travelling() const;
    // [audio-thread] Switch and Trigger buttons and travel for one sub-block.
    void Process(int32_t count, double sampleRate, MParameterRegistry& registry);

    // [main-thread] "MultiParameters" with "MultiParameter0" .. "MultiParameter3";
    // after a load every multiparameter in use moves its targets again.
    void Store(MStoreContext& context, MParameterRegistry& registry);
    // The named ones (the active-preset parameters) move their targets again.
    void ApplyNamed(MParameterRegistry& registry);
    // Every named multiparameter's value randomised by `amount` (0 .. 1).
    void Randomize(double amount);

private:
    MMultiParameter multis_[Count];
};

}  // namespace corvane

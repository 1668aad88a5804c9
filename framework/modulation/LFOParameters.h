#pragma once
// A modulator's host parameters, all named after it ("LFO 1" ...): the
// switch, the first target's travel, the frequency, the synchronisation,
// the shape, the detection source, the automated value, then the
// follower, envelope, randomizer and pitch settings.

#include <cstdint>

#include "framework/modulation/MLFO.h"
#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

// The first target's "Value", "MaxValue" and "Range", under the target lock.
class LFOTargetParameters : public MAudioPluginAutomationAdapter {
public:
    explicit LFOTargetParameters(MLFO& lfo) : lfo_(lfo) { count = 3; }

    std::string GetName(int32_t local) override;
    double GetValue(int32_t local) override;
    void SetValue(int32_t local, double value, bool silent) override;
    std::string GetValueName(int32_t local) override { return GetValueNameFrom01(local, GetValue(local)); }
    std::string GetValueNameFrom01(int32_t local, double value) override;
    double GetDefaultValue(int32_t local) override { return local == 0 ? 0.5 : 1.0; }
    std::string GetIdentifier(int32_t local) override { return GetName(local); }

private:
    double& Field(MLFO::Target& target, int32_t local);
    MLFO& lfo_;
};

// Registers the modulator numbered `number` (1 ..) in the order hosts see.
void RegisterLFOParameters(MLFO& lfo, int32_t number, MParameterRegistry& registry);

}  // namespace corvane

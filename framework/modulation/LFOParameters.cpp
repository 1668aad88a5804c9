#include "framework/modulation/LFOParameters.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "framework/modulation/TargetRangeParameters.h"

namespace corvane {

namespace {

// A frequency typed as 0 or below means nothing: it is not taken.
class FrequencyParameter : public ParameterFloatT<ParameterBaseCustom> {
public:
    bool CanParseValueName(int32_t local, const std::string& text) override {
        char* end = nullptr;
        const double typed = std::strtod(text.c_str(), &end);
        if (end != text.c_str() && !(typed > 0.0)) return false;
        return ParameterFloatT<ParameterBaseCustom>::CanParseValueName(local, text);
    }
};

// Switching a modulator off from the host counts as automation.
void OnEnabledChanged(void* target, void* argument, const ParameterBaseCustom::ChangeEvent& /*event*/) {
    static_cast<MLFO*>(target)->EnabledChanged(false, *static_cast<MParameterRegistry*>(argument));
}

}  // namespace

void RegisterLFOParameters(MLFO& lfo, int32_t number, MParameterRegistry& registry) {
    const std::string prefix = "LFO " + std::to_string(number);
    auto setting = [&](int32_t s) { registry.RegisterFrameworkDescriptor(lfo.Setting(s), prefix); };
    auto settings = [&](int32_t first, int32_t last) {
        for (int32_t s = first; s <= last; ++s) setting(s);
    };
    auto special = [&](uint32_t kind, const char* name, void* object) {
        SpecialParameterDescriptor d;
        d.kind = kind;
        d.name = name;
        d.object = object;
        d.adapterFlags = AdapterFlags::FrameworkParameter;
        registry.RegisterFrameworkSpecial(d, prefix);
    };

    ParameterBaseCustom& enabled = registry.RegisterFrameworkDescriptor(lfo.Setting(LFOEnabled), prefix);
    enabled.listeners.push_back({&lfo, &registry, OnEnabledChanged});
    auto targets = std::make_unique<TargetRangeParameters>(lfo.Targets());
    targets->prefix = prefix;
    registry.RegisterAdapter(std::move(targets));
    registry.RegisterFrameworkDescriptor(lfo.Setting(LFOFrequency), prefix, std::make_unique<FrequencyParameter>());
    settings(LFOSyncLength, LFOSyncPhase);
    special(SpecialKindSignalGenerator, "Shape", &lfo.shape);
    setting(LFOSideChain);
    setting(LFOAutomatedValue);
    settings(FollowerLFOModulation, FollowerBandPassQ);
    settings(EnvelopeLFOModulation, EnvelopeIntervalSize);
    special(SpecialKindADSR, "Envelope", &lfo.envelope);
    settings(RandomLFOModulation, RandomIntervalSize);
    settings(PitchLFOModulation, PitchAutoTuneDepth);
}

}  // namespace corvane

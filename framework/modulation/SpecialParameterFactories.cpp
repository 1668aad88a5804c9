#include "framework/modulation/SpecialParameterFactories.h"

#include "framework/modulation/ParameterEnvelope.h"

namespace corvane {
namespace {

template <class Adapter, class Object>
std::vector<std::unique_ptr<MAudioPluginAutomationAdapter>> MakeEnvelopeAdapters(
    const SpecialParameterDescriptor& special, bool /*effectOwned*/) {
    auto adapter = std::make_unique<Adapter>();
    adapter->name = special.name;
    adapter->path = JoinTexts(special.pathPart1, special.pathPart2);
    adapter->object = static_cast<Object*>(special.object);
    std::vector<std::unique_ptr<MAudioPluginAutomationAdapter>> adapters;
    adapters.push_back(std::move(adapter));
    return adapters;
}

}  // namespace

void InstallSpecialParameterFactories(MParameterRegistry& registry) {
    registry.SetSpecialAdapterFactory(
        SpecialKindEnvelope, MakeEnvelopeAdapters<ParameterEnvelopeT<ParameterEnvelopeBase_EnvelopeT>, MEnvelope>);
    registry.SetSpecialAdapterFactory(
        SpecialKindEnvelopeGraph,
        MakeEnvelopeAdapters<ParameterEnvelopeT<ParameterEnvelopeBase_GraphT>, MEnvelopeGraph>);
    // Signal generators and ADSR envelopes arrive with the modulators.
}

}  // namespace corvane

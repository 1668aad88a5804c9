#include "framework/modulation/SpecialParameterFactories.h"

#include "framework/modulation/ParameterADSR.h"
#include "framework/modulation/ParameterEnvelope.h"
#include "framework/modulation/ParameterSignalGenerator.h"

namespace corvane {
namespace {

using Adapters = std::vector<std::unique_ptr<MAudioPluginAutomationAdapter>>;

template <class Adapter, class Object>
void Append(Adapters& adapters, const SpecialParameterDescriptor& special) {
    auto adapter = std::make_unique<Adapter>();
    adapter->name = special.name;
    adapter->path = JoinTexts(special.pathPart1, special.pathPart2);
    adapter->object = static_cast<Object*>(special.object);
    adapters.push_back(std::move(adapter));
}

// The effect's objects over ParameterSpecialBase, the framework's own over
// ParameterSpecialBaseCustom.
template <template <class> class Adapter, class Object>
void AppendFor(Adapters& adapters, const SpecialParameterDescriptor& special, bool effectOwned) {
    if (effectOwned)
        Append<Adapter<ParameterSpecialBase<Object>>, Object>(adapters, special);
    else
        Append<Adapter<ParameterSpecialBaseCustom<Object>>, Object>(adapters, special);
}

Adapters SignalGeneratorAdapters(const SpecialParameterDescriptor& special, bool effectOwned, bool harmonics) {
    Adapters adapters;
    AppendFor<ParameterSignalGeneratorT, MSignalGenerator>(adapters, special, effectOwned);
    AppendFor<ParameterSignalGeneratorStepSequencerT, MSignalGenerator>(adapters, special, effectOwned);
    AppendFor<ParameterSignalGeneratorStepSequencerTypesT, MSignalGenerator>(adapters, special, effectOwned);
    AppendFor<ParameterSignalGeneratorTransformationsT, MSignalGenerator>(adapters, special, effectOwned);
    AppendFor<ParameterSignalGeneratorShapeHarmonicsT, MSignalGenerator>(adapters, special, effectOwned);
    if (harmonics) AppendFor<ParameterSignalGeneratorHarmonicsT, MSignalGenerator>(adapters, special, effectOwned);
    return adapters;
}

template <template <class> class Adapter, class Object>
Adapters One(const SpecialParameterDescriptor& special, bool effectOwned) {
    Adapters adapters;
    AppendFor<Adapter, Object>(adapters, special, effectOwned);
    return adapters;
}

template <class Base>
using EnvelopeOverEnvelope = ParameterEnvelopeT<Base>;

}  // namespace

void InstallSpecialParameterFactories(MParameterRegistry& registry) {
    registry.SetSpecialAdapterFactory(SpecialKindSignalGenerator, [](const SpecialParameterDescriptor& s, bool own) {
        return SignalGeneratorAdapters(s, own, false);
    });
    registry.SetSpecialAdapterFactory(
        SpecialKindSignalGeneratorHarmonics,
        [](const SpecialParameterDescriptor& s, bool own) { return SignalGeneratorAdapters(s, own, true); });
    registry.SetSpecialAdapterFactory(SpecialKindADSR, One<ParameterADSRT, MADSR>);
    registry.SetSpecialAdapterFactory(SpecialKindEnvelope, One<EnvelopeOverEnvelope, MEnvelope>);
    registry.SetSpecialAdapterFactory(SpecialKindEnvelopeGraph, One<EnvelopeOverEnvelope, MEnvelopeGraph>);
}

}  // namespace corvane

#include "framework/plugin/ModulatorBank.h"

#include <string>

#include "framework/core/ExceptionGuard.h"
#include "framework/modulation/LFOParameters.h"
#include "framework/plugin/RegistryNames.h"
#include "framework/plugin/StoredForm.h"

namespace corvane {

void ModulatorBank::Register(MParameterRegistry& registry) {
    for (int32_t i = 0; i < Count; ++i) RegisterLFOParameters(lfos_[i], i + 1, registry);
}

void ModulatorBank::Initialise(double sampleRate) {
    for (MLFO& lfo : lfos_) lfo.Initialise(sampleRate);
}

bool ModulatorBank::Active() const {
    if (!Enabled()) return false;
    for (const MLFO& lfo : lfos_)
        if (lfo.Enabled()) return true;
    return false;
}

void ModulatorBank::Process(const MProcessingContext& context, double sampleRate, float** inputs, int32_t channels,
                            int32_t count, MParameterRegistry& registry) {
    if (!Enabled()) return;
    ModulatorBlock block;
    block.sampleRate = sampleRate;
    block.tempo = context.tempo;
    block.songPosition = context.songPosition;
    block.inputs = inputs;
    block.channels = channels;
    block.samples = count;
    for (PhaseSyncGroup& group : groups_) group.StartBlock();
    for (MLFO& lfo : lfos_) {
        if (!lfo.Enabled()) continue;
        const int32_t g = lfo.phaseSyncGroup;
        lfo.Process(block, registry, g >= 1 && g <= MLFO::MaxPhaseSyncGroups ? &groups_[g - 1] : nullptr);
    }
}

void ModulatorBank::NoteOn() {
    for (MLFO& lfo : lfos_) lfo.NoteOn();
}

void ModulatorBank::NoteOff() {
    for (MLFO& lfo : lfos_) lfo.NoteOff();
}

void ModulatorBank::RefreshShapes() {
    for (MLFO& lfo : lfos_) lfo.shape.RefreshTable();
}

void ModulatorBank::Store(MStoreContext& context, MParameterRegistry& registry) {
    RegistryNames names(registry);
    MXMLItem* element = context.Child("LFOs");
    if (element == nullptr) {  // a state from before modulators: all of them new
        SetEnabled(true);
        for (MLFO& lfo : lfos_) {
            lfo.ResetToDefaults();
            lfo.AdoptLoadedState(registry);
        }
        return;
    }
    MStoreContext lfos(context.storing, *element);
    bool enabled = Enabled();
    lfos.Boolean("Enabled", enabled, StorePolicy::DefaultElided, true);
    SetEnabled(enabled);
    for (int32_t i = 0; i < Count; ++i) {
        StoreNumbered(context.storing, element, "LFO" + std::to_string(i), lfos_[i], names);
        if (!context.storing) lfos_[i].AdoptLoadedState(registry);
    }
}

void ModulatorBank::StoreOne(int32_t index, MStoreContext& context, MParameterRegistry& registry) {
    RegistryNames names(registry);
    lfos_[index].Store(context, names);
    if (!context.storing) lfos_[index].AdoptLoadedState(registry);
}

}  // namespace corvane

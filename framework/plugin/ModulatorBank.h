#pragma once
// The framework plug-in's four modulators: their host parameters, their
// run before each sub-block (with the phase sync groups they share), the
// MIDI notes that start their envelopes, and the "LFOs" element.

#include <atomic>
#include <cstdint>

#include "framework/modulation/MLFO.h"
#include "framework/parameters/MParameterRegistry.h"
#include "framework/plugin/ProcessingContext.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

class ModulatorBank {
public:
    static constexpr int32_t Count = 4;

    MLFO& At(int32_t index) { return lfos_[index]; }
    // The plug-in's modulation lock guards every target list.
    void UseLock(MMutex& lock) {
        for (MLFO& lfo : lfos_) lfo.Targets().UseLock(lock);
    }

    // [main-thread] After the effect's parameters, in modulator order.
    void Register(MParameterRegistry& registry);
    void Initialise(double sampleRate);

    // The modulators as a whole ("LFOs" "Enabled"). [any]
    bool Enabled() const { return enabled_.load(std::memory_order_relaxed); }
    void SetEnabled(bool on) { enabled_.store(on, std::memory_order_relaxed); }
    // Whether any modulator runs: the pipeline then uses short sub-blocks. [any]
    bool Active() const;

    // [audio-thread] Runs every enabled modulator for one sub-block.
    void Process(const MProcessingContext& context, double sampleRate, float** inputs, int32_t channels, int32_t count,
                 MParameterRegistry& registry);
    // [audio-thread] A note began, or the last held note ended.
    void NoteOn();
    void NoteOff();
    // [background] Recomputes the oscillator tables that writes left behind.
    void RefreshShapes();

    // [main-thread] "LFOs" with "LFO0" .. "LFO3"; a modulator is written
    // only while it is in use or differs from a new one.
    void Store(MStoreContext& context, MParameterRegistry& registry);
    // One modulator's settings directly in the element (a modulator preset).
    void StoreOne(int32_t index, MStoreContext& context, MParameterRegistry& registry);

private:
    MLFO lfos_[Count];
    PhaseSyncGroup groups_[MLFO::MaxPhaseSyncGroups];
    std::atomic<bool> enabled_{true};
};

}  // namespace corvane

#pragma once
// A modulator's host parameters, all named after it ("LFO 1" ...): the
// switch, the first target's travel, the frequency, the synchronisation,
// the shape, the detection source, the automated value, then the
// follower, envelope, randomizer and pitch settings.

#include <cstdint>

#include "framework/modulation/MLFO.h"
#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

// Registers the modulator numbered `number` (1 ..) in the order hosts see.
void RegisterLFOParameters(MLFO& lfo, int32_t number, MParameterRegistry& registry);

}  // namespace corvane

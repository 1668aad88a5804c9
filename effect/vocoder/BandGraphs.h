#pragma once
// The vocoder's twelve band graphs: how hosts see them, where their points
// may lie, their default shapes and their randomisation.

#include <cstdint>

#include "effect/vocoder/VocoderParameters.h"
#include "framework/modulation/MEnvelope.h"
#include "framework/parameters/ParameterTable.h"

namespace sonvera {

// Gives a graph its range and its default shape, and resets it to that shape.
void PrepareBandGraph(corvane::MEnvelope& graph, int32_t index);
// Declares the graphs to hosts and prepares each.
void DeclareBandGraphs(corvane::SpecialParameterDescriptor (&specials)[BandGraphCount],
                       corvane::MEnvelopeGraph (&graphs)[BandGraphCount]);
// Where a band graph's points may lie; no state can push a band out of the
// audible range or a detector time towards infinity.
corvane::MEnvelope::Range BandGraphRange(int32_t graph);
// The identity of the graph's meaning at x: the default band spacing for
// the frequency graphs, 0 (no offset, a factor of 1) for the others.
double NeutralGraphValue(int32_t graph, double x);

// The graphs as items of the effect's full randomisation: each is reshaped
// half of the time, its points moved around the identity; whether it is
// enabled stays as it is.
struct BandGraphItem {
    corvane::MEnvelopeGraph* graph = nullptr;
    int32_t index = 0;
};
void DeclareRandomizableGraphs(corvane::RandomizableGraphItem (&items)[BandGraphCount],
                               BandGraphItem (&graphItems)[BandGraphCount],
                               corvane::MEnvelopeGraph (&graphs)[BandGraphCount]);

}  // namespace sonvera

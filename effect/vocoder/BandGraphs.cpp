#include "effect/vocoder/BandGraphs.h"

#include <algorithm>
#include <string>

#include "framework/core/MRandom.h"

namespace sonvera {

using namespace corvane;

void DeclareBandGraphs(SpecialParameterDescriptor (&specials)[BandGraphCount],
                       MEnvelopeGraph (&graphs)[BandGraphCount]) {
    for (int32_t i = 0; i < BandGraphCount; ++i) {
        SpecialParameterDescriptor& special = specials[i];
        special = SpecialParameterDescriptor();
        special.kind = SpecialKindEnvelope;
        special.name = std::string("Graph ") + BandGraphNames[i];
        special.object = static_cast<MEnvelope*>(&graphs[i]);
        special.adapterFlags = AdapterFlags::BandGraph;
        PrepareBandGraph(graphs[i], i);
    }
}

void PrepareBandGraph(MEnvelope& graph, int32_t index) {
    // Each graph starts as the identity of its meaning, so enabling it
    // unedited changes nothing: the default band spacing for the frequency
    // graphs, no offset and a factor of 1 for the others.
    const MEnvelope::Range range = BandGraphRange(index);
    graph.SetRange(range);
    MEnvelope::Point shape[2];
    shape[0].x = range.xMin;
    shape[1].x = range.xMax;
    shape[0].y = NeutralGraphValue(index, range.xMin);
    shape[1].y = NeutralGraphValue(index, range.xMax);
    graph.SetDefaultShape(shape, 2);
    graph.ResetToDefault();
}

MEnvelope::Range BandGraphRange(int32_t graph) {
    MEnvelope::Range range;  // x runs over the bands, 0 the lowest and 1 the highest
    switch (graph) {
        case GraphBandDistributionCar:
        case GraphBandDistributionMod:
            // Decimal logarithms of 20 Hz and 20 kHz, the editor's axis.
            range.yMin = 1.3010299956639813;
            range.yMax = 4.301029995663981;
            break;
        case GraphResonanceCar:
        case GraphResonanceMod:
        case GraphRatio:
        case GraphWhitening:
            // Offsets within one parameter range either way.
            range.yMin = -1.0;
            range.yMax = 1.0;
            break;
        default:
            // Base-2 exponents of factors from 1/16 to 16.
            range.yMin = -4.0;
            range.yMax = 4.0;
            break;
    }
    return range;
}

double NeutralGraphValue(int32_t graph, double x) {
    if (graph != GraphBandDistributionCar && graph != GraphBandDistributionMod) return 0.0;
    const MEnvelope::Range range = BandGraphRange(graph);
    return range.yMin + (range.yMax - range.yMin) * (x - range.xMin) / (range.xMax - range.xMin);
}

namespace {

// Every point moves by up to an eighth of the graph's span either way from
// the identity, and bends by up to half the curvature range.
void RandomizeGraph(void* item) {
    const BandGraphItem& g = *static_cast<BandGraphItem*>(item);
    const MEnvelope::Range range = g.graph->GetRange();
    MEnvelope::Point points[MEnvelope::MaxPoints];
    const int32_t count = g.graph->PointCount();
    for (int32_t p = 0; p < count; ++p) {
        points[p] = g.graph->PointAt(p);
        const double spread = (range.yMax - range.yMin) / 4.0;
        points[p].y = NeutralGraphValue(g.index, points[p].x) + (MRandom::NextUnit() - 0.5) * spread;
        points[p].curvature = MRandom::NextUnit() - 0.5;
    }
    g.graph->SetPoints(points, count);
}

}  // namespace

void DeclareRandomizableGraphs(RandomizableGraphItem (&items)[BandGraphCount],
                               BandGraphItem (&graphItems)[BandGraphCount], MEnvelopeGraph (&graphs)[BandGraphCount]) {
    for (int32_t i = 0; i < BandGraphCount; ++i) {
        items[i].mode = 0;
        items[i].divisor = 2;
        items[i].randomize = RandomizeGraph;
        items[i].item = &graphItems[i];
        graphItems[i] = {&graphs[i], i};
    }
}

}  // namespace sonvera

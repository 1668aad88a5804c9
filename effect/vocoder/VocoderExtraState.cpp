// The vocoder's own state besides its parameters: band graphs, the selected
// graph, band levels ("EQ") and the band matrix ("Matrix").

#include <algorithm>
#include <cstring>
#include <string>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/core/DiagnosticLog.h"
#include "framework/core/MException.h"
#include "framework/storage/MStoreContext.h"

namespace sonvera {

using namespace corvane;

namespace {

// What a band graph's values may be, so that no state can push a band out of
// the audible range or a detector time to infinity: frequencies on the
// editor's axis from 20 Hz to 20 kHz, factors from 1/16 to 16, and the
// additive graphs within one parameter range either way.
struct GraphRange {
    double low, high;
};

GraphRange ValueRange(int32_t graph) {
    switch (graph) {
        case GraphBandDistributionCar:
        case GraphBandDistributionMod:
            return {1.3010299956639813, 4.301029995663981};
        case GraphResonanceCar:
        case GraphResonanceMod:
        case GraphRatio:
        case GraphWhitening:
            return {-1.0, 1.0};
        default:
            return {-4.0, 4.0};
    }
}

double Limited(double value, double low, double high) { return std::min(std::max(value, low), high); }

// A graph's points as attributes X0, Y0, C0, S0, X1, ...; the curve model
// brings its own storage later.
void StoreGraph(MStoreContext& context, MEnvelope& graph, GraphRange range) {
    const char* const fields[4] = {"X", "Y", "C", "S"};
    if (context.storing) {
        for (int32_t p = 0; p < graph.PointCount(); ++p) {
            const MEnvelope::Point& point = graph.PointAt(p);
            const double values[4] = {point.x, point.y, point.curvature, point.smoothness};
            for (int f = 0; f < 4; ++f) {
                double v = values[f];
                context.Real(fields[f] + std::to_string(p), v, StorePolicy::AlwaysWritten);
            }
        }
        return;
    }
    if (context.item.FindAttribute("X0") == nullptr) return;
    graph.ClearPoints();
    for (int32_t p = 0; p < MEnvelope::MaxPoints && context.item.FindAttribute("X" + std::to_string(p)); ++p) {
        double values[4] = {};
        for (int f = 0; f < 4; ++f) context.Real(fields[f] + std::to_string(p), values[f], StorePolicy::AlwaysWritten);
        graph.AddPoint({Limited(values[0], 0.0, 1.0), Limited(values[1], range.low, range.high),
                        Limited(values[2], 0.0, 1.0), Limited(values[3], 0.0, 1.0)});
    }
}

}  // namespace

void SonveraAudioEffectPlugin::StoreLoadExtra(MPluginArguments& arguments) {
    MXMLItem* element = arguments.Pointer<MXMLItem>(0);
    if (element == nullptr) return;
    MStoreContext context(arguments.entries[0].kind == ArgumentValue, *element);

    for (int32_t g = 0; g < BandGraphCount; ++g) {
        MXMLItem* graphElement = context.Child(BandGraphIdentifiers[g]);
        if (graphElement == nullptr) continue;
        MStoreContext child(context.storing, *graphElement);
        StoreGraph(child, graphs_[g], ValueRange(g));
        int32_t enabled = graphEnabled_[g];
        child.Integer("Enabled", enabled, StorePolicy::AlwaysWritten);
        graphEnabled_[g] = enabled != 0 ? 1 : 0;
    }
    context.Integer("SelectedEnvelope", selectedGraph_, StorePolicy::AlwaysWritten);
    selectedGraph_ = std::min(std::max(selectedGraph_, 0), BandGraphCount - 1);

    // The levels belong to the band count of the state: a pending change of
    // the count is applied before they are written, and levels read from a
    // state are not resampled from the old count afterwards.
    const int32_t stateBands = std::min(std::max(Parameter(ParamBandCount).integerValues.value, 4), MaxBands);
    if (context.storing && stateBands != bank_->bandCount) Update();
    if (!context.storing && context.item.FindSubItem("EQ") != nullptr) AdoptBandCount(stateBands);
    if (MXMLItem* eq = context.Child("EQ")) {
        // Only the bands in use are written; loading changes only those present.
        const int32_t bands = bank_->bandCount > 0 ? bank_->bandCount : stateBands;
        MStoreContext levels(context.storing, *eq);
        for (int32_t b = 0; b < (context.storing ? bands : MaxBands); ++b) {
            double level = bank_->bandLevel[b];
            levels.Real(std::to_string(b), level, StorePolicy::AlwaysWritten);
            bank_->bandLevel[b] = level < 0.0 ? 0.0 : level > 2.0 ? 2.0 : level;
        }
    }

    if (MXMLItem* matrix = context.Child("Matrix")) {
        if (context.storing) {
            matrix->StoreBinary(matrix_, sizeof matrix_, true);
        } else if (!matrix->Text().empty()) {
            // Into a copy first: a damaged block leaves the matrix as it was.
            uint8_t loaded[MaxBands][MaxBands];
            try {
                matrix->LoadBinary(loaded, sizeof loaded, true);
                std::memcpy(matrix_, loaded, sizeof loaded);
            } catch (const MException& e) {
                DiagnosticLog::Write("The band matrix could not be read: " + e.Message());
            }
        }
    }
}

}  // namespace sonvera

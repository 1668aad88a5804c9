// The vocoder's own state besides its parameters: band graphs, the selected
// graph, band levels ("EQ") and the band matrix ("Matrix").

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "effect/vocoder/BandLayout.h"
#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/core/DiagnosticLog.h"
#include "framework/core/MException.h"
#include "framework/core/MLock.h"
#include "framework/storage/MStoreContext.h"

namespace sonvera {

using namespace corvane;

void SonveraAudioEffectPlugin::StoreLoadExtra(MPluginArguments& arguments) {
    MXMLItem* element = arguments.Pointer<MXMLItem>(0);
    if (element == nullptr) return;
    MStoreContext context(arguments.entries[0].kind == ArgumentValue, *element);
    if (context.storing)
        StoreExtra(context);
    else
        LoadExtra(context);
}

namespace {

// Both ways: the graphs' points, "Enabled" flags and the selected graph.
template <class Graph>
void StoreGraphs(MStoreContext& context, Graph* graphs, uint8_t* enabledFlags, int32_t& selected) {
    for (int32_t g = 0; g < BandGraphCount; ++g) {
        MXMLItem* graphElement = context.Child(BandGraphIdentifiers[g]);
        if (graphElement == nullptr) continue;
        MStoreContext child(context.storing, *graphElement);
        if constexpr (std::is_same_v<Graph, MEnvelope::Shape>)
            MEnvelope::StoreShape(child, graphs[g]);
        else
            graphs[g].Store(child);
        int32_t enabled = enabledFlags[g];
        child.Integer("Enabled", enabled, StorePolicy::AlwaysWritten);
        enabledFlags[g] = enabled != 0 ? 1 : 0;
    }
    context.Integer("SelectedEnvelope", selected, StorePolicy::AlwaysWritten);
    selected = std::min(std::max(selected, 0), BandGraphCount - 1);
}

}  // namespace

// Saving runs beside processing: what the lock guards is copied under it,
// and the tree built (and the matrix compressed) after.
void SonveraAudioEffectPlugin::StoreExtra(MStoreContext& context) {
    struct Copy {
        MEnvelope::Shape graphs[BandGraphCount];
        uint8_t enabled[BandGraphCount];
        int32_t selected = 0;
        double levels[MaxBands];
        uint8_t matrix[MaxBands][MaxBands];
        int32_t bands = 0;
    };
    auto copy = std::make_unique<Copy>();
    {
        MLock hold(Lock());
        for (int32_t g = 0; g < BandGraphCount; ++g) copy->graphs[g] = graphs_[g].CopyShape();
        std::memcpy(copy->enabled, graphEnabled_, sizeof copy->enabled);
        copy->selected = selectedGraph_;
        std::memcpy(copy->levels, bandLevel_, sizeof copy->levels);
        std::memcpy(copy->matrix, matrix_, sizeof copy->matrix);
        copy->bands = bank_->bandCount;
    }
    StoreGraphs(context, copy->graphs, copy->enabled, copy->selected);
    // The levels belong to the band count of the state: a count not yet
    // applied is applied to the copy before it is written.
    const int32_t stateBands =
        std::min(std::max(LoadRelaxed(Parameter(ParamBandCount).integerValues.value), 4), MaxBands);
    if (copy->bands > 0 && copy->bands != stateBands)
        BandLayout::ResampleBandArray(copy->levels, copy->bands, stateBands);
    if (MXMLItem* eq = context.Child("EQ")) {
        MStoreContext levels(true, *eq);
        for (int32_t b = 0; b < stateBands; ++b)
            levels.Real(std::to_string(b), copy->levels[b], StorePolicy::AlwaysWritten);
    }
    if (MXMLItem* matrix = context.Child("Matrix")) matrix->StoreBinary(copy->matrix, sizeof copy->matrix, true);
}

// Loading runs under the lock with processing held off.
void SonveraAudioEffectPlugin::LoadExtra(MStoreContext& context) {
    StoreGraphs(context, graphs_, graphEnabled_, selectedGraph_);
    // Levels read from a state are not resampled from the old count afterwards.
    const int32_t stateBands =
        std::min(std::max(LoadRelaxed(Parameter(ParamBandCount).integerValues.value), 4), MaxBands);
    if (MXMLItem* eq = context.Child("EQ")) {
        AdoptBandCount(stateBands);
        // Only the bands present change.
        MStoreContext levels(false, *eq);
        for (int32_t b = 0; b < MaxBands; ++b) {
            double level = bandLevel_[b];
            levels.Real(std::to_string(b), level, StorePolicy::AlwaysWritten);
            bandLevel_[b] = level < 0.0 ? 0.0 : level > 2.0 ? 2.0 : level;
        }
    }
    if (MXMLItem* matrix = context.Child("Matrix"); matrix != nullptr && !matrix->Text().empty()) {
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

}  // namespace sonvera

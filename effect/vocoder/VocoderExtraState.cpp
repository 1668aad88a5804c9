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

void SonveraAudioEffectPlugin::StoreLoadExtra(MPluginArguments& arguments) {
    MXMLItem* element = arguments.Pointer<MXMLItem>(0);
    if (element == nullptr) return;
    MStoreContext context(arguments.entries[0].kind == ArgumentValue, *element);

    for (int32_t g = 0; g < BandGraphCount; ++g) {
        MXMLItem* graphElement = context.Child(BandGraphIdentifiers[g]);
        if (graphElement == nullptr) continue;
        MStoreContext child(context.storing, *graphElement);
        graphs_[g].Store(child);
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

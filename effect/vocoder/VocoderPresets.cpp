// Presets of the band matrix and of single band graphs: written and read
// under the effect's lock; a loaded one is heard after the next block's Update.

#include <cstring>

#include "effect/vocoder/SonveraAudioEffectPlugin.h"
#include "framework/core/MLock.h"
#include "framework/storage/MStoreContext.h"

namespace sonvera {

using namespace corvane;

void SonveraAudioEffectPlugin::StoreMatrixPreset(MStoreContext& context) {
    {
        MLock lock(Lock());
        if (context.storing) {
            context.item.GetOrAddSubItem("Matrix").StoreBinary(matrix_, sizeof matrix_, true);
            return;
        }
        const MXMLItem* element = context.item.FindSubItem("Matrix");
        if (element == nullptr) throw MException("The preset holds no band matrix.");
        // Into a copy first: a damaged block leaves the matrix as it was.
        uint8_t loaded[MaxBands][MaxBands];
        element->LoadBinary(loaded, sizeof loaded, true);
        std::memcpy(matrix_, loaded, sizeof loaded);
    }
    RequestUpdate();
}

void SonveraAudioEffectPlugin::StoreGraphPreset(MStoreContext& context) {
    {
        MLock lock(Lock());
        graphs_[selectedGraph_].Store(context);
    }
    if (!context.storing) RequestUpdate();
}

}  // namespace sonvera

// A generator's stored form: one attribute per setting on its element,
// left out while at its default.

#include <string>

#include "framework/modulation/MSignalGenerator.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

void MSignalGenerator::Store(MStoreContext& context) {
    if (context.storing) {
        Settings copy = GetSettings();  // the tree is built outside the lock
        StoreSettings(context, copy, withHarmonics_);
        return;
    }
    MLock hold(lock_);
    ApplyPending();
    StoreSettings(context, settings_, withHarmonics_);
    Adopt();
}

void MSignalGenerator::StoreSettings(MStoreContext& context, Settings& s, bool withHarmonics) {
    const Settings defaults;
    auto real = [&](const std::string& name, double& value, double defaultValue) {
        context.Real(name, value, StorePolicy::DefaultElided, defaultValue);
    };
    real("Shape", s.shape, defaults.shape);
    real("CustomMorph", s.customMorph, defaults.customMorph);
    real("StepSequencer", s.stepSequencer, defaults.stepSequencer);
    real("Smoothness", s.smoothness, defaults.smoothness);
    real("Halve", s.halve, defaults.halve);
    real("FullSkew", s.fullSkew, defaults.fullSkew);
    real("Skew", s.skew, defaults.skew);
    real("Phase", s.phase, defaults.phase);
    for (int32_t k = 0; k < SignalStepCount; ++k) {
        const std::string n = std::to_string(k);
        real("Step" + n, s.step[k], defaults.step[k]);
        context.Integer("StepShape" + n, s.stepShape[k], StorePolicy::DefaultElided, defaults.stepShape[k]);
    }
    for (int32_t h = 0; h < SignalHarmonicCount; ++h) {
        const std::string n = std::to_string(h);
        real("ShapeHarmonicLevel" + n, s.shapeHarmonicLevel[h], defaults.shapeHarmonicLevel[h]);
        real("ShapeHarmonicPhase" + n, s.shapeHarmonicPhase[h], defaults.shapeHarmonicPhase[h]);
    }
    if (withHarmonics) {
        Harmonics& g = s.harmonics;
        const Harmonics& d = defaults.harmonics;
        real("Harmonicity", g.harmonicity, d.harmonicity);
        real("Slope", g.slope, d.slope);
        real("Fullness", g.fullness, d.fullness);
        real("FundamentalMinimum", g.fundamentalMinimum, d.fundamentalMinimum);
        real("SampleRatio", g.sampleRatio, d.sampleRatio);
        real("Sharpen", g.sharpen, d.sharpen);
        real("Noise", g.noise, d.noise);
        real("Clean", g.clean, d.clean);
        real("Compress", g.compress, d.compress);
        real("Harmonize", g.harmonize, d.harmonize);
        for (int32_t h = 0; h < SignalHarmonicCount; ++h) {
            const std::string n = std::to_string(h);
            real("HarmonicLevel" + n, g.level[h], d.level[h]);
            real("HarmonicPhase" + n, g.phase[h], d.phase[h]);
        }
    }
}

}  // namespace corvane

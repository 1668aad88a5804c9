#pragma once
// An oscillator shape: a mix of the built-in shapes, morphed towards a
// custom shape drawn by harmonics, blended with a step sequence, warped in
// time and smoothed, recomputed into one wave table whenever a setting
// changes. Every write takes the generator's lock.

#include <cstdint>

#include "framework/core/MLock.h"
#include "framework/modulation/SignalShapes.h"
#include "platform/MMutex.h"

namespace corvane {

class MStoreContext;

constexpr int32_t SignalStepCount = 16;
constexpr int32_t SignalHarmonicCount = 16;
constexpr int32_t StepShapeCount = 28;
extern const char* const StepShapeNames[StepShapeCount];

class MSignalGenerator {
public:
    // Generator settings, every one 0 .. 1 unless said otherwise.
    struct Harmonics {
        double harmonicity = 1.0;  // level of the overtones against the fundamental
        double slope = 0.5;        // overtone h falls as h^(-3 slope)
        double fullness = 1.0;     // level of the even overtones
        double fundamentalMinimum = 0.0;
        double sampleRatio = 0.0;  // share of a loaded sample's harmonics (none loaded: no effect)
        double sharpen = 0.0, noise = 0.0, clean = 0.0, compress = 0.0, harmonize = 0.0;
        double level[SignalHarmonicCount];
        double phase[SignalHarmonicCount] = {};
        Harmonics();
    };

    struct Settings {
        double shape = ShapeSine;  // position 0 .. 15 over the built-in shapes
        double customMorph = 0.0;
        double stepSequencer = 0.0;
        double smoothness = 0.0;
        double step[SignalStepCount];             // 0 .. 1, a level of 2 v - 1
        int32_t stepShape[SignalStepCount] = {};  // StepShapeNames
        double halve = 0.0, fullSkew = 0.5, skew = 0.5, phase = 0.0;
        double shapeHarmonicLevel[SignalHarmonicCount] = {};
        double shapeHarmonicPhase[SignalHarmonicCount] = {};
        Harmonics harmonics;
        Settings();
    };

    // withHarmonics: the custom shape comes from the harmonics generator too.
    explicit MSignalGenerator(bool withHarmonics = false);
    MSignalGenerator(const MSignalGenerator&) = delete;
    MSignalGenerator& operator=(const MSignalGenerator&) = delete;

    bool HasHarmonicsGenerator() const { return withHarmonics_; }

    // [main-thread] Edits: the body runs under the lock on the settings, the
    // table is recomputed, the change flag raised.
    template <class Edit>
    void Change(Edit&& edit) {
        MLock hold(lock_);
        edit(settings_);
        Adopt();
    }
    Settings GetSettings();

    // [any thread] One period's value at phase 0 .. 1 (wrapping), under the lock.
    float Value(double phase);
    // The whole table, for drawing and tests: copies under the lock.
    void CopyTable(float* out);

    void Store(MStoreContext& context);

    MMutex& Lock() { return lock_; }
    // Raised by every edit; whoever mirrors the generator clears it.
    bool TakeChanged();

private:
    // Limits the settings just written and recomputes the table.
    void Adopt();
    void Sanitise();
    void Recompute();
    void ComputeCustomShape(float* custom) const;
    // Whether the drawn or generated harmonics differ from those of custom_.
    bool CustomInputsChanged() const;

    const bool withHarmonics_;
    Settings settings_;
    bool changed_ = false;
    float table_[SignalTableSize];
    // The custom shape costs the most; it is kept until its inputs change.
    float custom_[SignalTableSize] = {};
    Settings customInputs_;
    bool customValid_ = false;
    MMutex lock_;
};

// The level a step shape gives at position 0 .. 1 within its step, from the
// step's own level and its neighbours'.
double StepShapeValue(int32_t shape, double position, double previous, double current, double next);

}  // namespace corvane

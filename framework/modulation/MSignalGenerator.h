#pragma once
// An oscillator shape: a mix of the built-in shapes, morphed towards a
// custom shape drawn by harmonics, blended with a step sequence, warped in
// time and smoothed, recomputed into one wave table whenever a setting
// changes. Every write takes the generator's lock; on the audio thread it is
// only tried, and what cannot be applied at once waits for its next holder.

#include <atomic>
#include <cstdint>

#include "framework/core/MLock.h"
#include "framework/core/Shared.h"
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
        ApplyPending();
        edit(settings_);
        Adopt();
    }
    Settings GetSettings();

    // Every setting by one index: the four main settings, the step values,
    // the step shapes (their index), the four transformations, the drawn
    // harmonics (level and phase in turn), then the harmonics generator's ten
    // settings and its level and phase per harmonic.
    static constexpr int32_t GeneratorFieldCount = 10;
    static constexpr int32_t FieldCount =
        4 + 2 * SignalStepCount + 4 + 2 * SignalHarmonicCount + GeneratorFieldCount + 2 * SignalHarmonicCount;
    // [any thread] A setting as last written, without taking the lock.
    double Field(int32_t field) const;
    // The field of a set of settings.
    static double FieldIn(const Settings& settings, int32_t field);
    // [any thread] Writes one setting (limited as every setting is); a busy
    // lock is never waited for on the audio thread: the write is applied by
    // the lock's next holder. The table is not recomputed here: readers off
    // the audio thread recompute it when they need it, RefreshTable does it
    // in the background, and until then the audio thread reads the values it
    // needs from the settings directly.
    void SetField(int32_t field, double value);
    // [main-thread, background] Recomputes a table that settings left behind.
    void RefreshTable();

    // [any thread] One period's value at phase 0 .. 1 (wrapping), under the
    // lock; on the audio thread, while an edit holds it, the previous value.
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
    // Under the lock: writes that found it busy, then the table if it is stale.
    void ApplyPending();
    void Refresh();
    // One table entry from the settings, unsmoothed, and smoothed as the table holds it.
    float Entry(int32_t index) const;
    float SmoothedEntry(int32_t index) const;
    int32_t SmoothingWidth() const;
    // The table's value at a phase without the table (within float rounding where smoothed).
    float DirectValue(double phase);
    void PrepareCustomShape();
    void Publish();
    static void StoreSettings(MStoreContext& context, Settings& settings, bool withHarmonics);
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
    bool stale_ = false;  // settings written, table not yet recomputed
    // Every setting as published by the lock's holder, for reads without it;
    // writes that found the lock busy wait in pendingValue_ with their bit set.
    Shared<double> published_[FieldCount];
    Shared<double> pendingValue_[FieldCount];
    std::atomic<uint64_t> pendingBits_[(FieldCount + 63) / 64] = {};
    Shared<float> lastValue_{0.0f};
    MMutex lock_;
};

// The level a step shape gives at position 0 .. 1 within its step, from the
// step's own level and its neighbours'.
double StepShapeValue(int32_t shape, double position, double previous, double current, double next);

}  // namespace corvane

#include "framework/modulation/MSignalGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace corvane {

namespace {

double Clamp01(double v) { return v >= 0.0 ? (v > 1.0 ? 1.0 : v) : 0.0; }  // not-a-number becomes 0

double Fraction(double v) { return v - std::floor(v); }

// Where in the base period output position t (0 .. 1) reads, after the
// transformations: "Phase" turns the period, "Halve" squeezes the shape into
// the first 1 / (1 + halve) of it (the rest is silent, marked by a result
// of -1), "Full skew" bends time over the whole period and "Skew" within each
// half, both as powers that are neutral at 0.5.
double Warp(const MSignalGenerator::Settings& s, double t) {
    double u = Fraction(t + s.phase);
    u *= 1.0 + s.halve;
    if (u >= 1.0) return -1.0;
    if (s.fullSkew != 0.5) u = std::pow(u, std::exp2((0.5 - s.fullSkew) * 4.0));
    if (s.skew == 0.5) return u;
    const double half = u < 0.5 ? 0.0 : 0.5;
    const double within = (u - half) * 2.0;
    return half + std::pow(within, std::exp2((0.5 - s.skew) * 4.0)) / 2.0;
}

float ShapeMix(double position, double index) {
    const ShapeNeighbours n = NeighboursAt(position);
    const float a = TableValue(BuiltInShapeTable(n.first), index);
    const float b = TableValue(BuiltInShapeTable(n.first + 1), index);
    return static_cast<float>(a + (b - a) * n.fraction);
}

// One period of a sine, for the harmonic sums: partial h at sample i reads
// entry (h * i + phase) of it, exact and without a sine per sample.
const float* SineTable() {
    static const struct Table {
        float values[SignalTableSize];
        Table() {
            for (int32_t i = 0; i < SignalTableSize; ++i)
                values[i] = static_cast<float>(std::sin(2.0 * M_PI * i / SignalTableSize));
        }
    } table;
    return table.values;
}

bool PowerOfTwo(int32_t h) { return (h & (h - 1)) == 0; }

// A fixed scatter per partial for the "Noise" post-processor.
double Scatter(int32_t h) {
    uint32_t x = static_cast<uint32_t>(h) * 2654435761u;
    x ^= x >> 15;
    return (x & 0xFFFF) / 65535.0;
}

constexpr int32_t GeneratedPartials = 64;

}  // namespace

const char* const StepShapeNames[StepShapeCount] = {
    "Default",   "Linear up",        "Linear down",       "Sqr up",          "Sqr down",   "4th up",
    "4th down",  "SqrRoot up",       "SqrRoot down",      "1/4th up",        "1/4th down", "Sine up",
    "Sine down", "Step left smooth", "Step right smooth", "Step left",       "Step right", "Saw down",
    "Sine saw",  "Sine saw down",    "Wobble 1",          "Wobble 1 mirror", "Wobble 2",   "Wobble 2 mirror",
    "Wobble 3",  "Wobble 3 mirror",  "Wobble 4",          "Wobble 4 mirror"};

double StepShapeValue(int32_t shape, double t, double previous, double current, double next) {
    const double smooth = t * t * (3.0 - 2.0 * t);
    switch (shape) {
        case 1:
            return current * t;
        case 2:
            return current * (1.0 - t);
        case 3:
            return current * t * t;
        case 4:
            return current * (1.0 - t) * (1.0 - t);
        case 5:
            return current * std::pow(t, 4.0);
        case 6:
            return current * std::pow(1.0 - t, 4.0);
        case 7:
            return current * std::sqrt(t);
        case 8:
            return current * std::sqrt(1.0 - t);
        case 9:
            return current * std::pow(t, 0.25);
        case 10:
            return current * std::pow(1.0 - t, 0.25);
        case 11:
            return current * std::sin(M_PI * t / 2.0);
        case 12:
            return current * std::cos(M_PI * t / 2.0);
        case 13:
            return previous + (current - previous) * smooth;  // glides in from the step before
        case 14:
            return current + (next - current) * smooth;  // glides on to the step after
        case 15:
            return t < 0.5 ? previous : current;
        case 16:
            return t < 0.5 ? current : next;
        case 17:
            return current * (1.0 - 2.0 * t);  // from the level through 0 to its negative
        case 18:
            return current * (1.0 - std::cos(M_PI * t)) / 2.0;
        case 19:
            return current * (1.0 + std::cos(M_PI * t)) / 2.0;
        default:
            if (shape >= 20 && shape < StepShapeCount) {
                // Wobble n: n cycles that die away; the mirror grows instead.
                const int32_t n = (shape - 20) / 2 + 1;
                const bool mirror = (shape - 20) % 2 == 1;
                return current * std::cos(2.0 * M_PI * n * t) * (mirror ? t : 1.0 - t);
            }
            return current;
    }
}

MSignalGenerator::Harmonics::Harmonics() { std::fill(level, level + SignalHarmonicCount, 1.0); }

MSignalGenerator::Settings::Settings() { std::fill(step, step + SignalStepCount, 1.0); }

MSignalGenerator::MSignalGenerator(bool withHarmonics) : withHarmonics_(withHarmonics) {
    MLock hold(lock_);
    Recompute();
    Publish();
    changed_ = false;
}

MSignalGenerator::Settings MSignalGenerator::GetSettings() {
    MLock hold(lock_);
    ApplyPending();
    return settings_;
}

bool MSignalGenerator::TakeChanged() {
    MLock hold(lock_);
    Refresh();
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

void MSignalGenerator::Adopt() {
    Sanitise();
    Recompute();
    Publish();
}

namespace {

// The setting behind a field: a real, or a step shape's index.
struct FieldRef {
    double* real = nullptr;
    int32_t* index = nullptr;
};

FieldRef Locate(MSignalGenerator::Settings& s, int32_t field) {
    if (field < 0) return {};
    if (field < 4) {
        double* main[4] = {&s.shape, &s.customMorph, &s.stepSequencer, &s.smoothness};
        return {main[field]};
    }
    if ((field -= 4) < SignalStepCount) return {&s.step[field]};
    if ((field -= SignalStepCount) < SignalStepCount) return {nullptr, &s.stepShape[field]};
    if ((field -= SignalStepCount) < 4) {
        double* transformations[4] = {&s.halve, &s.fullSkew, &s.skew, &s.phase};
        return {transformations[field]};
    }
    if ((field -= 4) < 2 * SignalHarmonicCount)
        return {field % 2 == 0 ? &s.shapeHarmonicLevel[field / 2] : &s.shapeHarmonicPhase[field / 2]};
    field -= 2 * SignalHarmonicCount;
    MSignalGenerator::Harmonics& h = s.harmonics;
    if (field < MSignalGenerator::GeneratorFieldCount) {
        double* fields[MSignalGenerator::GeneratorFieldCount] = {
            &h.harmonicity, &h.slope, &h.fullness, &h.fundamentalMinimum, &h.sampleRatio,
            &h.sharpen,     &h.noise, &h.clean,    &h.compress,           &h.harmonize};
        return {fields[field]};
    }
    if ((field -= MSignalGenerator::GeneratorFieldCount) < 2 * SignalHarmonicCount)
        return {field % 2 == 0 ? &h.level[field / 2] : &h.phase[field / 2]};
    return {};
}

// Writes one field, limited as Sanitise limits every setting.
void WriteField(MSignalGenerator::Settings& s, int32_t field, double value) {
    const FieldRef ref = Locate(s, field);
    if (ref.index != nullptr)
        *ref.index = static_cast<int32_t>(std::isnan(value) ? 0.0 : std::clamp(value, 0.0, double(StepShapeCount - 1)));
    if (ref.real == nullptr) return;
    if (field == 0)  // the shape position
        *ref.real = std::isnan(value) ? 0.0 : std::min(std::max(value, 0.0), double(SignalShapeCount - 1));
    else
        *ref.real = Clamp01(value);
}

}  // namespace

double MSignalGenerator::FieldIn(const Settings& settings, int32_t field) {
    const FieldRef ref = Locate(const_cast<Settings&>(settings), field);
    return ref.real != nullptr ? *ref.real : ref.index != nullptr ? *ref.index : 0.0;
}

void MSignalGenerator::Publish() {
    for (int32_t f = 0; f < FieldCount; ++f) published_[f].Store(FieldIn(settings_, f));
}

double MSignalGenerator::Field(int32_t field) const {
    if (field < 0 || field >= FieldCount) return 0.0;
    const uint64_t bit = uint64_t{1} << (field % 64);
    if (pendingBits_[field / 64].load(std::memory_order_acquire) & bit) return pendingValue_[field].Load();
    return published_[field].Load();
}

void MSignalGenerator::SetField(int32_t field, double value) {
    if (field < 0 || field >= FieldCount || std::isnan(value)) return;
    MAudioSafeLock hold(lock_);
    if (!hold.Held()) {
        pendingValue_[field].Store(value);
        pendingBits_[field / 64].fetch_or(uint64_t{1} << (field % 64), std::memory_order_release);
        return;
    }
    ApplyPending();
    WriteField(settings_, field, value);
    published_[field].Store(FieldIn(settings_, field));
    stale_ = true;  // the next reader of the table recomputes it (the audio thread never does)
}

void MSignalGenerator::ApplyPending() {
    bool any = false;
    for (int32_t word = 0; word < static_cast<int32_t>(std::size(pendingBits_)); ++word) {
        uint64_t bits = pendingBits_[word].exchange(0, std::memory_order_acquire);
        for (; bits != 0; bits &= bits - 1) {
            const int32_t field = word * 64 + __builtin_ctzll(bits);
            WriteField(settings_, field, pendingValue_[field].Load());
            published_[field].Store(FieldIn(settings_, field));
            any = true;
        }
    }
    if (any) stale_ = true;
}

void MSignalGenerator::Refresh() {
    ApplyPending();
    if (!stale_) return;
    Recompute();
    stale_ = false;
}

void MSignalGenerator::RefreshTable() {
    MLock hold(lock_);
    Refresh();
}

void MSignalGenerator::Sanitise() {
    Settings& s = settings_;
    s.shape = std::isnan(s.shape) ? 0.0 : std::min(std::max(s.shape, 0.0), double(SignalShapeCount - 1));
    for (double* v : {&s.customMorph, &s.stepSequencer, &s.smoothness, &s.halve, &s.fullSkew, &s.skew, &s.phase})
        *v = Clamp01(*v);
    for (int32_t k = 0; k < SignalStepCount; ++k) {
        s.step[k] = Clamp01(s.step[k]);
        if (s.stepShape[k] < 0 || s.stepShape[k] >= StepShapeCount) s.stepShape[k] = 0;
    }
    Harmonics& h = s.harmonics;
    for (double* v : {&h.harmonicity, &h.slope, &h.fullness, &h.fundamentalMinimum, &h.sampleRatio, &h.sharpen,
                      &h.noise, &h.clean, &h.compress, &h.harmonize})
        *v = Clamp01(*v);
    for (int32_t k = 0; k < SignalHarmonicCount; ++k) {
        s.shapeHarmonicLevel[k] = Clamp01(s.shapeHarmonicLevel[k]);
        s.shapeHarmonicPhase[k] = Clamp01(s.shapeHarmonicPhase[k]);
        h.level[k] = Clamp01(h.level[k]);
        h.phase[k] = Clamp01(h.phase[k]);
    }
}

// The custom shape: the drawn harmonics, plus the harmonics generator's
// series where the generator has one; scaled to a peak of 1 (silent when
// nothing is drawn).
void MSignalGenerator::ComputeCustomShape(float* custom) const {
    const Settings& s = settings_;
    double level[GeneratedPartials + 1] = {};
    double phase[GeneratedPartials + 1] = {};
    for (int32_t h = 1; h <= SignalHarmonicCount; ++h) {
        level[h] = s.shapeHarmonicLevel[h - 1];
        phase[h] = s.shapeHarmonicPhase[h - 1];
    }
    if (withHarmonics_) {
        const Harmonics& g = s.harmonics;
        double generated[GeneratedPartials + 1] = {};
        double peak = 0.0;
        for (int32_t h = 1; h <= GeneratedPartials; ++h) {
            double a = std::pow(double(h), -3.0 * g.slope);
            if (h > 1) a *= g.harmonicity;
            if (h % 2 == 0) a *= g.fullness;
            a *= std::pow(double(h), 1.5 * g.sharpen);
            if (!PowerOfTwo(h)) a *= 1.0 - g.harmonize;
            generated[h] = a;
            peak = std::max(peak, a);
        }
        generated[1] = std::max(generated[1], g.fundamentalMinimum * peak);
        peak = std::max(peak, generated[1]);
        for (int32_t h = 1; h <= GeneratedPartials && peak > 0.0; ++h) {
            double a = generated[h] / peak;
            if (a < g.clean) a = 0.0;
            a = std::pow(a, 1.0 - 0.9 * g.compress);
            if (h <= SignalHarmonicCount) {
                a *= g.level[h - 1];
                phase[h] += g.phase[h - 1];
            }
            phase[h] += g.noise * Scatter(h);
            level[h] += a;
        }
    }
    const float* sine = SineTable();
    double values[SignalTableSize];
    double peak = 0.0;
    for (int32_t i = 0; i < SignalTableSize; ++i) {
        double sum = 0.0;
        for (int32_t h = 1; h <= GeneratedPartials; ++h) {
            if (level[h] == 0.0) continue;
            const int64_t offset = static_cast<int64_t>(std::lround(phase[h] * SignalTableSize));
            sum += level[h] * sine[(static_cast<int64_t>(h) * i + offset) & (SignalTableSize - 1)];
        }
        values[i] = sum;
        peak = std::max(peak, std::fabs(sum));
    }
    for (int32_t i = 0; i < SignalTableSize; ++i) custom[i] = peak > 0.0 ? static_cast<float>(values[i] / peak) : 0.0f;
}

bool MSignalGenerator::CustomInputsChanged() const {
    const Settings& s = settings_;
    const Settings& c = customInputs_;
    const Harmonics& a = s.harmonics;
    const Harmonics& b = c.harmonics;
    return std::memcmp(s.shapeHarmonicLevel, c.shapeHarmonicLevel, sizeof s.shapeHarmonicLevel) != 0 ||
           std::memcmp(s.shapeHarmonicPhase, c.shapeHarmonicPhase, sizeof s.shapeHarmonicPhase) != 0 ||
           (withHarmonics_ && std::memcmp(&a, &b, sizeof a) != 0);
}

void MSignalGenerator::PrepareCustomShape() {
    const Settings& s = settings_;
    if (s.customMorph > 0.0 && (!customValid_ || CustomInputsChanged())) {
        ComputeCustomShape(custom_);
        customInputs_ = s;
        customValid_ = true;
    }
}

float MSignalGenerator::Entry(int32_t i) const {
    const Settings& s = settings_;
    const double u = Warp(s, i / double(SignalTableSize));
    if (u < 0.0) return 0.0f;
    const double index = u * SignalTableSize;
    double v = ShapeMix(s.shape, index);
    if (s.customMorph > 0.0) v += (TableValue(custom_, index) - v) * s.customMorph;
    if (s.stepSequencer > 0.0) {
        const double position = u * SignalStepCount;
        const int32_t k = std::min(static_cast<int32_t>(position), SignalStepCount - 1);
        auto level = [&](int32_t j) { return 2.0 * s.step[(j + SignalStepCount) % SignalStepCount] - 1.0; };
        const double stepped = StepShapeValue(s.stepShape[k], position - k, level(k - 1), level(k), level(k + 1));
        v += (stepped - v) * s.stepSequencer;
    }
    return static_cast<float>(v);
}

int32_t MSignalGenerator::SmoothingWidth() const {
    // "Smoothness": a moving average over up to an eighth of the period.
    return static_cast<int32_t>(std::lround(settings_.smoothness * SignalTableSize / 8));
}

float MSignalGenerator::SmoothedEntry(int32_t i) const {
    const int32_t width = SmoothingWidth();
    if (width <= 1) return Entry(i & (SignalTableSize - 1));
    double total = 0.0;
    for (int32_t k = i - width / 2; k < i - width / 2 + width; ++k) total += Entry(k & (SignalTableSize - 1));
    return static_cast<float>(total / width);
}

float MSignalGenerator::DirectValue(double phase) {
    // What TableValue reads from the table, computed for the two entries alone.
    PrepareCustomShape();
    const double index = Fraction(phase) * SignalTableSize;
    const double wrapped = index - SignalTableSize * std::floor(index / SignalTableSize);
    int32_t i = static_cast<int32_t>(wrapped);
    if (i >= SignalTableSize) i = SignalTableSize - 1;
    const float f = static_cast<float>(wrapped - i);
    const float a = SmoothedEntry(i), b = SmoothedEntry((i + 1) & (SignalTableSize - 1));
    return a + (b - a) * f;
}

void MSignalGenerator::Recompute() {
    PrepareCustomShape();
    for (int32_t i = 0; i < SignalTableSize; ++i) table_[i] = Entry(i);
    const int32_t width = SmoothingWidth();
    if (width > 1) {
        double prefix[SignalTableSize + 1];
        prefix[0] = 0.0;
        for (int32_t i = 0; i < SignalTableSize; ++i) prefix[i + 1] = prefix[i] + table_[i];
        auto sum = [&](int32_t from, int32_t to) {  // table_[from .. to), wrapping
            double total = 0.0;
            while (from < 0) from += SignalTableSize, to += SignalTableSize;
            for (int32_t a = from; a < to;) {
                const int32_t start = a % SignalTableSize, end = std::min(to - a + start, SignalTableSize);
                total += prefix[end] - prefix[start];
                a += end - start;
            }
            return total;
        };
        float smoothed[SignalTableSize];
        for (int32_t i = 0; i < SignalTableSize; ++i)
            smoothed[i] = static_cast<float>(sum(i - width / 2, i - width / 2 + width) / width);
        std::memcpy(table_, smoothed, sizeof table_);
    }
    changed_ = true;
    stale_ = false;
}

float MSignalGenerator::Value(double phase) {
    MAudioSafeLock hold(lock_);
    if (!hold.Held()) return lastValue_.Load();
    float value;
    if (MMutex::OnAudioThread()) {
        // A table that is not yet recomputed is read through its two entries.
        ApplyPending();
        value = stale_ ? DirectValue(phase) : TableValue(table_, Fraction(phase) * SignalTableSize);
    } else {
        Refresh();
        value = TableValue(table_, Fraction(phase) * SignalTableSize);
    }
    lastValue_.Store(value);
    return value;
}

void MSignalGenerator::CopyTable(float* out) {
    MLock hold(lock_);
    Refresh();
    std::memcpy(out, table_, sizeof table_);
}

}  // namespace corvane

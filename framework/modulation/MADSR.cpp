#include "framework/modulation/MADSR.h"

#include <algorithm>
#include <cmath>

#include "framework/modulation/MEnvelope.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

const char* const MADSR::SettingNames[SettingCount] = {"Delay",       "Attack",        "Hold",      "Decay",
                                                       "Release",     "Sustain",       "Smoothing", "Attack shape",
                                                       "Decay shape", "Release shape", "Reserved"};
const char* const MADSR::StorageKeys[SettingCount] = {"Delay",      "Attack",       "Hold",      "Decay",
                                                      "Release",    "Sustain",      "Smoothing", "AttackShape",
                                                      "DecayShape", "ReleaseShape", "Reserved"};

namespace {

bool IsTime(int32_t setting) { return setting <= MADSR::Release; }
bool IsShape(int32_t setting) { return setting >= MADSR::AttackShape && setting <= MADSR::ReleaseShape; }

// Limited to what the normalised travel reaches; a value inside stays
// exactly as given, so that stored states read back unchanged.
double Limited(int32_t setting, double value) {
    if (std::isnan(value)) return 0.0;
    const double low = IsShape(setting) ? -1.0 : 0.0, high = IsTime(setting) ? MADSR::MaxTime : 1.0;
    return std::min(std::max(value, low), high);
}

}  // namespace

MADSR::MADSR() {
    for (int32_t s = 0; s < SettingCount; ++s) values_[s].Store(DefaultValue(s));
    Refit();
}

double MADSR::DefaultValue(int32_t setting) {
    static const double defaults[SettingCount] = {0.0, 0.01, 0.0, 0.2, 0.3, 0.7, 0.0, 0.0, 0.0, 0.0, 0.0};
    return setting >= 0 && setting < SettingCount ? defaults[setting] : 0.0;
}

double MADSR::ToNormalised(int32_t setting, double value) {
    if (IsTime(setting)) return std::sqrt(std::max(value, 0.0) / MaxTime);
    if (IsShape(setting)) return (value + 1.0) / 2.0;
    return value;
}

double MADSR::FromNormalised(int32_t setting, double x) {
    x = x >= 0.0 ? std::min(x, 1.0) : 0.0;  // not-a-number becomes 0
    if (IsTime(setting)) return MaxTime * x * x;
    if (IsShape(setting)) return x * 2.0 - 1.0;
    return x;
}

double MADSR::Get(int32_t setting) const {
    if (setting < 0 || setting >= SettingCount) return 0.0;
    return values_[setting].Load();
}

void MADSR::Set(int32_t setting, double value) {
    if (setting < 0 || setting >= SettingCount) return;
    values_[setting].Store(Limited(setting, value));
    moved_.Store(true);
}

void MADSR::RefitIfMoved() {
    if (moved_.Exchange(false)) Refit();
}

void MADSR::Refit() {
    double v[SettingCount];
    for (int32_t s = 0; s < SettingCount; ++s) v[s] = values_[s].Load();
    const double attackStart = v[Delay], attackEnd = attackStart + v[Attack];
    const double decayStart = attackEnd + v[Hold], decayEnd = decayStart + v[Decay];
    const MEnvelope::Point held[4] = {{attackStart, 0.0, v[AttackShape], 1.0, SegmentMode3},
                                      {attackEnd, 1.0, 0.0, 1.0, SegmentMode1},
                                      {decayStart, 1.0, v[DecayShape], 1.0, SegmentMode3},
                                      {decayEnd, v[Sustain], 0.0, 1.0, SegmentMode1}};
    FitEnvelope(held, 4, SmoothingMode1, 0.0, held_);
    const MEnvelope::Point release[2] = {{0.0, 1.0, v[ReleaseShape], 1.0, SegmentMode3},
                                         {v[Release], 0.0, 0.0, 1.0, SegmentMode1}};
    FitEnvelope(release, 2, SmoothingMode1, 0.0, release_);
}

double MADSR::HeldLevel(double seconds) {
    MAudioSafeLock hold(lock_);
    if (!hold.Held()) return lastLevel_.Load();
    RefitIfMoved();
    // Before the attack begins the first point's level (0) holds.
    const double level = held_.Value(seconds);
    lastLevel_.Store(level);
    return level;
}

double MADSR::ReleaseLevel(double seconds, double from) {
    MAudioSafeLock hold(lock_);
    if (!hold.Held()) return lastLevel_.Load();
    RefitIfMoved();
    const double level = from * release_.Value(seconds);
    lastLevel_.Store(level);
    return level;
}

void MADSR::Store(MStoreContext& context) {
    for (int32_t s = 0; s < SettingCount; ++s) {
        double value = values_[s].Load();
        context.Real(StorageKeys[s], value, StorePolicy::DefaultElided, DefaultValue(s));
        if (!context.storing) values_[s].Store(Limited(s, value));
    }
    if (!context.storing) moved_.Store(true);
}

}  // namespace corvane

#pragma once
// An ADSR envelope: delay, attack, hold, decay to the sustain level, and a
// release from wherever the level was when the note ended. Each stage is a
// curve segment ("Mode 3": powers up to 256) whose bend is its shape
// setting; 0 makes it a straight line. Settings are written without a
// lock from any thread; the stages are refitted by the next level read.

#include <cstdint>

#include "framework/core/MLock.h"
#include "framework/core/Shared.h"
#include "framework/modulation/MEnvelopeComputer.h"
#include "platform/MMutex.h"

namespace corvane {

class MStoreContext;

class MADSR {
public:
    // In host parameter order.
    enum Setting : int32_t {
        Delay,
        Attack,
        Hold,
        Decay,
        Release,
        Sustain,
        Smoothing,
        AttackShape,
        DecayShape,
        ReleaseShape,
        Reserved,
        SettingCount
    };
    static const char* const SettingNames[SettingCount];
    static const char* const StorageKeys[SettingCount];
    // Stage times run from 0 to this many seconds, on a square-law travel.
    static constexpr double MaxTime = 10.0;

    MADSR();
    MADSR(const MADSR&) = delete;
    MADSR& operator=(const MADSR&) = delete;

    // [any thread] Physical values: seconds for the five times, 0 .. 1 for
    // sustain, smoothing and reserved, -1 .. 1 for the shapes.
    double Get(int32_t setting) const;
    void Set(int32_t setting, double value);
    static double DefaultValue(int32_t setting);
    static double ToNormalised(int32_t setting, double value);
    static double FromNormalised(int32_t setting, double normalised);

    // [any thread] The level `seconds` after the note began, while it is
    // held. On the audio thread, while another thread refits the stages, the
    // previous level read.
    double HeldLevel(double seconds);
    // The level `seconds` after the note ended at level `from`, the same way.
    double ReleaseLevel(double seconds, double from);

    void Store(MStoreContext& context);
    MMutex& Lock() { return lock_; }

private:
    // Under the lock: refits the stages when a setting moved since.
    void RefitIfMoved();
    void Refit();

    Shared<double> values_[SettingCount];
    Shared<bool> moved_{false};
    Shared<double> lastLevel_{0.0};
    MEnvelopeComputer held_, release_;
    MMutex lock_;
};

}  // namespace corvane

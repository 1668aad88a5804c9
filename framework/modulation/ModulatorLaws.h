#pragma once
// The arithmetic a modulator applies each block, free of any state: the
// range mapping of a target, the follower's level laws, the random mode's
// noise and the tempo synchronisation factor.

#include <cstdint>

namespace corvane {

enum MRangeMode : int32_t { RangeUpAndDown, RangeFullRange, RangeUpOnly, RangeDownOnly, RangeInterval };
extern const char* const RangeModeNames[5];

struct TargetRange {
    double value = 0.5;     // centre or start, 0 .. 1
    double maxValue = 1.0;  // end of the interval mode
    double range = 1.0;     // depth, 0 .. 1
    int32_t mode = RangeUpAndDown;
};

// The normalised target value for a modulator output s in -1 .. 1.
double MapToTarget(const TargetRange& target, double s, bool invert);

enum MLFOFollowerMode : int32_t { FollowerLinear, FollowerSquared, FollowerLogarithmic, FollowerDirect };
extern const char* const FollowerModeNames[4];

// A level v (linear gain; for Direct the block's average of its minimum and
// maximum sample) as x in 0 .. 1 between the two levels in dB.
double FollowerPosition(int32_t mode, double v, double levelMinDb, double levelMaxDb);

// The random mode's value at position p (quarter notes times 2^Speed):
// hashed noise at whole positions, joined linearly and by Catmull-Rom and
// mixed by the smoothness. The same p always gives the same value, 0 .. 1.
double RandomNoise(int64_t j);
double RandomValue(double position, double smoothness);

enum SyncType : int32_t { SyncStraight, SyncTriplets, SyncDotted, SyncTuplets };
extern const char* const SyncTypeNames[4];
constexpr int32_t SyncLengthCount = 15;
// Cycles per whole note: 2^(length - 7) times the type's factor.
double SyncCyclesPerWholeNote(int32_t length, int32_t type);

}  // namespace corvane

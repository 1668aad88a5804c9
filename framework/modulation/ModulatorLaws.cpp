#include "framework/modulation/ModulatorLaws.h"

#include <algorithm>
#include <cmath>

namespace corvane {

const char* const RangeModeNames[5] = {"Up and down", "Full range", "Up only", "Down only", "Interval"};
const char* const FollowerModeNames[4] = {"Linear", "Squared", "Logarithmic", "Direct"};
const char* const SyncTypeNames[4] = {"Straight", "Triplets", "Dotted", "Tuplets"};

namespace {

double Limit01(double x) { return x >= 0.0 ? (x > 1.0 ? 1.0 : x) : 0.0; }

}  // namespace

double MapToTarget(const TargetRange& target, double s, bool invert) {
    if (invert) s = -s;
    const double v = target.value, r = target.range, t = (s + 1.0) / 2.0;
    switch (target.mode) {
        case RangeUpAndDown:
            return v + std::min({r / 2.0, v, 1.0 - v}) * s;
        case RangeFullRange: {
            // The centre moves in so that the whole depth fits inside 0 .. 1.
            const double half = r / 2.0;
            double c;
            if (half > std::min(v, 1.0 - half))
                c = half;
            else if (v <= 1.0 - half)
                c = v;
            else
                c = 1.0 - half;
            return c + half * s;
        }
        case RangeUpOnly:
            return v + t * std::min(r, 1.0 - v);
        case RangeDownOnly:
            return v - t * std::min(r, v);
        case RangeInterval:
            return v + (target.maxValue - v) * t;
        default:
            return v;
    }
}

double FollowerPosition(int32_t mode, double v, double levelMinDb, double levelMaxDb) {
    const double topDb = std::max(levelMaxDb, levelMinDb + 1.0);
    const double amin = std::pow(10.0, levelMinDb / 20.0), amax = std::pow(10.0, topDb / 20.0);
    switch (mode) {
        case FollowerLinear:
            return Limit01((v - amin) / (amax - amin));
        case FollowerSquared:
            return std::sqrt(Limit01((v - amin) / (amax - amin)));
        case FollowerLogarithmic:
            return Limit01((20.0 * std::log10(std::min(std::max(v, amin), amax)) - levelMinDb) / (topDb - levelMinDb));
        default:
            return Limit01((v + amin) / (amax + amin));
    }
}

double RandomNoise(int64_t j) {
    uint64_t z = static_cast<uint64_t>(j) * 0x7F902C850237D73Dull;
    z = (((z >> 18) ^ z) >> 19) ^ z;
    return static_cast<double>(z % 65536) / 65535.0;
}

double RandomValue(double position, double smoothness) {
    const double k = std::floor(position), t = position - k;
    const int64_t j = static_cast<int64_t>(k);
    const double y0 = RandomNoise(j), y1 = RandomNoise(j + 1), y2 = RandomNoise(j + 2), y3 = RandomNoise(j + 3);
    const double linear = (1.0 - t) * y1 + t * y2;
    const double a = y1, b = (y2 - y0) / 2.0, c = y0 - 2.5 * y1 + 2.0 * y2 - 0.5 * y3,
                 d = (3.0 * (y1 - y2) - y0 + y3) / 2.0;
    const double cubic = ((d * t + c) * t + b) * t + a;
    return smoothness * cubic + (1.0 - smoothness) * linear;
}

double SyncCyclesPerWholeNote(int32_t length, int32_t type) {
    static const double typeFactor[4] = {1.0, 1.5, 4.0 / 3.0, 1.25};
    length = std::min(std::max(length, 0), SyncLengthCount - 1);
    type = std::min(std::max(type, 0), 3);
    return std::exp2(length - 7) * typeFactor[type];
}

}  // namespace corvane

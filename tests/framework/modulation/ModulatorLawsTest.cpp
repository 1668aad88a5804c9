#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/modulation/ModulatorLaws.h"

using namespace corvane;

namespace {

TEST(ModulatorLaws, RangeMappingTable) {
    struct Case {
        const char* name;
        TargetRange target;
        bool invert;
        double atMinus1, atZero, atPlus1;
    } cases[] = {
        {"up and down near the bottom", {0.1, 1.0, 1.0, RangeUpAndDown}, false, 0.0, 0.1, 0.2},
        {"up and down in the middle", {0.5, 1.0, 0.4, RangeUpAndDown}, false, 0.3, 0.5, 0.7},
        {"full range near the bottom", {0.1, 1.0, 0.5, RangeFullRange}, false, 0.0, 0.25, 0.5},
        {"full range in the middle", {0.5, 1.0, 0.5, RangeFullRange}, false, 0.25, 0.5, 0.75},
        {"full range near the top", {0.9, 1.0, 0.5, RangeFullRange}, false, 0.5, 0.75, 1.0},
        {"up only", {0.1, 1.0, 0.5, RangeUpOnly}, false, 0.1, 0.35, 0.6},
        {"up only at the top", {0.8, 1.0, 0.5, RangeUpOnly}, false, 0.8, 0.9, 1.0},
        {"down only", {0.7, 1.0, 0.5, RangeDownOnly}, false, 0.7, 0.45, 0.2},
        {"interval", {0.2, 0.8, 1.0, RangeInterval}, false, 0.2, 0.5, 0.8},
        {"interval inverted", {0.2, 0.8, 1.0, RangeInterval}, true, 0.8, 0.5, 0.2},
        {"up and down inverted", {0.1, 1.0, 1.0, RangeUpAndDown}, true, 0.2, 0.1, 0.0},
        {"unknown mode holds the value", {0.3, 1.0, 1.0, 9}, false, 0.3, 0.3, 0.3},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(MapToTarget(c.target, -1.0, c.invert), c.atMinus1, 1e-12) << c.name;
        EXPECT_NEAR(MapToTarget(c.target, 0.0, c.invert), c.atZero, 1e-12) << c.name;
        EXPECT_NEAR(MapToTarget(c.target, 1.0, c.invert), c.atPlus1, 1e-12) << c.name;
    }
}

TEST(ModulatorLaws, FollowerLevelLaws) {
    const double v = std::pow(10.0, -40.0 / 20.0);  // -40 dB between -60 and 0 dB
    EXPECT_NEAR(FollowerPosition(FollowerLogarithmic, v, -60.0, 0.0), 1.0 / 3.0, 1e-12);
    const double amin = 0.001;
    const double linear = (v - amin) / (1.0 - amin);
    EXPECT_NEAR(FollowerPosition(FollowerLinear, v, -60.0, 0.0), linear, 1e-12);              // about 0.01
    EXPECT_NEAR(FollowerPosition(FollowerSquared, v, -60.0, 0.0), std::sqrt(linear), 1e-12);  // about 0.1
    EXPECT_NEAR(FollowerPosition(FollowerDirect, 0.0, -60.0, 0.0), amin / (1.0 + amin), 1e-12);
    // Levels beyond the ends are limited; a maximum not above the minimum is taken 1 dB above it.
    EXPECT_EQ(FollowerPosition(FollowerLogarithmic, 10.0, -60.0, 0.0), 1.0);
    EXPECT_EQ(FollowerPosition(FollowerLinear, 0.0, -60.0, 0.0), 0.0);
    EXPECT_NEAR(FollowerPosition(FollowerLogarithmic, std::pow(10.0, -29.5 / 20.0), -30.0, -40.0), 0.5, 1e-12);
}

TEST(ModulatorLaws, RandomValuesDependOnThePositionAlone) {
    // Whole positions give the hashed noise of the next point (the curve runs through y1).
    for (int64_t j : {0, 1, 17, 1000000})
        EXPECT_DOUBLE_EQ(RandomValue(static_cast<double>(j), 0.7), RandomNoise(j + 1));
    // The hash, spelled out for one value.
    uint64_t z = 5ull * 0x7F902C850237D73Dull;
    z = (((z >> 18) ^ z) >> 19) ^ z;
    EXPECT_DOUBLE_EQ(RandomNoise(5), static_cast<double>(z % 65536) / 65535.0);
    // Smoothness 0 is the straight line between the points; values stay in 0 .. 1 either way.
    EXPECT_DOUBLE_EQ(RandomValue(3.25, 0.0), 0.75 * RandomNoise(4) + 0.25 * RandomNoise(5));
    for (double p = 0.0; p < 50.0; p += 0.37) {
        const double value = RandomValue(p, 1.0);
        EXPECT_GE(value, -0.25) << p;  // Catmull-Rom may overshoot a little
        EXPECT_LE(value, 1.25) << p;
        EXPECT_EQ(value, RandomValue(p, 1.0));
    }
}

TEST(ModulatorLaws, SyncLengthsAndTypes) {
    EXPECT_EQ(SyncCyclesPerWholeNote(0, SyncStraight), 1.0 / 128);
    EXPECT_EQ(SyncCyclesPerWholeNote(7, SyncStraight), 1.0);  // one bar of 4/4: 0.5 Hz at 120 BPM
    EXPECT_EQ(SyncCyclesPerWholeNote(14, SyncStraight), 128.0);
    EXPECT_EQ(SyncCyclesPerWholeNote(9, SyncTriplets), 6.0);
    EXPECT_DOUBLE_EQ(SyncCyclesPerWholeNote(8, SyncDotted), 8.0 / 3.0);
    EXPECT_EQ(SyncCyclesPerWholeNote(8, SyncTuplets), 2.5);
    EXPECT_EQ(SyncCyclesPerWholeNote(99, 99), 128.0 * 1.25) << "limited to the tables";
    // inc = tempo / (rate * 240) * k: one bar at 120 BPM is 0.5 cycles a second.
    EXPECT_DOUBLE_EQ(120.0 / (48000.0 * 240.0) * SyncCyclesPerWholeNote(7, SyncStraight) * 48000.0, 0.5);
}

}  // namespace

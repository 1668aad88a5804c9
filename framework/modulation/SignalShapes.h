#pragma once
// The 16 built-in oscillator shapes: one period each as a wave table of
// 8192 single-precision values, built once for the process.

#include <cstdint>
#include <string>

#include "framework/parameters/MValue.h"

namespace corvane {

constexpr int32_t SignalShapeCount = 16;
constexpr int32_t SignalTableSize = 8192;

extern const char* const SignalShapeNames[SignalShapeCount];

enum SignalShape : int32_t {
    ShapeExponencial,
    ShapeTriangle,
    ShapeSinePower8,
    ShapeSinePower4,
    ShapeSineSquare,
    ShapeSine,
    ShapeHarmonics,
    ShapeMoreHarmonics,
    ShapeDisharmonics,
    ShapeSineSquareRoot,
    ShapeSine4Root,
    ShapeRectangle,
    ShapeSaw,
    ShapeFullSaw,
    ShapeNoise,
    ShapeMess,
};

// [any thread] The table of one shape; the first call builds all of them.
const float* BuiltInShapeTable(int32_t shape);

// The two built-in shapes a position (limited to 0 .. 15) lies between, and
// how far towards the second: the last position is all of the last shape.
struct ShapeNeighbours {
    int32_t first;
    double fraction;
};
ShapeNeighbours NeighboursAt(double position);

// A table entry at a fractional index, mixing its two neighbours (the
// period wraps around).
float TableValue(const float* table, double index);

// "Sine", or "30% Sine, 70% Harmonics" for a position between two shapes.
std::string ShapeMixText(double position);

class MValueSignalGeneratorShape : public MValueDouble {
public:
    using MValueDouble::MValueDouble;
    const char* ClassName() const override { return "MValueSignalGeneratorShape"; }
    std::string GetTextFor(double value) const override { return ShapeMixText(value); }
};

}  // namespace corvane

#include "framework/modulation/SignalShapes.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "framework/core/Strings.h"
#include "framework/parameters/Format.h"

namespace corvane {

const char* const SignalShapeNames[SignalShapeCount] = {
    "Exponencial",    "Triangle",     "Sine power 8",     "Sine power 4", "Sine square", "Sine", "Harmonics",
    "More harmonics", "Disharmonics", "Sine square root", "Sine 4-root",  "Rectangle",   "Saw",  "Full saw",
    "Noise",          "Mess"};

namespace {

constexpr int32_t Half = SignalTableSize / 2;
constexpr int32_t Quarter = SignalTableSize / 4;

using Table = float[SignalTableSize];

// A positive lobe from the quarter-wave q over the first half, its negative
// over the second.
template <class Q>
void QuarterWave(Table& t, Q q) {
    t[0] = static_cast<float>(q(0.0));
    for (int32_t i = 1; i <= Quarter; ++i) t[i] = t[Half - i] = static_cast<float>(q(i / double(Quarter)));
    for (int32_t j = 0; j < Half; ++j) t[Half + j] = -t[j];
}

double Sin(double t) { return std::sin(M_PI * t / 2.0); }

// Sums of sines over one period; `peak` 0 keeps the weights as they are.
void SineSum(Table& t, const double* partials, const double* weights, int32_t count, bool normalise) {
    double values[SignalTableSize];
    double peak = 0.0;
    for (int32_t i = 0; i < SignalTableSize; ++i) {
        const double x = 2.0 * M_PI * i / SignalTableSize;
        double sum = 0.0;
        for (int32_t k = 0; k < count; ++k) sum += weights[k] * std::sin(partials[k] * x);
        values[i] = sum;
        peak = std::max(peak, std::fabs(sum));
    }
    const double scale = normalise && peak > 0.0 ? 1.0 / peak : 1.0;
    for (int32_t i = 0; i < SignalTableSize; ++i) t[i] = static_cast<float>(values[i] * scale);
}

// Its own generator (the process-wide one's formula), so the noise shapes
// are the same in every process whatever else has drawn random numbers.
struct ShapeRandom {
    uint32_t state;
    double Next() {  // -1 .. 1
        state = state * 214013u + 2531011u;
        return ((state >> 16) & 0x7FFF) / 16383.5 - 1.0;
    }
};

struct ShapeTables {
    Table tables[SignalShapeCount];

    ShapeTables() {
        QuarterWave(tables[ShapeExponencial], [](double t) { return std::pow(t, 4.0); });
        QuarterWave(tables[ShapeTriangle], [](double t) { return t; });
        QuarterWave(tables[ShapeSinePower8], [](double t) { return std::pow(Sin(t), 8.0); });
        QuarterWave(tables[ShapeSinePower4], [](double t) { return std::pow(Sin(t), 4.0); });
        QuarterWave(tables[ShapeSineSquare], [](double t) { return Sin(t) * Sin(t); });
        QuarterWave(tables[ShapeSine], [](double t) { return Sin(t); });
        QuarterWave(tables[ShapeSineSquareRoot], [](double t) { return std::sqrt(Sin(t)); });
        QuarterWave(tables[ShapeSine4Root], [](double t) { return std::pow(Sin(t), 0.2); });
        QuarterWave(tables[ShapeRectangle], [](double) { return 1.0; });

        // A bright series and a brighter one, each scaled to a peak of 1.
        const double three[3] = {1, 2, 3}, threeWeights[3] = {1, 1.0 / 2, 1.0 / 3};
        SineSum(tables[ShapeHarmonics], three, threeWeights, 3, true);
        double eight[8], eightWeights[8];
        for (int32_t h = 0; h < 8; ++h) eight[h] = h + 1, eightWeights[h] = 1.0 / (h + 1);
        SineSum(tables[ShapeMoreHarmonics], eight, eightWeights, 8, true);
        const double dis[5] = {1.0, 2.2, 2.4, 2.6, 2.8}, disWeights[5] = {0.3, 0.2, 0.2, 0.2, 0.1};
        SineSum(tables[ShapeDisharmonics], dis, disWeights, 5, false);

        // "Saw": each half a ramp from 0 to its peak, the second half negative
        // like the symmetric shapes. "Full saw": one ramp over the period.
        Table& saw = tables[ShapeSaw];
        for (int32_t i = 0; i < Half; ++i) saw[i] = static_cast<float>(i / double(Half));
        for (int32_t j = 0; j < Half; ++j) saw[Half + j] = -saw[j];
        Table& fullSaw = tables[ShapeFullSaw];
        for (int32_t i = 0; i < SignalTableSize; ++i) {
            const double t = i / double(SignalTableSize) + 0.5;
            fullSaw[i] = static_cast<float>(2.0 * (t - std::floor(t)) - 1.0);
        }

        // "Noise": white values; "Mess": twelve partials of random weight and phase.
        ShapeRandom noise{1};
        for (float& v : tables[ShapeNoise]) v = static_cast<float>(noise.Next());
        ShapeRandom mess{2};
        double values[SignalTableSize] = {};
        double peak = 0.0;
        for (int32_t h = 1; h <= 12; ++h) {
            const double weight = (mess.Next() + 1.0) / (2.0 * h), phase = M_PI * mess.Next();
            for (int32_t i = 0; i < SignalTableSize; ++i)
                values[i] += weight * std::sin(2.0 * M_PI * h * i / SignalTableSize + phase);
        }
        for (double v : values) peak = std::max(peak, std::fabs(v));
        for (int32_t i = 0; i < SignalTableSize; ++i) tables[ShapeMess][i] = static_cast<float>(values[i] / peak);
    }
};

}  // namespace

const float* BuiltInShapeTable(int32_t shape) {
    // Built on first use, once for the process (thread-safe static).
    static const std::unique_ptr<ShapeTables> tables = std::make_unique<ShapeTables>();
    return tables->tables[std::min(std::max(shape, 0), SignalShapeCount - 1)];
}

float TableValue(const float* table, double index) {
    const double wrapped = index - SignalTableSize * std::floor(index / SignalTableSize);
    int32_t i = static_cast<int32_t>(wrapped);
    if (i >= SignalTableSize) i = SignalTableSize - 1;  // a hair below the period's end rounds up
    const float f = static_cast<float>(wrapped - i);
    const float a = table[i], b = table[(i + 1) & (SignalTableSize - 1)];
    return a + (b - a) * f;
}

ShapeNeighbours NeighboursAt(double position) {
    const double s = std::isnan(position) ? 0.0 : std::min(std::max(position, 0.0), double(SignalShapeCount - 1));
    const int32_t i = std::min(static_cast<int32_t>(s), SignalShapeCount - 2);
    return {i, s - i};
}

std::string ShapeMixText(double position) {
    const ShapeNeighbours n = NeighboursAt(position);
    const int32_t i = n.first;
    const double f = n.fraction;
    const int64_t p = static_cast<int64_t>(RoundHalfUp(f * 100.0));
    if (p == 0) return SignalShapeNames[i];
    if (p == 100) return SignalShapeNames[i + 1];
    return FormatText("{0}% {1}, {2}% {3}",
                      {int64_t(100 - p), std::string(SignalShapeNames[i]), p, std::string(SignalShapeNames[i + 1])});
}

}  // namespace corvane

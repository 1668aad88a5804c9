#include "framework/modulation/MEnvelopeItems.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// x modulo m into 0 .. m, also for x below 0.
double Wrapped(double x, double m) { return x - m * std::floor(x / m); }

}  // namespace

void MEnvelopeItem::Fill(float* out, double first, double step, int32_t count) const {
    for (int32_t i = 0; i < count; ++i) out[i] = static_cast<float>(Value(BlockPosition(first, step, i)));
}

void MEnvelopeItem::Fill(double* out, double first, double step, int32_t count) const {
    for (int32_t i = 0; i < count; ++i) out[i] = Value(BlockPosition(first, step, i));
}

double MEnvelopeItem::Slope(double x) const { return (Value(x) - Value(x - 1e-10)) * 1e10; }

double ItemBezier::Parameter(double x) const {
    if (linearInX) return x;
    // Rounding can push the radicand a hair below 0 at the segment's ends.
    return r * std::sqrt(std::max(p * x + q, 0.0)) + o;
}

double ItemBezier::Value(double x) const {
    const double t = Parameter(x);
    return (A * t + B) * t + C;
}

double ItemBezier::Slope(double x) const {
    const double t = Parameter(x);
    const double radicand = p * x + q;
    if (linearInX) return 2.0 * A * t + B;
    if (radicand <= 0.0) return MEnvelopeItem::Slope(x);
    return (2.0 * A * t + B) * r * p / (2.0 * std::sqrt(radicand));
}

double ItemExponencial::Value(double x) const {
    const double u = std::pow(std::max((x + offset) * k, 0.0), e1);
    return base + range * (1.0 - std::pow(std::max(0.0, 1.0 - u), e2));
}

double ItemStairs::Value(double x) const { return base + step * std::trunc((x - start) * n); }

double ItemPulses::Value(double x) const {
    const double index = std::trunc((x - start) * f);
    return Wrapped(index, 2.0) < 1.0 ? first : second;
}

double ItemSaw::Value(double x) const { return base + amplitude * Wrapped((x - start) * f, 1.0); }

double ItemTriangles::Value(double x) const {
    return base + amplitude * (1.0 - std::fabs(Wrapped((x - start) * f, 2.0) - 1.0));
}

double ItemSines::Value(double x) const { return base + amplitude * std::sin((x - start) * w - M_PI / 2.0); }

double ItemSines::Slope(double x) const { return amplitude * w * std::cos((x - start) * w - M_PI / 2.0); }

}  // namespace corvane

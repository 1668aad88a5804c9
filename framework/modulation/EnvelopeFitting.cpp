// How each segment type becomes an item. A segment runs from point P0 to
// P1 over width w; in the segment's own coordinate t = (x - x0) / w its
// shape is y0 + dy * f(t) with f(0) = 0 and f(1) = 1, and the curvature c
// (-1 .. 1) bends f above the diagonal for c > 0 and below it for c < 0.
// Polynomials are fitted in t and then expanded into x, the form the items
// evaluate.

#include <algorithm>
#include <cmath>

#include "framework/modulation/MEnvelope.h"

namespace corvane {

namespace {

constexpr double NoCurvature = 1e-9;

// Coefficients of sum rel[k] * ((x - x0) / w)^k as a polynomial in x,
// highest power first in `out` (degree + 1 of them).
void ExpandInX(const double* rel, int32_t degree, double x0, double w, double* out) {
    double ascending[5] = {};
    for (int32_t k = 0; k <= degree; ++k) {
        // rel[k] / w^k * (x - x0)^k, binomially.
        const double scale = rel[k] / std::pow(w, k);
        double binomial = 1.0;
        for (int32_t j = 0; j <= k; ++j) {
            // term: binomial(k, j) * x^j * (-x0)^(k - j)
            ascending[j] += scale * binomial * std::pow(-x0, k - j);
            binomial = binomial * (k - j) / (j + 1);
        }
    }
    for (int32_t k = 0; k <= degree; ++k) out[k] = ascending[degree - k];
}

struct Segment {
    double x0, y0, x1, y1, c;
    double Width() const { return x1 - x0; }
    double Rise() const { return y1 - y0; }
};

// f(t) = (1 - |c|) t + |c| g(t), with g = 1 - (1 - t)^n above the diagonal and t^n below.
void BlendedPowerInT(const Segment& s, int32_t n, double* rel) {
    const double a = std::fabs(s.c);
    double f[5] = {0, 1.0 - a, 0, 0, 0};
    if (s.c > 0) {
        // 1 - (1 - t)^n = -sum_{k=1..n} binomial(n, k) (-t)^k
        double binomial = 1.0;
        for (int32_t k = 1; k <= n; ++k) {
            binomial = binomial * (n - k + 1) / k;
            f[k] += a * -binomial * ((k % 2 == 0) ? 1.0 : -1.0);
        }
    } else {
        f[n] += a;
    }
    for (int32_t k = 0; k <= 4; ++k) rel[k] = s.Rise() * f[k];
    rel[0] += s.y0;
}

ItemFourthOrder FourthOrderFor(const Segment& s) {
    double rel[5], abs[5];
    BlendedPowerInT(s, 4, rel);
    ExpandInX(rel, 4, s.x0, s.Width(), abs);
    return ItemFourthOrder(abs[0], abs[1], abs[2], abs[3], abs[4]);
}

// The vector twin when the computer's vector switch is on, else the plain item.
template <class Vector, class Plain>
void AddPlainOrVector(MEnvelopeComputer& computer, double start, const Plain& plain) {
    if (computer.vectorSwitch)
        computer.Add(start, Vector(plain));
    else
        computer.Add(start, plain);
}

void AddQuadratic(MEnvelopeComputer& computer, const Segment& s) {
    double rel[5], abs[3];
    BlendedPowerInT(s, 2, rel);
    ExpandInX(rel, 2, s.x0, s.Width(), abs);
    AddPlainOrVector<ItemQuadraticSSE>(computer, s.x0, ItemQuadratic(abs[0], abs[1], abs[2]));
}

void AddFourthOrder(MEnvelopeComputer& computer, const Segment& s) {
    AddPlainOrVector<ItemFourthOrderSSE>(computer, s.x0, FourthOrderFor(s));
}

// f = 1 - (1 - t)^e2 above the diagonal, t^e1 below, with powers up to 256:
// the widest range of bends of all types.
void AddExponencial(MEnvelopeComputer& computer, const Segment& s) {
    ItemExponencial item;
    item.offset = -s.x0;
    item.k = 1.0 / s.Width();
    item.e1 = s.c < 0 ? std::exp2(-8.0 * s.c) : 1.0;
    item.e2 = s.c > 0 ? std::exp2(8.0 * s.c) : 1.0;
    item.base = s.y0;
    item.range = s.Rise();
    computer.Add(s.x0, item);
}

// The control point sits on the segment's anti-diagonal: at the middle for
// c = 0, at (x0, y1) for c = 1 and at (x1, y0) for c = -1.
void AddBezier(MEnvelopeComputer& computer, const Segment& s) {
    const double w = s.Width();
    const double xc = (s.x0 + s.x1) / 2 - s.c * w / 2;
    const double yc = (s.y0 + s.y1) / 2 + s.c * s.Rise() / 2;
    const double ax = s.x0 - 2 * xc + s.x1, bx = 2 * (xc - s.x0);
    ItemBezier item;
    const double ay = s.y0 - 2 * yc + s.y1, by = 2 * (yc - s.y0), cy = s.y0;
    if (std::fabs(ax) < 1e-6 * w) {
        // x(t) is a line, t = (x - x0) / w: the value polynomial speaks in x directly.
        const double rel[3] = {cy, by, ay};
        double abs[3];
        ExpandInX(rel, 2, s.x0, w, abs);
        item.linearInX = true;
        item.A = abs[0];
        item.B = abs[1];
        item.C = abs[2];
    } else {
        // The root of ax t^2 + bx t + x0 = x that lies in 0 .. 1.
        item.r = 1.0 / (2 * ax);
        item.p = 4 * ax;
        item.q = bx * bx - 4 * ax * s.x0;
        item.o = -bx / (2 * ax);
        item.A = ay;
        item.B = by;
        item.C = cy;
    }
    AddPlainOrVector<ItemBezierSSE>(computer, s.x0, item);
}

// An S: the first half bends one way to the middle value, the second the other.
void AddDouble(MEnvelopeComputer& computer, const Segment& s) {
    const double xm = (s.x0 + s.x1) / 2, ym = (s.y0 + s.y1) / 2;
    computer.Add(s.x0,
                 ItemDouble(FourthOrderFor({s.x0, s.y0, xm, ym, s.c}), FourthOrderFor({xm, ym, s.x1, s.y1, -s.c}), xm));
}

// Tangent at point k for the smooth types; the ends take their one segment's slope.
double Tangent(const MEnvelope::Point* p, int32_t count, int32_t k, bool monotone) {
    auto secant = [&](int32_t a) {
        const double w = p[a + 1].x - p[a].x;
        return w > MEnvelopeComputer::MinimumWidth ? (p[a + 1].y - p[a].y) / w : 0.0;
    };
    if (count < 2) return 0.0;
    if (k == 0) return secant(0);
    if (k == count - 1) return secant(count - 2);
    const double left = secant(k - 1), right = secant(k);
    if (monotone) {
        // Fritsch-Carlson: flat at a peak or valley, else the harmonic mean.
        if (left * right <= 0.0) return 0.0;
        return 2.0 * left * right / (left + right);
    }
    const double span = p[k + 1].x - p[k - 1].x;
    return span > MEnvelopeComputer::MinimumWidth ? (p[k + 1].y - p[k - 1].y) / span : 0.0;
}

void AddSmooth(MEnvelopeComputer& computer, const MEnvelope::Point* p, int32_t count, int32_t k, int32_t method) {
    const MEnvelope::Point& a = p[k];
    const MEnvelope::Point& b = p[k + 1];
    double m0, m1;
    if (a.segmentType == SegmentSmooth1) {
        const bool monotone = method == SmoothingMode1;
        m0 = Tangent(p, count, k, monotone);
        m1 = Tangent(p, count, k + 1, monotone);
    } else {
        m0 = Tangent(p, count, k, false) * a.smoothness;
        m1 = Tangent(p, count, k + 1, false) * b.smoothness;
    }
    // Cubic Hermite in t.
    const double w = b.x - a.x;
    const double rel[4] = {a.y, w * m0, -3 * a.y - 2 * w * m0 + 3 * b.y - w * m1, 2 * a.y + w * m0 - 2 * b.y + w * m1};
    double abs[4];
    ExpandInX(rel, 3, a.x, w, abs);
    AddPlainOrVector<ItemCubicSSE>(computer, a.x, ItemCubic(abs[0], abs[1], abs[2], abs[3]));
}

// How many stairs, pulses, teeth, triangles or waves: 1 straight, 32 at full curvature.
double RepeatCount(double c) { return 1.0 + std::round(std::fabs(c) * 31.0); }

void AddRepeating(MEnvelopeComputer& computer, const Segment& s, int32_t type) {
    const double n = RepeatCount(s.c), w = s.Width();
    switch (type) {
        case SegmentStairs: {
            ItemStairs item;  // n risers of equal height; the last reaches y1 at x1
            item.base = s.y0;
            item.step = s.Rise() / n;
            item.n = n / w;
            computer.Add(s.x0, item);
            return;
        }
        case SegmentPulses: {
            ItemPulses item;  // n pulses: y0 then y1 in each
            item.first = s.y0;
            item.second = s.y1;
            item.f = 2 * n / w;
            computer.Add(s.x0, item);
            return;
        }
        case SegmentSaw: {
            ItemSaw item;
            item.base = s.y0;
            item.amplitude = s.Rise();
            item.f = n / w;
            computer.Add(s.x0, item);
            return;
        }
        case SegmentTriangles: {
            ItemTriangles item;
            item.base = s.y0;
            item.amplitude = s.Rise();
            item.f = 2 * n / w;
            computer.Add(s.x0, item);
            return;
        }
        default: {
            ItemSines item;  // an odd number of half waves, so it ends at y1
            item.base = (s.y0 + s.y1) / 2;
            item.amplitude = s.Rise() / 2;
            item.w = M_PI * (2 * n - 1) / w;
            computer.Add(s.x0, item);
            return;
        }
    }
}

void AddSegment(MEnvelopeComputer& computer, const MEnvelope::Point* p, int32_t count, int32_t k, int32_t method) {
    const MEnvelope::Point& a = p[k];
    const MEnvelope::Point& b = p[k + 1];
    const Segment s{a.x, a.y, b.x, b.y, a.curvature};
    if (s.Width() < MEnvelopeComputer::MinimumWidth) {
        computer.Add(a.x, ItemConstant(b.y));
        return;
    }
    const int32_t type = a.segmentType;
    if (type <= SegmentDouble1 && std::fabs(s.c) < NoCurvature) {
        const double slope = s.Rise() / s.Width();
        computer.Add(a.x, ItemLinear(slope, s.y0 - slope * s.x0));
        return;
    }
    switch (type) {
        case SegmentMode1:
            AddQuadratic(computer, s);
            return;
        case SegmentMode2:
            AddFourthOrder(computer, s);
            return;
        case SegmentMode3:
            AddExponencial(computer, s);
            return;
        case SegmentFree1:
            AddBezier(computer, s);
            return;
        case SegmentDouble1:
            AddDouble(computer, s);
            return;
        case SegmentSmooth1:
        case SegmentSmooth2:
            AddSmooth(computer, p, count, k, method);
            return;
        default:
            AddRepeating(computer, s, type);
            return;
    }
}

}  // namespace

void FitEnvelope(const MEnvelope::Point* points, int32_t count, int32_t smoothingMethod, double emptyValue,
                 MEnvelopeComputer& computer) {
    computer.Clear();
    if (count == 0) {
        computer.Add(0.0, ItemConstant(emptyValue));
        return;
    }
    // The first value holds before the first point, the last after the last.
    computer.Add(points[0].x, ItemConstant(points[0].y));
    for (int32_t k = 0; k + 1 < count; ++k) AddSegment(computer, points, count, k, smoothingMethod);
    computer.Add(points[count - 1].x, ItemConstant(points[count - 1].y));
}

}  // namespace corvane

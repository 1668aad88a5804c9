#pragma once
// The pieces of a piecewise curve: each covers one x interval from `start`
// and holds its own coefficients. x is the absolute curve position.

#include <cstdint>

namespace corvane {

class MEnvelopeItem {
public:
    virtual ~MEnvelopeItem() = default;
    // Values at x = first, first + step, ... (count of them).
    virtual void Fill(float* out, double first, double step, int32_t count) const;
    virtual void Fill(double* out, double first, double step, int32_t count) const;
    virtual double Value(double x) const = 0;
    // First derivative; items without a closed form take a one-sided difference.
    virtual double Slope(double x) const;
    virtual double SlopeAt(double x) const { return Slope(x); }

    double start = 0.0;
};

// The position of value i of a block; every fill uses it, so plain and
// vector items see the same x.
inline double BlockPosition(double first, double step, int32_t i) { return first + step * static_cast<double>(i); }

class ItemConstant : public MEnvelopeItem {
public:
    explicit ItemConstant(double c) : c(c) {}
    double Value(double) const override { return c; }
    double Slope(double) const override { return 0.0; }
    double c;
};

class ItemLinear : public MEnvelopeItem {
public:
    ItemLinear(double a, double b) : a(a), b(b) {}
    double Value(double x) const override { return a * x + b; }
    double Slope(double) const override { return a; }
    double a, b;
};

class ItemQuadratic : public MEnvelopeItem {
public:
    ItemQuadratic(double a, double b, double c) : a(a), b(b), c(c) {}
    double Value(double x) const override { return (a * x + b) * x + c; }
    double Slope(double x) const override { return 2.0 * a * x + b; }
    double a, b, c;
};

class ItemCubic : public MEnvelopeItem {
public:
    ItemCubic(double a, double b, double c, double d) : a(a), b(b), c(c), d(d) {}
    double Value(double x) const override { return ((a * x + b) * x + c) * x + d; }
    double Slope(double x) const override { return (3.0 * a * x + 2.0 * b) * x + c; }
    double a, b, c, d;
};

class ItemFourthOrder : public MEnvelopeItem {
public:
    ItemFourthOrder(double a, double b, double c, double d, double e) : a(a), b(b), c(c), d(d), e(e) {}
    double Value(double x) const override { return (((a * x + b) * x + c) * x + d) * x + e; }
    double Slope(double x) const override { return ((4.0 * a * x + 3.0 * b) * x + 2.0 * c) * x + d; }
    double a, b, c, d, e;
};

// Two fourth-order pieces: the first below the split point, the second from it on.
class ItemDouble : public MEnvelopeItem {
public:
    ItemDouble(const ItemFourthOrder& first, const ItemFourthOrder& second, double split)
        : first(first), second(second), split(split) {}
    double Value(double x) const override { return x < split ? first.Value(x) : second.Value(x); }
    double Slope(double x) const override { return x < split ? first.Slope(x) : second.Slope(x); }
    ItemFourthOrder first, second;
    double split;
};

// A quadratic Bezier segment in closed form: the curve parameter is
// t = r * sqrt(p * x + q) + o (the root of the segment's x(t)), or t = x
// when x(t) is linear and the coefficients already speak in x.
class ItemBezier : public MEnvelopeItem {
public:
    double Parameter(double x) const;
    double Value(double x) const override;
    double Slope(double x) const override;
    double r = 0, p = 0, q = 0, o = 0;
    double A = 0, B = 0, C = 0;
    bool linearInX = false;
};

// base + range * (1 - max(0, 1 - u)^e2) with u = ((x + offset) * k)^e1;
// offset is the negated start, so u runs from 0 at the start.
class ItemExponencial : public MEnvelopeItem {
public:
    double Value(double x) const override;
    double offset = 0, k = 1, e1 = 1, e2 = 1, base = 0, range = 0;
};

class ItemStairs : public MEnvelopeItem {
public:
    double Value(double x) const override;
    double base = 0, step = 0, n = 1;
};

class ItemPulses : public MEnvelopeItem {
public:
    double Value(double x) const override;
    double first = 0, second = 0, f = 1;
};

class ItemSaw : public MEnvelopeItem {
public:
    double Value(double x) const override;
    double base = 0, amplitude = 0, f = 1;
};

class ItemTriangles : public MEnvelopeItem {
public:
    double Value(double x) const override;
    double base = 0, amplitude = 0, f = 1;
};

class ItemSines : public MEnvelopeItem {
public:
    double Value(double x) const override;
    double Slope(double x) const override;
    double base = 0, amplitude = 0, w = 1;
};

// Vector twins: the same values four at a time; one value at a time they are the plain item.
class ItemQuadraticSSE : public ItemQuadratic {
public:
    using ItemQuadratic::ItemQuadratic;
    explicit ItemQuadraticSSE(const ItemQuadratic& plain) : ItemQuadratic(plain) {}
    void Fill(float* out, double first, double step, int32_t count) const override;
    void Fill(double* out, double first, double step, int32_t count) const override;
};

class ItemCubicSSE : public ItemCubic {
public:
    using ItemCubic::ItemCubic;
    explicit ItemCubicSSE(const ItemCubic& plain) : ItemCubic(plain) {}
    void Fill(float* out, double first, double step, int32_t count) const override;
    void Fill(double* out, double first, double step, int32_t count) const override;
};

class ItemFourthOrderSSE : public ItemFourthOrder {
public:
    using ItemFourthOrder::ItemFourthOrder;
    explicit ItemFourthOrderSSE(const ItemFourthOrder& plain) : ItemFourthOrder(plain) {}
    void Fill(float* out, double first, double step, int32_t count) const override;
    void Fill(double* out, double first, double step, int32_t count) const override;
};

class ItemBezierSSE : public ItemBezier {
public:
    ItemBezierSSE() = default;
    explicit ItemBezierSSE(const ItemBezier& plain) : ItemBezier(plain) {}
    void Fill(float* out, double first, double step, int32_t count) const override;
    void Fill(double* out, double first, double step, int32_t count) const override;
};

}  // namespace corvane

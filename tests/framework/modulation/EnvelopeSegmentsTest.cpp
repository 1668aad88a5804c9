#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "framework/modulation/MEnvelope.h"
#include "framework/storage/MStoreContext.h"
#include "framework/storage/MXMLItem.h"

using namespace corvane;

namespace {

// One segment from (0.2, 0.5) to (0.7, 1.5) of the given type and curvature.
class SegmentFixture {
public:
    SegmentFixture(int32_t type, double curvature, bool vector = true) {
        envelope.SetRange({0.0, 1.0, -2.0, 2.0});
        envelope.SetVectorItems(vector);
        MEnvelope::Point points[2];
        points[0] = {x0, y0, curvature, 1.0, type};
        points[1] = {x1, y1, 0.0, 1.0, SegmentMode1};
        envelope.SetPoints(points, 2);
    }
    double At(double t) { return envelope.Value(x0 + t * (x1 - x0)); }

    static constexpr double x0 = 0.2, y0 = 0.5, x1 = 0.7, y1 = 1.5;
    MEnvelope envelope;
};

struct SegmentCase {
    int32_t type;
    double curvature;
    std::function<double(double)> shape;  // f(t): the value is y0 + (y1 - y0) * f(t)
};

TEST(EnvelopeSegments, EachTypeIsItsClosedFormOverTheSegment) {
    const double c = 0.6;
    const double n = 1 + std::round(c * 31);  // 20 stairs, pulses, teeth, triangles, waves
    const std::vector<SegmentCase> cases = {
        {SegmentMode1, c, [=](double t) { return t + c * t * (1 - t); }},
        {SegmentMode1, -c, [=](double t) { return t - c * t * (1 - t); }},
        {SegmentMode2, c, [=](double t) { return (1 - c) * t + c * (1 - std::pow(1 - t, 4)); }},
        {SegmentMode2, -c, [=](double t) { return (1 - c) * t + c * std::pow(t, 4); }},
        {SegmentMode3, c, [=](double t) { return 1 - std::pow(1 - t, std::exp2(8 * c)); }},
        {SegmentMode3, -c, [=](double t) { return std::pow(t, std::exp2(8 * c)); }},
        {SegmentDouble1, c,
         [=](double t) {
             // Each half bends its own way towards the middle value.
             auto f = [](double u, double k) {
                 return k > 0 ? (1 - k) * u + k * (1 - std::pow(1 - u, 4)) : (1 + k) * u - k * std::pow(u, 4);
             };
             return t < 0.5 ? 0.5 * f(2 * t, c) : 0.5 + 0.5 * f(2 * t - 1, -c);
         }},
        {SegmentStairs, c, [=](double t) { return std::trunc(t * n) / n; }},
        {SegmentPulses, c, [=](double t) { return static_cast<int64_t>(std::trunc(t * 2 * n)) % 2 == 0 ? 0.0 : 1.0; }},
        {SegmentSaw, c, [=](double t) { return std::fmod(t * n, 1.0); }},
        {SegmentTriangles, c, [=](double t) { return 1 - std::fabs(std::fmod(t * 2 * n, 2.0) - 1); }},
        {SegmentSines, c, [=](double t) { return 0.5 - 0.5 * std::cos(t * M_PI * (2 * n - 1)); }},
        // Without curvature the first five are straight.
        {SegmentMode1, 0.0, [](double t) { return t; }},
        {SegmentMode3, 0.0, [](double t) { return t; }},
        {SegmentFree1, 0.0, [](double t) { return t; }},
    };
    for (const SegmentCase& s : cases) {
        for (bool vector : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << SegmentTypeNames[s.type] << " c " << s.curvature << " vector " << vector);
            SegmentFixture f(s.type, s.curvature, vector);
            for (double t : {0.0, 0.013, 0.1, 0.26, 0.333, 0.5, 0.61, 0.77, 0.9, 0.987}) {
                const double expected = f.y0 + (f.y1 - f.y0) * s.shape(t);
                EXPECT_NEAR(f.At(t), expected, 1e-9) << "t " << t;
            }
            EXPECT_EQ(f.envelope.Value(-1.0), f.y0);
            EXPECT_EQ(f.envelope.Value(5.0), f.y1);
        }
    }
}

TEST(EnvelopeSegments, BezierFollowsItsControlPoint) {
    for (double c : {-1.0, -0.4, 0.3, 1.0}) {
        SegmentFixture f(SegmentFree1, c);
        // The control point on the anti-diagonal; the curve's point at t = 1/2.
        const double w = f.x1 - f.x0, dy = f.y1 - f.y0;
        const double xc = (f.x0 + f.x1) / 2 - c * w / 2, yc = (f.y0 + f.y1) / 2 + c * dy / 2;
        for (double t : {0.1, 0.5, 0.8}) {
            const double x = (1 - t) * (1 - t) * f.x0 + 2 * t * (1 - t) * xc + t * t * f.x1;
            const double y = (1 - t) * (1 - t) * f.y0 + 2 * t * (1 - t) * yc + t * t * f.y1;
            EXPECT_NEAR(f.envelope.Value(x), y, 1e-9) << "c " << c << " t " << t;
        }
    }
}

TEST(EnvelopeSegments, SlopesMatchTheNumericDerivative) {
    for (int32_t type : {SegmentMode1, SegmentMode2, SegmentMode3, SegmentFree1, SegmentDouble1, SegmentSines}) {
        SegmentFixture f(type, 0.45);
        for (double t : {0.15, 0.4, 0.65, 0.85}) {
            const double x = f.x0 + t * (f.x1 - f.x0), h = 1e-6;
            const double numeric = (f.envelope.Value(x + h) - f.envelope.Value(x - h)) / (2 * h);
            EXPECT_NEAR(f.envelope.Slope(x), numeric, 1e-3 * std::max(1.0, std::fabs(numeric)))
                << SegmentTypeNames[type] << " t " << t;
        }
    }
}

// Three points with a peak in the middle, joined by the smooth types.
MEnvelope::Point SmoothPoint(double x, double y, int32_t type, double smoothness = 1.0) {
    return {x, y, 0.0, smoothness, type};
}

TEST(EnvelopeSegments, SmoothTypesPassThroughThePointsWithoutKinks) {
    for (int32_t method : {SmoothingMode1, SmoothingMode2}) {
        MEnvelope envelope;
        envelope.SetRange({0, 1, 0, 1});
        envelope.SetSmoothingMethod(method);
        const MEnvelope::Point points[4] = {SmoothPoint(0, 0.1, SegmentSmooth1), SmoothPoint(0.3, 0.6, SegmentSmooth1),
                                            SmoothPoint(0.6, 0.9, SegmentSmooth1), SmoothPoint(1, 0.2, SegmentSmooth1)};
        envelope.SetPoints(points, 4);
        for (const MEnvelope::Point& p : points) EXPECT_NEAR(envelope.Value(p.x), p.y, 1e-12);
        for (double x : {0.3, 0.6}) {
            EXPECT_NEAR(envelope.Slope(x - 1e-7), envelope.Slope(x + 1e-7), 1e-4) << "method " << method << " x " << x;
        }
        if (method == SmoothingMode1) {
            // Monotone tangents: no value beyond its two points on any segment.
            for (double x = 0.0; x <= 1.0; x += 0.001) EXPECT_LE(envelope.Value(x), 0.9 + 1e-12) << x;
        }
    }
    // "Smooth 2" scales the tangents by the points' smoothness: none makes the points flat.
    MEnvelope flat;
    flat.SetRange({0, 1, 0, 1});
    const MEnvelope::Point points[3] = {SmoothPoint(0, 0.1, SegmentSmooth2, 0.0),
                                        SmoothPoint(0.5, 0.6, SegmentSmooth2, 0.0),
                                        SmoothPoint(1, 0.9, SegmentSmooth2, 0.0)};
    flat.SetPoints(points, 3);
    EXPECT_NEAR(flat.Slope(0.5), 0.0, 1e-9);
    EXPECT_NEAR(flat.Value(0.25), 0.35, 1e-12);  // a flat-ended cubic passes midway at the middle
}

TEST(EnvelopeSegments, NarrowSegmentsHoldTheirEndValue) {
    MEnvelope envelope;
    envelope.SetRange({0, 1, 0, 1});
    const MEnvelope::Point points[3] = {
        {0.2, 0.1, 0.5, 1, SegmentMode1}, {0.2, 0.9, 0.5, 1, SegmentMode3}, {0.8, 0.3, 0.0, 1, SegmentMode1}};
    envelope.SetPoints(points, 3);
    EXPECT_NEAR(envelope.Value(0.2), 0.9, 1e-12);  // the jump happens at once, no division by a zero width
    EXPECT_TRUE(std::isfinite(envelope.Value(0.5)));
    // A point moved left of its predecessor is evaluated at the predecessor's x.
    MEnvelope::Point moved = points[2];
    moved.x = 0.1;
    envelope.SetPoint(2, moved);
    EXPECT_NEAR(envelope.Value(0.5), 0.3, 1e-12);
    EXPECT_EQ(envelope.PointAt(2).x, 0.1);
}

TEST(EnvelopeStorage, RoundTripsAndReadsTheEarlierAttributeForm) {
    MEnvelope source;
    source.SetRange({0, 1, -4, 4});
    source.SetSmoothingMethod(SmoothingMode2);
    const MEnvelope::Point points[3] = {
        {0, -1.25, 0.3, 0.2, SegmentSines}, {0.4, 3.1, -0.7, 0.9, SegmentFree1}, {1, 0.1, 0, 1, SegmentMode2}};
    source.SetPoints(points, 3);
    MXMLItem element("Attack");
    MStoreContext storing(true, element);
    source.Store(storing);

    MEnvelope copy;
    copy.SetRange({0, 1, -4, 4});
    MStoreContext loading(false, element);
    copy.Store(loading);
    ASSERT_EQ(copy.PointCount(), 3);
    EXPECT_EQ(copy.SmoothingMethod(), SmoothingMode2);
    for (int32_t p = 0; p < 3; ++p) {
        EXPECT_EQ(copy.PointAt(p).x, points[p].x);
        EXPECT_EQ(copy.PointAt(p).y, points[p].y);
        EXPECT_EQ(copy.PointAt(p).curvature, points[p].curvature);
        EXPECT_EQ(copy.PointAt(p).smoothness, points[p].smoothness);
        EXPECT_EQ(copy.PointAt(p).segmentType, points[p].segmentType);
    }
    // An emptied curve stays empty; an element without a curve changes nothing.
    copy.ClearPoints();
    MXMLItem emptied("Attack");
    MStoreContext storingEmpty(true, emptied);
    copy.Store(storingEmpty);
    MStoreContext loadingEmpty(false, emptied);
    source.Store(loadingEmpty);
    EXPECT_EQ(source.PointCount(), 0);
    EXPECT_EQ(source.Value(0.5), 0.0) << "flat at no offset, a factor of 1";
    MXMLItem bare("Attack");
    MStoreContext loadingBare(false, bare);
    copy.SetPoints(points, 3);
    copy.Store(loadingBare);
    EXPECT_EQ(copy.PointCount(), 3);

    // Earlier builds: X0, Y0, C0, S0 ... joined by straight lines; values outside the range are limited.
    MXMLItem legacy("Attack");
    legacy.SetAttribute("X0", "0");
    legacy.SetAttribute("Y0", "-1");
    legacy.SetAttribute("C0", "0.8");
    legacy.SetAttribute("S0", "0");
    legacy.SetAttribute("X1", "0.5");
    legacy.SetAttribute("Y1", "9");
    legacy.SetAttribute("C1", "0");
    legacy.SetAttribute("S1", "0");
    MEnvelope old;
    old.SetRange({0, 1, -4, 4});
    MStoreContext loadingLegacy(false, legacy);
    old.Store(loadingLegacy);
    ASSERT_EQ(old.PointCount(), 2);
    EXPECT_NEAR(old.Value(0.25), 1.5, 1e-12);  // straight from -1 to 4
    EXPECT_EQ(old.Value(0.75), 4.0);
}

}  // namespace

#pragma once
// A curve drawn as points joined by segments: band graphs, target shapes,
// ADSR stages. Edited under the object's lock; every edit refits the
// evaluator's items at once, so readers see a whole curve. The audio thread
// only tries the lock: a busy one gives it the previous value, and a point
// written meanwhile is applied by the lock's next holder.

#include <atomic>
#include <cstdint>

#include "framework/core/Shared.h"
#include "framework/modulation/MEnvelopeComputer.h"
#include "platform/MMutex.h"

namespace corvane {

class MStoreContext;

enum EnvelopeSegmentType : int32_t {
    SegmentMode1 = 0,    // quadratic
    SegmentMode2 = 1,    // fourth order
    SegmentMode3 = 2,    // exponential
    SegmentFree1 = 3,    // quadratic Bezier
    SegmentDouble1 = 4,  // two fourth-order halves
    SegmentSmooth1 = 5,  // cubic through the neighbours, tangents by the smoothing method
    SegmentSmooth2 = 6,  // cubic through the neighbours, tangents scaled by the points' smoothness
    SegmentStairs = 7,
    SegmentPulses = 8,
    SegmentSaw = 9,
    SegmentTriangles = 10,
    SegmentSines = 11,
    SegmentTypeCount = 12,
};

extern const char* const SegmentTypeNames[SegmentTypeCount];
extern const char* const SegmentTypeDescriptions[SegmentTypeCount];

enum EnvelopeSmoothingMethod : int32_t {
    SmoothingMode1 = 0,  // monotone tangents: no overshoot between points
    SmoothingMode2 = 1,  // Catmull-Rom tangents
};
extern const char* const SmoothingMethodNames[2];
extern const char* const SmoothingMethodDescriptions[2];

class MEnvelope {
public:
    // Hosts see four parameters per point; their count is fixed when the
    // plug-in starts (and with it every later global index), so the number
    // of points has a ceiling.
    static constexpr int32_t MaxPoints = 8;

    struct Point {
        double x = 0.0;
        double y = 0.0;
        double curvature = 0.0;              // -1 .. 1; 0 is straight, above 0 bends towards the later value
        double smoothness = 1.0;             // 0 .. 1
        int32_t segmentType = SegmentMode1;  // of the segment that starts here
    };

    // The drawing area: x over xMin .. xMax, values over yMin .. yMax.
    struct Range {
        double xMin = 0.0, xMax = 1.0, yMin = 0.0, yMax = 1.0;
    };

    MEnvelope();
    virtual ~MEnvelope() = default;
    MEnvelope(const MEnvelope&) = delete;
    MEnvelope& operator=(const MEnvelope&) = delete;

    // [main-thread] Setup: the range and the shape a reset returns to.
    void SetRange(const Range& range);
    void SetDefaultShape(const Point* points, int32_t count);
    void ResetToDefault();
    int32_t DefaultPointCount() const { return defaultCount_; }
    Point DefaultPointAt(int32_t index) const;

    const Range& GetRange() const { return range_; }
    int32_t PointCount() const { return pointCount_; }
    Point PointAt(int32_t index) const;
    // Edits, each under the lock; values are limited to the range.
    void SetPoint(int32_t index, const Point& point);
    void SetPoints(const Point* points, int32_t count);
    bool AddPoint(const Point& point);  // false at the ceiling
    void ClearPoints();
    int32_t SmoothingMethod() const { return smoothingMethod_; }
    void SetSmoothingMethod(int32_t method);
    // Plain or vector items (the vector twins give the same values).
    void SetVectorItems(bool on);

    // [any thread] A point's x, y, curvature or smoothness (field 0 .. 3) as
    // last written, without the lock.
    // 0 for a point beyond the count.
    static constexpr int32_t PointFields = 4;
    double PointField(int32_t index, int32_t field) const;
    int32_t PublishedPointCount() const { return publishedCount_.Load(); }
    static double& FieldOf(Point& point, int32_t field);
    // [any thread] Writes one field of an existing point (limited to the
    // range). On the audio thread a busy lock is never waited for: the write
    // is applied by the lock's next holder.
    void SetPointField(int32_t index, int32_t field, double value);

    // [any thread] Under the lock; on the audio thread, while an edit holds
    // it, Value gives the value it gave last.
    double Value(double x);
    double Slope(double x);
    // count values across the whole range: x = xMin + i * (xMax - xMin) / (count - 1).
    void Sample(int32_t count, double* out);
    void Fill(float* out, double first, double step, int32_t count);
    void Fill(double* out, double first, double step, int32_t count);

    // Two-way storage of the points into the given element.
    void Store(MStoreContext& context);

    // What Store writes, copied under the lock, so that a saving thread can
    // build its tree outside it.
    struct Shape {
        int32_t smoothingMethod = SmoothingMode1;
        int32_t pointCount = 0;
        Point points[MaxPoints];
    };
    Shape CopyShape();
    static void StoreShape(MStoreContext& context, const Shape& shape);

    MMutex& Lock() { return lock_; }

private:
    Point Limited(const Point& point) const;
    // Refits the curve and publishes the points.
    void Refit();
    void ApplyPending();

    Range range_;
    Point points_[MaxPoints];
    int32_t pointCount_ = 0;
    Point defaultPoints_[MaxPoints];
    int32_t defaultCount_ = 0;
    int32_t smoothingMethod_ = SmoothingMode1;
    MEnvelopeComputer computer_;
    Shared<double> published_[MaxPoints * PointFields];
    Shared<int32_t> publishedCount_{0};
    Shared<double> pendingValue_[MaxPoints * PointFields];
    std::atomic<uint32_t> pendingBits_{0};
    Shared<double> lastValue_{0.0};
    MMutex lock_;
};

// The envelope kind that band graphs use.
class MEnvelopeGraph : public MEnvelope {};

// Fits the items of a curve into the computer (the segments' arithmetic).
void FitEnvelope(const MEnvelope::Point* points, int32_t count, int32_t smoothingMethod, double emptyValue,
                 MEnvelopeComputer& computer);

}  // namespace corvane

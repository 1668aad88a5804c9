#include "framework/modulation/MEnvelope.h"

#include <algorithm>
#include <cmath>

#include "framework/core/MLock.h"

namespace corvane {

const char* const SegmentTypeNames[SegmentTypeCount] = {"Mode 1",   "Mode 2",   "Mode 3",    "Free 1",
                                                        "Double 1", "Smooth 1", "Smooth 2",  "Stairs",
                                                        "Pulses",   "Saw",      "Triangles", "Sines"};

const char* const SegmentTypeDescriptions[SegmentTypeCount] = {
    "Fastest, minimal curvature freedom.",
    "Fast, average curvature freedom.",
    "Very slow, very high curvature freedom.",
    "Normal speed, curvature adjustable in both axes.",
    "Double curved shape.",
    "Fast, no curvature, provides smooth connection between neighboring segments.",
    "Fast, no curvature, provides smooth connection between neighboring segments.",
    "Stairs-like image, curvature controls number of stairs.",
    "Pulses, curvature controls number of pulses.",
    "Saw, curvature controls number of saw teeth.",
    "Triangles, curvature controls number of triangles.",
    "Sines, curvature controls number of waves."};

const char* const SmoothingMethodNames[2] = {"Mode 1", "Mode 2"};
const char* const SmoothingMethodDescriptions[2] = {"Slower, but usually gives less unnecessary curving.",
                                                    "Faster, but can give unnecessary curving."};

namespace {

double Clamp(double value, double low, double high) {
    // Not-a-number becomes the low end: no curve may carry one.
    if (!(value >= low)) return low;
    return value > high ? high : value;
}

}  // namespace

MEnvelope::MEnvelope() { Refit(); }

void MEnvelope::SetRange(const Range& range) {
    MLock hold(lock_);
    range_ = range;
    for (int32_t i = 0; i < pointCount_; ++i) points_[i] = Limited(points_[i]);
    Refit();
}

void MEnvelope::SetDefaultShape(const Point* points, int32_t count) {
    MLock hold(lock_);
    defaultCount_ = std::min(std::max(count, 0), MaxPoints);
    for (int32_t i = 0; i < defaultCount_; ++i) defaultPoints_[i] = Limited(points[i]);
}

void MEnvelope::ResetToDefault() {
    MLock hold(lock_);
    SetPoints(defaultPoints_, defaultCount_);
}

MEnvelope::Point MEnvelope::DefaultPointAt(int32_t index) const {
    if (index < 0 || index >= defaultCount_) return Point();
    return defaultPoints_[index];
}

MEnvelope::Point MEnvelope::PointAt(int32_t index) const {
    if (index < 0 || index >= pointCount_) return Point();
    return points_[index];
}

MEnvelope::Point MEnvelope::Limited(const Point& point) const {
    Point limited;
    limited.x = Clamp(point.x, range_.xMin, range_.xMax);
    limited.y = Clamp(point.y, range_.yMin, range_.yMax);
    limited.curvature = Clamp(point.curvature, -1.0, 1.0);
    limited.smoothness = Clamp(point.smoothness, 0.0, 1.0);
    limited.segmentType = point.segmentType >= 0 && point.segmentType < SegmentTypeCount ? point.segmentType : 0;
    return limited;
}

void MEnvelope::SetPoint(int32_t index, const Point& point) {
    MLock hold(lock_);
    ApplyPending();
    if (index < 0 || index >= pointCount_) return;
    points_[index] = Limited(point);
    Refit();
}

void MEnvelope::SetPoints(const Point* points, int32_t count) {
    MLock hold(lock_);
    ApplyPending();
    pointCount_ = std::min(std::max(count, 0), MaxPoints);
    for (int32_t i = 0; i < pointCount_; ++i) points_[i] = Limited(points[i]);
    Refit();
}

bool MEnvelope::AddPoint(const Point& point) {
    MLock hold(lock_);
    if (pointCount_ >= MaxPoints) return false;
    points_[pointCount_++] = Limited(point);
    Refit();
    return true;
}

void MEnvelope::ClearPoints() { SetPoints(nullptr, 0); }

void MEnvelope::SetSmoothingMethod(int32_t method) {
    MLock hold(lock_);
    smoothingMethod_ = method == SmoothingMode2 ? SmoothingMode2 : SmoothingMode1;
    Refit();
}

void MEnvelope::SetVectorItems(bool on) {
    MLock hold(lock_);
    computer_.vectorSwitch = on;
    Refit();
}

double& MEnvelope::FieldOf(Point& point, int32_t field) {
    switch (field) {
        case 0:
            return point.x;
        case 1:
            return point.y;
        case 2:
            return point.curvature;
        default:
            return point.smoothness;
    }
}

double MEnvelope::PointField(int32_t index, int32_t field) const {
    if (index < 0 || index >= publishedCount_.Load() || field < 0 || field >= PointFields) return 0.0;
    const int32_t slot = index * PointFields + field;
    if (pendingBits_.load(std::memory_order_acquire) & (1u << slot)) return pendingValue_[slot].Load();
    return published_[slot].Load();
}

void MEnvelope::SetPointField(int32_t index, int32_t field, double value) {
    if (index < 0 || index >= MaxPoints || field < 0 || field >= PointFields || std::isnan(value)) return;
    MAudioSafeLock hold(lock_);
    const int32_t slot = index * PointFields + field;
    if (!hold.Held()) {
        pendingValue_[slot].Store(value);
        pendingBits_.fetch_or(1u << slot, std::memory_order_release);
        return;
    }
    ApplyPending();
    if (index >= pointCount_) return;
    FieldOf(points_[index], field) = value;
    points_[index] = Limited(points_[index]);
    Refit();
}

void MEnvelope::ApplyPending() {
    uint32_t bits = pendingBits_.exchange(0, std::memory_order_acquire);
    if (bits == 0) return;
    for (; bits != 0; bits &= bits - 1) {
        const int32_t slot = __builtin_ctz(bits), index = slot / PointFields;
        if (index >= pointCount_) continue;
        FieldOf(points_[index], slot % PointFields) = pendingValue_[slot].Load();
        points_[index] = Limited(points_[index]);
    }
    Refit();
}

void MEnvelope::Refit() {
    publishedCount_.Store(pointCount_);
    for (int32_t i = 0; i < MaxPoints; ++i)
        for (int32_t f = 0; f < PointFields; ++f) published_[i * PointFields + f].Store(FieldOf(points_[i], f));
    // Points keep their indexes (hosts address them by index); a point moved
    // left of its predecessor is evaluated at the predecessor's x.
    Point ordered[MaxPoints];
    for (int32_t i = 0; i < pointCount_; ++i) {
        ordered[i] = points_[i];
        if (i > 0) ordered[i].x = std::max(ordered[i].x, ordered[i - 1].x);
    }
    // A curve without points is flat: at 0 where the range has it (no
    // offset, a factor of 1), else at the range's nearest end.
    const double empty = std::min(std::max(0.0, range_.yMin), range_.yMax);
    FitEnvelope(ordered, pointCount_, smoothingMethod_, empty, computer_);
}

double MEnvelope::Value(double x) {
    MAudioSafeLock hold(lock_);
    if (!hold.Held()) return lastValue_.Load();
    ApplyPending();
    const double value = computer_.Value(x);
    lastValue_.Store(value);
    return value;
}

double MEnvelope::Slope(double x) {
    MLock hold(lock_);
    ApplyPending();
    return computer_.Slope(x);
}

void MEnvelope::Sample(int32_t count, double* out) {
    if (count <= 0) return;
    MLock hold(lock_);
    ApplyPending();
    const double step = count > 1 ? (range_.xMax - range_.xMin) / (count - 1) : 0.0;
    computer_.Fill(out, range_.xMin, step, count);
}

void MEnvelope::Fill(float* out, double first, double step, int32_t count) {
    MLock hold(lock_);
    ApplyPending();
    computer_.Fill(out, first, step, count);
}

void MEnvelope::Fill(double* out, double first, double step, int32_t count) {
    MLock hold(lock_);
    ApplyPending();
    computer_.Fill(out, first, step, count);
}

}  // namespace corvane

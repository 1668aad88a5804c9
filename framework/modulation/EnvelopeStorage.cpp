// A curve's stored form: "Points" and "SmoothingMethod" on the element, one "Point"
// child per point with "X", "Y", "Curvature", "Smoothness" and "Type".
// Earlier builds kept a band graph's points as attributes X0, Y0, C0, S0,
// X1 ... of the graph element, joined by straight lines; such states load
// as straight segments, so they sound as they did.

#include <algorithm>
#include <string>

#include "framework/core/MLock.h"
#include "framework/modulation/MEnvelope.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

namespace {

const char* const LegacyFields[4] = {"X", "Y", "C", "S"};

void StorePoint(MStoreContext& context, MEnvelope::Point& point) {
    context.Real("X", point.x, StorePolicy::AlwaysWritten);
    context.Real("Y", point.y, StorePolicy::AlwaysWritten);
    context.Real("Curvature", point.curvature, StorePolicy::AlwaysWritten);
    context.Real("Smoothness", point.smoothness, StorePolicy::AlwaysWritten);
    context.Integer("Type", point.segmentType, StorePolicy::AlwaysWritten);
}

int32_t LoadLegacyPoints(MStoreContext& context, MEnvelope::Point* points) {
    int32_t count = 0;
    while (count < MEnvelope::MaxPoints && context.item.FindAttribute("X" + std::to_string(count)) != nullptr) {
        double values[4] = {0.0, 0.0, 0.0, 1.0};
        for (int f = 0; f < 4; ++f)
            context.Real(LegacyFields[f] + std::to_string(count), values[f], StorePolicy::AlwaysWritten);
        MEnvelope::Point& point = points[count++];
        point.x = values[0];
        point.y = values[1];
        // Those segments were straight whatever C held.
        point.curvature = 0.0;
        point.smoothness = values[3];
        point.segmentType = SegmentMode1;
    }
    return count;
}

}  // namespace

MEnvelope::Shape MEnvelope::CopyShape() {
    MLock hold(lock_);
    ApplyPending();
    Shape shape;
    shape.smoothingMethod = smoothingMethod_;
    shape.pointCount = pointCount_;
    std::copy(points_, points_ + pointCount_, shape.points);
    return shape;
}

void MEnvelope::StoreShape(MStoreContext& context, const Shape& shape) {
    int32_t method = shape.smoothingMethod;
    context.Integer("SmoothingMethod", method, StorePolicy::DefaultElided, SmoothingMode1);
    int32_t count = shape.pointCount;
    context.Integer("Points", count, StorePolicy::AlwaysWritten);
    context.item.RemoveSubItem("Point");
    for (int32_t p = 0; p < MaxPoints; ++p)
        for (const char* field : LegacyFields) context.item.RemoveAttribute(field + std::to_string(p));
    for (int32_t p = 0; p < shape.pointCount; ++p) {
        MStoreContext point(true, context.item.AddSubItem("Point"));
        Point copy = shape.points[p];
        StorePoint(point, copy);
    }
}

void MEnvelope::Store(MStoreContext& context) {
    if (context.storing) {
        StoreShape(context, CopyShape());
        return;
    }
    MLock hold(lock_);
    ApplyPending();

    int32_t method = smoothingMethod_;
    context.Integer("SmoothingMethod", method, StorePolicy::DefaultElided, SmoothingMode1);
    Point loaded[MaxPoints];
    int32_t count = 0;
    MXMLItem::Iterator children;
    children.Init(context.item, "Point");
    while (MXMLItem* child = children.Next()) {
        if (count == MaxPoints) break;  // points beyond the ceiling cannot be shown or automated
        MStoreContext point(false, *child);
        loaded[count] = Point();
        StorePoint(point, loaded[count]);
        ++count;
    }
    if (count == 0) count = LoadLegacyPoints(context, loaded);
    smoothingMethod_ = method == SmoothingMode2 ? SmoothingMode2 : SmoothingMode1;
    // "Points" tells an emptied curve from an element that holds no curve.
    if (count > 0 || context.item.FindAttribute("Points") != nullptr)
        SetPoints(loaded, count);
    else
        Refit();
}

}  // namespace corvane

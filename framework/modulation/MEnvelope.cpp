#include "framework/modulation/MEnvelope.h"

namespace corvane {

bool MEnvelope::AddPoint(const Point& point) {
    if (PointCount() >= MaxPoints) return false;
    points_.push_back(point);
    return true;
}

}  // namespace corvane

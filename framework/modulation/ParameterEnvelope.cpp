#include "framework/modulation/ParameterEnvelope.h"

#include <algorithm>
#include <cmath>

#include "framework/core/MLock.h"
#include "framework/parameters/Format.h"

namespace corvane {

std::string ParameterEnvelopeAccess::FieldName(int32_t local) {
    static const char* const formats[FieldsPerPoint] = {"Point {0} X", "Point {0} Y", "Point {0} curvature",
                                                        "Point {0} smoothness"};
    return FormatText(formats[local % FieldsPerPoint], {static_cast<int64_t>(local / FieldsPerPoint + 1)});
}

namespace {

enum Field { FieldX, FieldY, FieldCurvature, FieldSmoothness };

double Normalised(const MEnvelope::Range& range, const MEnvelope::Point& point, int32_t field) {
    switch (field) {
        case FieldX:
            return range.xMax > range.xMin ? (point.x - range.xMin) / (range.xMax - range.xMin) : 0.0;
        case FieldY:
            return range.yMax > range.yMin ? (point.y - range.yMin) / (range.yMax - range.yMin) : 0.0;
        case FieldCurvature:
            return (point.curvature + 1.0) / 2.0;
        default:
            return point.smoothness;
    }
}

double Physical(const MEnvelope::Range& range, int32_t field, double value) {
    value = std::min(std::max(value, 0.0), 1.0);
    switch (field) {
        case FieldX:
            return range.xMin + (range.xMax - range.xMin) * value;
        case FieldY:
            return range.yMin + (range.yMax - range.yMin) * value;
        case FieldCurvature:
            return value * 2.0 - 1.0;
        default:
            return value;
    }
}

}  // namespace

double ParameterEnvelopeAccess::Read(MEnvelope& envelope, int32_t local) {
    MLock hold(envelope.Lock());
    const int32_t point = local / FieldsPerPoint;
    if (local < 0 || point >= envelope.PointCount()) return 0.0;
    return Normalised(envelope.GetRange(), envelope.PointAt(point), local % FieldsPerPoint);
}

double ParameterEnvelopeAccess::Default(MEnvelope& envelope, int32_t local) {
    MLock hold(envelope.Lock());
    const int32_t point = local / FieldsPerPoint;
    if (local < 0 || point >= envelope.DefaultPointCount()) return 0.0;
    return Normalised(envelope.GetRange(), envelope.DefaultPointAt(point), local % FieldsPerPoint);
}

bool ParameterEnvelopeAccess::Write(MEnvelope& envelope, int32_t local, double value) {
    MLock hold(envelope.Lock());
    const int32_t index = local / FieldsPerPoint;
    if (local < 0 || index >= envelope.PointCount() || std::isnan(value)) return false;
    MEnvelope::Point point = envelope.PointAt(index);
    const double physical = Physical(envelope.GetRange(), local % FieldsPerPoint, value);
    switch (local % FieldsPerPoint) {
        case FieldX:
            point.x = physical;
            break;
        case FieldY:
            point.y = physical;
            break;
        case FieldCurvature:
            point.curvature = physical;
            break;
        default:
            point.smoothness = physical;
            break;
    }
    envelope.SetPoint(index, point);
    return true;
}

std::string ParameterEnvelopeAccess::Text(MEnvelope& envelope, int32_t local, double value) {
    if (local < 0) return std::string();
    MEnvelope::Range range;
    {
        MLock hold(envelope.Lock());
        range = envelope.GetRange();
    }
    return FormatText("{0.4}", {Physical(range, local % FieldsPerPoint, value)});
}

}  // namespace corvane

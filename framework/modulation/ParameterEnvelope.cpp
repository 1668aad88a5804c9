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
    // Without the lock: the points as last written, the range fixed at set-up.
    const int32_t point = local / FieldsPerPoint;
    if (local < 0 || point >= envelope.PublishedPointCount()) return 0.0;
    MEnvelope::Point fields;
    for (int32_t f = 0; f < FieldsPerPoint; ++f) MEnvelope::FieldOf(fields, f) = envelope.PointField(point, f);
    return Normalised(envelope.GetRange(), fields, local % FieldsPerPoint);
}

double ParameterEnvelopeAccess::Default(MEnvelope& envelope, int32_t local) {
    MLock hold(envelope.Lock());
    const int32_t point = local / FieldsPerPoint;
    if (local < 0 || point >= envelope.DefaultPointCount()) return 0.0;
    return Normalised(envelope.GetRange(), envelope.DefaultPointAt(point), local % FieldsPerPoint);
}

bool ParameterEnvelopeAccess::Write(MEnvelope& envelope, int32_t local, double value) {
    const int32_t index = local / FieldsPerPoint;
    if (local < 0 || index >= envelope.PublishedPointCount() || std::isnan(value)) return false;
    const int32_t field = local % FieldsPerPoint;
    envelope.SetPointField(index, field, Physical(envelope.GetRange(), field, value));
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

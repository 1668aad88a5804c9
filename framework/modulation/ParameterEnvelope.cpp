#include "framework/modulation/ParameterEnvelope.h"

#include <algorithm>

#include "framework/core/MLock.h"
#include "framework/parameters/Format.h"

namespace corvane {

std::string ParameterEnvelopeAccess::FieldName(int32_t local) {
    static const char* const formats[FieldsPerPoint] = {"Point {0} X", "Point {0} Y", "Point {0} curvature",
                                                        "Point {0} smoothness"};
    return FormatText(formats[local % FieldsPerPoint], {static_cast<int64_t>(local / FieldsPerPoint + 1)});
}

namespace {

double* Field(MEnvelope::Point& point, int32_t field) {
    switch (field) {
        case 0:
            return &point.x;
        case 1:
            return &point.y;
        case 2:
            return &point.curvature;
        default:
            return &point.smoothness;
    }
}

}  // namespace

double ParameterEnvelopeAccess::Read(MEnvelope& envelope, int32_t local) {
    MLock hold(envelope.Lock());
    const int32_t point = local / FieldsPerPoint;
    if (local < 0 || point >= envelope.PointCount()) return 0.0;
    return *Field(envelope.PointAt(point), local % FieldsPerPoint);
}

void ParameterEnvelopeAccess::Write(MEnvelope& envelope, int32_t local, double value) {
    MLock hold(envelope.Lock());
    const int32_t point = local / FieldsPerPoint;
    if (local < 0 || point >= envelope.PointCount()) return;  // no such point yet
    *Field(envelope.PointAt(point), local % FieldsPerPoint) = std::min(std::max(value, 0.0), 1.0);
}

}  // namespace corvane

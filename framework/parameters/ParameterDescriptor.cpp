#include "framework/parameters/ParameterDescriptor.h"

#include <cmath>

namespace corvane {

const char* ItemName(const ParameterDescriptor& d, int32_t index) {
    const EnumValueBlock& e = d.enumValues;
    if (e.itemNames == nullptr || index < 0 || index >= e.itemCount) return nullptr;
    return e.itemNames[index];
}

double ApplyCurve(uint32_t curve, double x) {
    switch (curve) {
        case CurveQuadratic:
            return x * x;
        case CurveFourthPower:
            return x * x * x * x;
        default:
            return x;
    }
}

double InverseCurve(uint32_t curve, double x) {
    switch (curve) {
        case CurveQuadratic:
            return std::sqrt(x);
        case CurveFourthPower:
            return std::sqrt(std::sqrt(x));
        default:
            return x;
    }
}

}  // namespace corvane

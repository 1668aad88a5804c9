#include "framework/parameters/ParameterDescriptor.h"

#include <cmath>

namespace corvane {

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

#pragma once
// Element-wise operations over n values. "In place" means the destination is
// also the first source. Plain loops: the compiler vectorises them.

#include <cmath>
#include <cstdint>

namespace VectorOps {

inline void Zero(float* d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = 0.0f;
}
inline void Set(float* d, float value, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = value;
}
inline void Copy(float* d, const float* s, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = s[i];
}
inline void AddConstant(float* d, float k, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] += k;
}
inline void AddConstant(float* d, const float* s, float k, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = s[i] + k;
}
inline void MultiplyConstant(float* d, float k, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] *= k;
}
inline void Add(float* d, const float* s, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] += s[i];
}
// d = b - a: note the operand order.
inline void Subtract(float* d, const float* a, const float* b, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = b[i] - a[i];
}
inline void Multiply(float* d, const float* a, const float* b, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = a[i] * b[i];
}
inline void Divide(float* d, const float* a, const float* b, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = a[i] / b[i];
}
inline void Square(float* d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] *= d[i];
}
inline void SquareRoot(float* d, const float* s, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = std::sqrt(s[i]);
}
inline void ClampBelow(float* d, float level, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = d[i] < level ? level : d[i];
}
inline void ClampAbove(float* d, float level, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = d[i] > level ? level : d[i];
}
inline void MultiplyAccumulate(float* d, const float* a, const float* b, float k, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] += a[i] * b[i] * k;
}

inline void Zero(double* d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = 0.0;
}
inline void Set(double* d, double value, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = value;
}
inline void AddConstant(double* d, double k, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] += k;
}
inline void MultiplyConstant(double* d, double k, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] *= k;
}
inline void Square(double* d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] *= d[i];
}
inline void ClampBelow(double* d, double level, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = d[i] < level ? level : d[i];
}
inline void ClampAbove(double* d, double level, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = d[i] > level ? level : d[i];
}
inline void Log(double* d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = std::log(d[i]);
}
inline void Exp(double* d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) d[i] = std::exp(d[i]);
}

}  // namespace VectorOps

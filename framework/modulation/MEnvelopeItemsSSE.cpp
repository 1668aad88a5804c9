// The vector items: four values per pass in two double lanes each, with the
// same operations in the same order as the plain items, so the results are
// the same bits.

#include <cmath>

#include "framework/modulation/MEnvelopeItems.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SONVERA_ENVELOPE_SSE 1
#endif

namespace corvane {

namespace {

#ifdef SONVERA_ENVELOPE_SSE
// Positions i and i + 1 of a block, computed as BlockPosition does.
inline __m128d Positions(double first, double step, int32_t i) {
    const __m128d index = _mm_set_pd(static_cast<double>(i + 1), static_cast<double>(i));
    return _mm_add_pd(_mm_set1_pd(first), _mm_mul_pd(_mm_set1_pd(step), index));
}

// Runs `values` (two lanes at a time) over the block, four per pass, and the
// plain item's Value over the rest.
template <class Lanes, class Plain, class Out>
void FillFour(Out* out, double first, double step, int32_t count, Lanes lanes, const Plain& plain) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128d low = lanes(Positions(first, step, i));
        const __m128d high = lanes(Positions(first, step, i + 2));
        if constexpr (sizeof(Out) == sizeof(double)) {
            _mm_storeu_pd(out + i, low);
            _mm_storeu_pd(out + i + 2, high);
        } else {
            _mm_storeu_ps(out + i, _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)));
        }
    }
    for (; i < count; ++i) out[i] = static_cast<Out>(plain.Value(BlockPosition(first, step, i)));
}

inline __m128d Horner(__m128d accumulator, __m128d x, double next) {
    return _mm_add_pd(_mm_mul_pd(accumulator, x), _mm_set1_pd(next));
}

template <class Out>
void QuadraticFill(const ItemQuadratic& item, Out* out, double first, double step, int32_t count) {
    FillFour(
        out, first, step, count, [&](__m128d x) { return Horner(Horner(_mm_set1_pd(item.a), x, item.b), x, item.c); },
        item);
}

template <class Out>
void CubicFill(const ItemCubic& item, Out* out, double first, double step, int32_t count) {
    FillFour(
        out, first, step, count,
        [&](__m128d x) { return Horner(Horner(Horner(_mm_set1_pd(item.a), x, item.b), x, item.c), x, item.d); }, item);
}

template <class Out>
void FourthOrderFill(const ItemFourthOrder& item, Out* out, double first, double step, int32_t count) {
    FillFour(
        out, first, step, count,
        [&](__m128d x) {
            return Horner(Horner(Horner(Horner(_mm_set1_pd(item.a), x, item.b), x, item.c), x, item.d), x, item.e);
        },
        item);
}

template <class Out>
void BezierFill(const ItemBezier& item, Out* out, double first, double step, int32_t count) {
    FillFour(
        out, first, step, count,
        [&](__m128d x) {
            __m128d t = x;
            if (!item.linearInX) {
                const __m128d radicand =
                    _mm_max_pd(_mm_add_pd(_mm_mul_pd(_mm_set1_pd(item.p), x), _mm_set1_pd(item.q)), _mm_setzero_pd());
                t = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(item.r), _mm_sqrt_pd(radicand)), _mm_set1_pd(item.o));
            }
            return Horner(Horner(_mm_set1_pd(item.A), t, item.B), t, item.C);
        },
        item);
}
#else
// Without SSE the twins are the plain items.
template <class Item, class Out>
void PlainFill(const Item& item, Out* out, double first, double step, int32_t count) {
    for (int32_t i = 0; i < count; ++i) out[i] = static_cast<Out>(item.Value(BlockPosition(first, step, i)));
}
#define QuadraticFill PlainFill
#define CubicFill PlainFill
#define FourthOrderFill PlainFill
#define BezierFill PlainFill
#endif

}  // namespace

void ItemQuadraticSSE::Fill(float* out, double first, double step, int32_t count) const {
    QuadraticFill(*this, out, first, step, count);
}
void ItemQuadraticSSE::Fill(double* out, double first, double step, int32_t count) const {
    QuadraticFill(*this, out, first, step, count);
}
void ItemCubicSSE::Fill(float* out, double first, double step, int32_t count) const {
    CubicFill(*this, out, first, step, count);
}
void ItemCubicSSE::Fill(double* out, double first, double step, int32_t count) const {
    CubicFill(*this, out, first, step, count);
}
void ItemFourthOrderSSE::Fill(float* out, double first, double step, int32_t count) const {
    FourthOrderFill(*this, out, first, step, count);
}
void ItemFourthOrderSSE::Fill(double* out, double first, double step, int32_t count) const {
    FourthOrderFill(*this, out, first, step, count);
}
void ItemBezierSSE::Fill(float* out, double first, double step, int32_t count) const {
    BezierFill(*this, out, first, step, count);
}
void ItemBezierSSE::Fill(double* out, double first, double step, int32_t count) const {
    BezierFill(*this, out, first, step, count);
}

}  // namespace corvane

#pragma once
// 2 x 2 complex block algebra of the P-SV kernels; each product entry is the two-term sum
// taken in index order.
#include "kernels/kernel_records.h"

namespace vemlari {

inline Mat2 operator*(const Mat2& a, const Mat2& b) {
    return {a.m11 * b.m11 + a.m12 * b.m21, a.m21 * b.m11 + a.m22 * b.m21,
            a.m11 * b.m12 + a.m12 * b.m22, a.m21 * b.m12 + a.m22 * b.m22};
}

inline Mat2 operator+(const Mat2& a, const Mat2& b) {
    return {a.m11 + b.m11, a.m21 + b.m21, a.m12 + b.m12, a.m22 + b.m22};
}

// I - a b, each entry subtracted term by term.
inline Mat2 identity_minus_product(const Mat2& a, const Mat2& b) {
    const cplx one{1.0, 0.0};
    Mat2 e;
    e.m11 = (one - a.m11 * b.m11) - a.m12 * b.m21;
    e.m12 = -(a.m11 * b.m12) - a.m12 * b.m22;
    e.m21 = -(a.m21 * b.m11) - a.m22 * b.m21;
    e.m22 = (one - a.m21 * b.m12) - a.m22 * b.m22;
    return e;
}

inline cplx det(const Mat2& e) { return e.m11 * e.m22 - e.m12 * e.m21; }

// Inverse by the adjugate, each entry divided by the determinant.
inline Mat2 inverse(const Mat2& e) {
    const cplx dt = det(e);
    Mat2 r;
    r.m11 = e.m22 / dt;
    r.m12 = -(e.m12 / dt);
    r.m21 = -(e.m21 / dt);
    r.m22 = e.m11 / dt;
    return r;
}

}  // namespace vemlari

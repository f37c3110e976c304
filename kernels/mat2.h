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

}  // namespace vemlari

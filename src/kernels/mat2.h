#pragma once
// 2 x 2 complex block algebra of the P-SV kernels, for one lane or a vector of lanes; each
// product entry is the two-term sum taken in index order.
#include "kernels/blocks.h"

namespace vemlari::detail {

template <class C>
inline Block2<C> operator*(const Block2<C>& a, const Block2<C>& b) {
    return {a.m11 * b.m11 + a.m12 * b.m21, a.m21 * b.m11 + a.m22 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
            a.m21 * b.m12 + a.m22 * b.m22};
}

template <class C>
inline Block2<C> operator+(const Block2<C>& a, const Block2<C>& b) {
    return {a.m11 + b.m11, a.m21 + b.m21, a.m12 + b.m12, a.m22 + b.m22};
}

// I - a b, each entry subtracted term by term.
template <class C>
inline Block2<C> identity_minus_product(const Block2<C>& a, const Block2<C>& b) {
    const C one = real_of<C>(1.0);
    Block2<C> e;
    e.m11 = (one - a.m11 * b.m11) - a.m12 * b.m21;
    e.m12 = -(a.m11 * b.m12) - a.m12 * b.m22;
    e.m21 = -(a.m21 * b.m11) - a.m22 * b.m21;
    e.m22 = (one - a.m21 * b.m12) - a.m22 * b.m22;
    return e;
}

template <class C>
inline C det(const Block2<C>& e) {
    return e.m11 * e.m22 - e.m12 * e.m21;
}

// Inverse by the adjugate, each entry divided by the determinant.
template <class C>
inline Block2<C> inverse(const Block2<C>& e) {
    const auto dt = divisor_of(det(e));
    Block2<C> r;
    r.m11 = e.m22 / dt;
    r.m12 = -(e.m12 / dt);
    r.m21 = -(e.m21 / dt);
    r.m22 = e.m11 / dt;
    return r;
}

}  // namespace vemlari::detail

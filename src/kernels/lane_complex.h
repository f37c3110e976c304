#pragma once
// The complex arithmetic of kernels/complex.h, lane by lane: V is a GCC vector of doubles,
// every operation is the scalar one applied to each lane, and a branch of the scalar code
// becomes both sides computed and a per-lane select, so each lane's bits are those of the
// scalar evaluation. exp, sin and cos are the same scalar library calls, made once per lane;
// sqrt is correctly rounded by IEEE 754, so the vector instruction gives the scalar bits.
//
// Included only by the translation units of the lane kernels, each compiled for its own
// instruction set: everything here has internal linkage, so no copy built for a wide
// instruction set can stand in for another unit's.
#include <math.h>

#include "kernels/blocks.h"

namespace vemlari::detail {
namespace {

template <class V>
struct vc {
    V re, im;
};

template <class V>
inline V splat(double x) {
    return x - V{};  // x - 0 is x, signed zeros included
}

template <class V>
inline vc<V> operator+(vc<V> a, vc<V> b) {
    return {a.re + b.re, a.im + b.im};
}
template <class V>
inline vc<V> operator-(vc<V> a, vc<V> b) {
    return {a.re - b.re, a.im - b.im};
}
template <class V>
inline vc<V> operator-(vc<V> a) {
    return {-a.re, -a.im};
}
template <class V>
inline vc<V> operator*(vc<V> a, vc<V> b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

template <class V>
inline V select(decltype(V{} < V{}) m, V a, V b) {
    return m ? a : b;
}

template <class V>
inline V abs_of(V x) {
    return x < 0.0 ? -x : x;
}

// Smith's division by one divisor, the branch chosen per lane. Both branches of the scalar
// code form r, den and the numerators from the same operands in the same order; with
// p the larger part and q the other, they differ only in the order of two additions, kept.
template <class V>
struct divisor {
    decltype(V{} < V{}) first;  // |re| >= |im|: the scalar code's first branch
    V r, den;
};

template <class V>
inline divisor<V> divisor_of(vc<V> b) {
    const auto m = abs_of(b.re) >= abs_of(b.im);
    const V p = select<V>(m, b.re, b.im), q = select<V>(m, b.im, b.re);
    const V r = q / p;
    const V qr = q * r;
    return {m, r, select<V>(m, p + qr, qr + p)};
}

template <class V>
inline vc<V> operator/(vc<V> a, const divisor<V>& d) {
    const V u = select<V>(d.first, a.re, a.im), v = select<V>(d.first, a.im, a.re);
    const V vr = v * d.r, ur = u * d.r;
    return {select<V>(d.first, u + vr, vr + u) / d.den, select<V>(d.first, v - ur, ur - v) / d.den};
}

template <class V>
inline vc<V> operator/(vc<V> a, vc<V> b) {
    return a / divisor_of(b);
}

// vertical_wavenumber of each lane: sqrt(x) real for x >= 0, i sqrt(-x) otherwise.
template <class V, V (*vsqrt)(V)>
inline vc<V> vertical_wavenumber_of(V x) {
    const auto m = x >= 0.0;
    const V s = vsqrt(select<V>(m, x, -x));
    const V zero = splat<V>(0.0);
    return {select<V>(m, s, zero), select<V>(m, zero, s)};
}

// exp(x + iy) per lane. The wavenumbers are real or imaginary, so one of x, y is zero in
// every lane; exp(±0) = 1, cos(±0) = 1 and sin(±0) = ±0 exactly, so those calls are skipped.
template <class V, int W>
inline vc<V> cexp_of(vc<V> z) {
    V e, c, s;
    for (int i = 0; i < W; ++i) {
        const double x = z.re[i], y = z.im[i];
        e[i] = x == 0.0 ? 1.0 : exp(x);
        if (y == 0.0) {
            c[i] = 1.0;
            s[i] = y;
        } else {
            c[i] = cos(y);
            s[i] = sin(y);
        }
    }
    return {e * c, e * s};
}

template <class V, int W>
inline vc<V> phase_factor_of(vc<V> nu, double h) {
    return cexp_of<V, W>(-(nu * real_of<vc<V>>(h)));
}

// The arithmetic of a vector of W lanes for the kernels of sh_kernel.h and psv_kernel.h.
template <class V, int W, V (*vsqrt)(V)>
struct Lanes {
    using R = V;
    using C = vc<V>;
    // vertical_wavenumber(k2, w2): at x = 0 exactly (the trial velocity is the layer's own)
    // the wavenumber is taken a rounding error of k2 away from the branch point.
    static C wavenumber(V k2, double w2) {
        const V x = k2 - w2;
        return vertical_wavenumber_of<V, vsqrt>(select<V>(x != 0.0, x, k2 * 0x1p-52));
    }
    static C phase(const C& nu, double h) { return phase_factor_of<V, W>(nu, h); }
};

}  // namespace
}  // namespace vemlari::detail

#pragma once
// Closed-form integrals over one layer of products of its depth functions: within a layer
// every field is a sum of exp(-nup (z-u)), exp(-nus (z-u)), exp(-nup (b-z)), exp(-nus (b-z))
// (u, b the layer's top and bottom), so the integral of a product of two fields is a
// bilinear form in their coefficients.
#include "kernels/complex.h"

namespace vemlari::detail {

// J(m, n) = integral over the layer of f_m f_n, m, n = 0 .. 3 in the order above; in the
// half-space (no bottom, no up-going waves) only m, n = 0 .. 1, down to infinite depth.
inline void layer_integrals(cplx nup, cplx nus, double h, bool half_space, cplx jj[4][4]) {
    const cplx one{1.0, 0.0};
    const cplx half{0.5, 0.0};
    if (half_space) {
        jj[0][0] = half / nup;
        jj[1][1] = half / nus;
        jj[0][1] = jj[1][0] = one / (nup + nus);
        return;
    }
    const cplx ep = phase_factor(nup, h);
    const cplx es = phase_factor(nus, h);
    const cplx hh{h, 0.0};
    jj[0][0] = jj[2][2] = (one - phase_factor(cplx{2.0, 0.0} * nup, h)) * half / nup;
    jj[1][1] = jj[3][3] = (one - phase_factor(cplx{2.0, 0.0} * nus, h)) * half / nus;
    jj[0][1] = jj[1][0] = jj[2][3] = jj[3][2] = (one - phase_factor(nup + nus, h)) / (nup + nus);
    jj[0][2] = jj[2][0] = hh * ep;
    jj[0][3] = jj[3][0] = jj[1][2] = jj[2][1] = (es - ep) / (nup - nus);
    jj[1][3] = jj[3][1] = hh * es;
}

// Integral of (sum_m x_m f_m)(sum_l y_l f_l) over the layer, m, l < n: a product of complex
// values, not of moduli.
inline cplx layer_product(const cplx x[4], const cplx y[4], const cplx jj[4][4], int n) {
    cplx sum{};
    for (int m = 0; m < n; ++m)
        for (int l = 0; l < n; ++l) sum = sum + x[m] * y[l] * jj[m][l];
    return sum;
}

}  // namespace vemlari::detail

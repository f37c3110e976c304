#pragma once
// What the kernels of any lane width read and write: views of the caller's records, indexed
// from 1 by interface, and the wavenumber both waves normalise by. L is the arithmetic of
// the lanes: R a real per lane, C a complex per lane, wavenumber(k2, w2) and
// phase(nu, h) as vertical_wavenumber and phase_factor of complex.h.
#include "kernels/layer_arrays.h"

namespace vemlari::detail {

// Modified coefficients per interface (T is a complex for SH, a 2 x 2 block for P-SV).
template <class T>
struct Interfaces {
    T* TD;
    T* TU;
    T* RD;
    T* RU;
};

// Generalized transmission and reflection per interface, of the stack below (down-going
// waves) or above (up-going waves).
template <class T>
struct Generalized {
    T* GT;
    T* GR;
};

template <class T>
struct Records {
    Interfaces<T> m;
    Generalized<T> down, up;
};

// nu / k of a layer for wave speed v.
template <class L>
inline typename L::C relative_wavenumber(double om, typename L::R wn, double v) {
    const typename L::C nu = L::wavenumber(wn * wn, om * om / (v * v));
    return {nu.re / wn, nu.im / wn};
}

}  // namespace vemlari::detail

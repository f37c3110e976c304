#pragma once
// The one complex-arithmetic helper of the program. Every operation is spelled out so that
// results do not depend on a library's choice of algorithm: textbook products, Smith's
// division, exp(x + iy) = e^x (cos y, sin y), modulus by hypot.
#include <cmath>

namespace vemlari::detail {

struct cplx {
    double re = 0.0;
    double im = 0.0;
};

inline cplx operator+(cplx a, cplx b) { return {a.re + b.re, a.im + b.im}; }
inline cplx operator-(cplx a, cplx b) { return {a.re - b.re, a.im - b.im}; }
inline cplx operator-(cplx a) { return {-a.re, -a.im}; }
inline cplx operator*(cplx a, cplx b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }

// Smith's method: scale by the larger part of the divisor to avoid overflow.
inline cplx operator/(cplx a, cplx b) {
    if (std::fabs(b.re) >= std::fabs(b.im)) {
        const double r = b.im / b.re;
        const double den = b.re + b.im * r;
        return {(a.re + a.im * r) / den, (a.im - a.re * r) / den};
    }
    const double r = b.re / b.im;
    const double den = b.re * r + b.im;
    return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
}

// A divisor of several quotients. One lane divides by it as above each time; a vector of
// lanes forms Smith's ratio and denominator for it once.
inline cplx divisor_of(cplx b) { return b; }

inline double cabs(cplx a) { return std::hypot(a.re, a.im); }

inline cplx cexp(cplx z) {
    const double e = std::exp(z.re);
    return {e * std::cos(z.im), e * std::sin(z.im)};
}

// Vertical wavenumber sqrt(x) of a real x = k^2 - w^2/v^2, on the branch Re >= 0: real and
// positive for an evanescent wave, +i*sqrt(-x) for a propagating one. The principal root of
// a real number already lies on that branch, so no sign flip is ever needed.
inline cplx vertical_wavenumber(double x) {
    if (x >= 0.0) return {std::sqrt(x), 0.0};
    return {0.0, std::sqrt(-x)};
}

// The same for x = k2 - w2. At x = 0 exactly the trial velocity is the layer's own: the up-
// and down-going solutions coincide and the coefficients would divide zero by zero. The
// functions are continuous there, so they are taken a rounding error of k2 away.
inline cplx vertical_wavenumber(double k2, double w2) {
    const double x = k2 - w2;
    return vertical_wavenumber(x != 0.0 ? x : k2 * 0x1p-52);
}

// Phase factor exp(-nu*h) across a real thickness h (imaginary part of h taken as 0).
inline cplx phase_factor(cplx nu, double h) { return cexp(-(nu * cplx{h, 0.0})); }

}  // namespace vemlari::detail

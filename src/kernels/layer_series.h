#pragma once
// The solutions of f'' = lambda f across a layer of scaled thickness h, and their divided
// differences between the P and the S wave, by power series where |lambda| h^2 < 1.
//
// C = cosh(sqrt(lambda) h), S = sinh(sqrt(lambda) h) / sqrt(lambda), E = lambda S (cos, sin
// for lambda < 0). In a layer much thinner than a wavelength the P and S solutions agree to
// many digits, and the propagator needs their differences: (C_s - C_p) / (lambda_s - lambda_p)
// and alike are entire functions of both lambdas, summed here term by term without any
// cancellation.
#include <cmath>

namespace vemlari::detail {

// With |lambda| h^2 < 1 the n-th term is below (n + 1) 2 / (2n)! of the first: 12 terms
// reach 1e-20. A series stops earlier once a bound on its next term falls below 1e-17 of
// the first, which the sum never goes far below.
inline constexpr int series_terms = 12;
inline constexpr double series_accuracy = 1e-17;

struct WaveSeries {
    double c = 1.0, s = 0.0, e = 0.0;
};

struct DividedSeries {
    double dc = 0.0, ds = 0.0, de = 0.0;
};

// |lambda| h^2 < 1 or lambda <= 0 with any h: C, S, E directly or by series.
inline WaveSeries wave_series(double lambda, double h) {
    const double x = lambda * h * h;
    WaveSeries r;
    if (std::fabs(x) < 1.0) {
        // C = sum x^n / (2n)!, S = h sum x^n / (2n+1)!
        double tc = 1.0, ts = h, c = 1.0, s = h;
        const double small = series_accuracy * 0.5 * h;  // c >= cos 1 > 1/2, s >= h sin 1 > h / 2
        for (int n = 1; n <= series_terms; ++n) {
            tc *= x / ((2.0 * n - 1.0) * (2.0 * n));
            ts *= x / ((2.0 * n) * (2.0 * n + 1.0));
            c += tc;
            s += ts;
            if (std::fabs(tc) < series_accuracy * 0.5 && std::fabs(ts) < small) break;
        }
        r.c = c;
        r.s = s;
    } else if (lambda < 0.0) {
        const double eta = std::sqrt(-lambda);
        r.c = std::cos(eta * h);
        r.s = std::sin(eta * h) / eta;
    } else {
        const double nu = std::sqrt(lambda);
        r.c = std::cosh(nu * h);
        r.s = std::sinh(nu * h) / nu;
    }
    r.e = lambda * r.s;
    return r;
}

// Divided differences [f(ls) - f(lp)] / (ls - lp) of C, S and E in lambda; needs
// max(|ls|, |lp|) h^2 < 1.
inline DividedSeries divided_series(double ls, double lp, double h) {
    // C = sum lambda^n h^2n / (2n)!: [C] = sum_{n>=1} h^2n / (2n)! H_{n-1}, H_m the complete
    // homogeneous polynomial of degree m in (ls, lp); S alike with h^(2n+1) / (2n+1)!; E =
    // sum_{n>=0} lambda^(n+1) h^(2n+1) / (2n+1)!: [E] = sum_{n>=0} h^(2n+1) / (2n+1)! H_n.
    DividedSeries r;
    const double h2 = h * h;
    double hm = 1.0;   // H_m
    double lpm = 1.0;  // lp^m
    double tc = 1.0;   // h^2n / (2n)!
    double ts = h;     // h^(2n+1) / (2n+1)!
    r.de = ts;         // n = 0: H_0 = 1
    // |H_m| <= (m + 1) m_max^m bounds every later term; the sums stay above half their
    // first terms h^2 / 2, h^3 / 6 and h.
    const double m_max = std::fmax(std::fabs(ls), std::fabs(lp));
    double bound = 1.0;  // m_max^n
    for (int n = 1; n <= series_terms; ++n) {
        tc *= h2 / ((2.0 * n - 1.0) * (2.0 * n));
        ts *= h2 / ((2.0 * n) * (2.0 * n + 1.0));
        const double dc = tc * hm, ds = ts * hm;  // H_{n-1}
        r.dc += dc;
        r.ds += ds;
        lpm *= lp;
        hm = ls * hm + lpm;  // H_n
        const double de = ts * hm;
        r.de += de;
        bound *= m_max;
        if (ts * (n + 2.0) * bound * m_max < series_accuracy * 0.5 * std::fmin(h * h * h / 6.0, h) &&
            tc * (n + 1.0) * bound < series_accuracy * 0.25 * h * h)
            break;
    }
    return r;
}

}  // namespace vemlari::detail

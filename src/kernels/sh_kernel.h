#pragma once
// The SH (Love) kernels, written once for any lane width. L is the arithmetic of the lanes
// (kernel_views.h): one lane (one_lane.h) is the scalar kernel; a vector of lanes
// (lane_complex.h) gives in every lane the bits of the one-lane evaluation.
#include "kernels/blocks.h"
#include "kernels/kernel_views.h"

namespace vemlari::detail {

// SH layer matrix of one layer (rows: displacement, shear stress; columns: down, up) and
// its vertical wavenumber.
template <class L>
struct ShMatrix {
    typename L::C e11, e21, e12, e22, nu;
};

template <class L>
inline ShMatrix<L> sh_matrix(typename L::R wn2, double om2, const LayerArrays& s, int j) {
    using C = typename L::C;
    const double vs2 = s.vs[j] * s.vs[j];
    const double ws2 = s.ws2 ? s.ws2[j] : om2 / vs2;
    const C nu = L::wavenumber(wn2, ws2);
    const double sm = s.rho[j] * vs2;
    const C mnu = real_of<C>(sm) * nu;
    return {real_of<C>(1.0), -mnu, real_of<C>(1.0), mnu, nu};
}

// Modified coefficients: Cramer's rule for continuity of displacement and shear stress at
// each interface, with the amplitudes referred so that every phase factor decays. Needs
// nl >= 2.
template <class L>
inline void sh_interfaces(double om, typename L::R wn, const LayerArrays& s, const Interfaces<typename L::C>& m) {
    using C = typename L::C;
    const auto wn2 = wn * wn;
    const double om2 = om * om;

    ShMatrix<L> ea = sh_matrix<L>(wn2, om2, s, 1);
    C dda = L::phase(ea.nu, s.thk[1]);
    m.RU[0] = dda;

    for (int i = 1; i <= s.nl - 2; ++i) {
        const ShMatrix<L> eb = sh_matrix<L>(wn2, om2, s, i + 1);
        const C dub = L::phase(eb.nu, s.thk[i + 1]);
        const auto eab = divisor_of(eb.e21 * ea.e12 - eb.e11 * ea.e22);
        m.TD[i] = (ea.e12 * ea.e21 - ea.e11 * ea.e22) * dda / eab;
        m.RU[i] = (eb.e12 * ea.e22 - eb.e22 * ea.e12) * dub / eab;
        m.RD[i] = (eb.e11 * ea.e21 - ea.e11 * eb.e21) * dda / eab;
        m.TU[i] = (eb.e12 * eb.e21 - eb.e22 * eb.e11) * dub / eab;
        ea = eb;
        dda = dub;
    }

    // Above the half-space nothing comes up, so only the down-going coefficients are needed.
    const int i = s.nl - 1;
    const ShMatrix<L> eb = sh_matrix<L>(wn2, om2, s, s.nl);
    const auto eab = divisor_of(eb.e21 * ea.e12 - eb.e11 * ea.e22);
    m.TD[i] = (ea.e12 * ea.e21 - ea.e11 * ea.e22) * dda / eab;
    m.RD[i] = (eb.e11 * ea.e21 - ea.e11 * eb.e21) * dda / eab;
}

// Generalized coefficients of the stack below, from the half-space upwards:
// GTD(i) = TD(i) / (1 - RU(i) GRD(i+1)),  GRD(i) = RD(i) + TU(i) GRD(i+1) GTD(i).
// near_pole(d) sees every reverberation term d: one close to zero means the trial velocity
// sits on a pole; the search goes on and the caller logs it.
template <class C, class M, class NearPole>
inline void sh_downward(int nl, const M& m, const Generalized<C>& g, NearPole&& near_pole) {
    const int last = nl - 1;
    C gr = m.RD[last];
    g.GT[last] = m.TD[last];
    g.GR[last] = gr;
    for (int i = nl - 2; i >= 1; --i) {
        const C d = real_of<C>(1.0) - m.RU[i] * gr;
        near_pole(d);
        const C gt = m.TD[i] / d;
        gr = m.RD[i] + (m.TU[i] * gr) * gt;
        g.GT[i] = gt;
        g.GR[i] = gr;
    }
}

// Generalized coefficients of the stack above interfaces 0 .. last, from the free surface
// downwards: GTU(i) = TU(i) / (1 - RD(i) GRU(i-1)),  GRU(i) = RU(i) + TD(i) GRU(i-1) GTU(i).
template <class C, class M>
inline void sh_upward(int last, const M& m, const Generalized<C>& g) {
    C gr = m.RU[0];
    g.GR[0] = gr;
    for (int i = 1; i <= last; ++i) {
        const C d = real_of<C>(1.0) - m.RD[i] * gr;
        const C gt = m.TU[i] / d;
        gr = m.RU[i] + (m.TD[i] * gr) * gt;
        g.GT[i] = gt;
        g.GR[i] = gr;
    }
}

// The Love secular function; needs nl >= 2. At the free surface (top = 1) a mode is a
// down-going wave that returns to itself after one round trip to the stack below and back:
// F_L = 1 - RU(0) GRD(1). Referred to the top of layer `top`, F_L = 1 - GRU(top-1) GRD(top)
// divided by nu / k of that layer: where its wave turns from propagating to evanescent, the
// up- and down-going solutions coincide and the loop closes trivially; the division removes
// that false zero and keeps F dimensionless.
template <class L, class NearPole>
inline typename L::C love_function(double om, typename L::R wn, int top, const LayerArrays& s,
                                   const Records<typename L::C>& r, NearPole&& near_pole) {
    using C = typename L::C;
    sh_interfaces<L>(om, wn, s, r.m);
    sh_downward(s.nl, r.m, r.down, near_pole);
    if (top == 1) return real_of<C>(1.0) - r.m.RU[0] * r.down.GR[1];
    sh_upward(top - 1, r.m, r.up);
    const C f = real_of<C>(1.0) - r.up.GR[top - 1] * r.down.GR[top];
    return f / relative_wavenumber<L>(om, wn, s.vs[top]);
}

}  // namespace vemlari::detail

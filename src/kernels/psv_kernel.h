#pragma once
// The P-SV (Rayleigh) kernels, written once for any lane width. L is the arithmetic of the
// lanes (kernel_views.h): one lane (one_lane.h) is the scalar kernel; a vector of lanes
// (lane_complex.h) gives in every lane the bits of the one-lane evaluation.
#include "kernels/blocks.h"
#include "kernels/kernel_views.h"
#include "kernels/mat2.h"

namespace vemlari::detail {

// P-SV layer matrix: columns down-going P, S, up-going P, S; rows horizontal and vertical
// displacement, shear and normal traction; cms, cmp the vertical wavenumbers.
template <class L>
inline void psv_matrix(double om, typename L::R wn, const LayerArrays& s, int l, typename L::C& cms, typename L::C& cmp,
                       Block4<typename L::C>& ee) {
    using R = typename L::R;
    using C = typename L::C;
    const double vs2 = s.vs[l] * s.vs[l];
    const double vp2 = s.vp[l] * s.vp[l];
    const double sm = s.rho[l] * vs2;

    if (om == 0.0) {
        // Static limit: no vertical wavenumbers, the caller's cms and cmp are left alone.
        const double x0 = (1.0 + vs2 / vp2) / (1.0 - vs2 / vp2);
        const R aa = wn * sm;
        ee(1, 1) = real_of<C>(1.0);
        ee(1, 2) = real_of<C>(1.0);
        ee(1, 3) = real_of<C>(1.0);
        ee(1, 4) = real_of<C>(1.0);
        ee(2, 1) = real_of<C>(-(x0 - 1.0));
        ee(2, 2) = real_of<C>(1.0);
        ee(2, 3) = real_of<C>(x0 - 1.0);
        ee(2, 4) = real_of<C>(-1.0);
        ee(3, 1) = C{(x0 - 3.0) * aa, R{}};
        ee(3, 2) = C{-2.0 * aa, R{}};
        ee(3, 3) = C{-((x0 - 3.0) * aa), R{}};
        ee(3, 4) = C{2.0 * aa, R{}};
        ee(4, 1) = C{(x0 - 1.0) * aa, R{}};
        ee(4, 2) = C{-2.0 * aa, R{}};
        ee(4, 3) = C{(x0 - 1.0) * aa, R{}};
        ee(4, 4) = C{-2.0 * aa, R{}};
        return;
    }

    const R wn2 = wn * wn;
    const double om2 = om * om;
    const double ws2 = s.ws2 ? s.ws2[l] : om2 / vs2;
    cms = L::wavenumber(wn2, ws2);
    const C cmsg{cms.re / wn, cms.im / wn};
    const double wp2 = s.wp2 ? s.wp2[l] : om2 / vp2;
    cmp = L::wavenumber(wn2, wp2);
    const C cmpg{cmp.re / wn, cmp.im / wn};
    const R x0 = (wn + wn) - ws2 / wn;

    const C smp = real_of<C>(2.0 * sm) * cmp;
    const C sms = real_of<C>(2.0 * sm) * cms;
    const R smx = sm * x0;
    ee(1, 1) = real_of<C>(-1.0);
    ee(1, 2) = cmsg;
    ee(1, 3) = real_of<C>(-1.0);
    ee(1, 4) = cmsg;
    ee(2, 1) = -cmpg;
    ee(2, 2) = real_of<C>(1.0);
    ee(2, 3) = cmpg;
    ee(2, 4) = real_of<C>(-1.0);
    ee(3, 1) = smp;
    ee(3, 2) = C{-smx, R{}};
    ee(3, 3) = -smp;
    ee(3, 4) = C{smx, R{}};
    ee(4, 1) = C{smx, R{}};
    ee(4, 2) = -sms;
    ee(4, 3) = C{smx, R{}};
    ee(4, 4) = -sms;
}

// Phase factors across the layer, P first.
template <class L>
inline Block2<typename L::C> psv_phases(double thk, const typename L::C& cms, const typename L::C& cmp) {
    using C = typename L::C;
    return {L::phase(cmp, thk), C{}, C{}, L::phase(cms, thk)};
}

// The twelve 2 x 2 minors of one column: a, b from rows (i, j), c, d from rows (k, m).
template <class C>
struct Minors {
    C a1, a2, a3, b1, b2, b3, c1, c2, c3, d1, d2, d3;
};

// a and b of rows (p, q); they are also the d and c of the column whose (k, m) is (p, q).
template <class C>
inline void upper_minors(const Block4<C>& ee, int p, int q, C& x1, C& x2, C& x3, C& y1, C& y2, C& y3) {
    x1 = ee(p, 4) * ee(q, 1) - ee(p, 1) * ee(q, 4);
    x2 = ee(p, 4) * ee(q, 2) - ee(p, 2) * ee(q, 4);
    x3 = ee(p, 4) * ee(q, 3) - ee(p, 3) * ee(q, 4);
    y1 = ee(p, 3) * ee(q, 2) - ee(p, 2) * ee(q, 3);
    y2 = ee(p, 1) * ee(q, 3) - ee(p, 3) * ee(q, 1);
    y3 = ee(p, 2) * ee(q, 1) - ee(p, 1) * ee(q, 2);
}

template <class C>
inline void inverse_column(const Block4<C>& ee, Block4<C>& e, int i, const Minors<C>& n) {
    const int j = i % 4 + 1;
    const auto aa = divisor_of(n.a1 * n.c1 + n.a2 * n.c2 + n.a3 * n.c3 + n.b1 * n.d1 + n.b2 * n.d2 + n.b3 * n.d3);
    e(1, i) = (-(ee(j, 2) * n.d3) + ee(j, 3) * n.d2 - ee(j, 4) * n.c1) / aa;
    e(2, i) = (ee(j, 1) * n.d3 - ee(j, 3) * n.d1 - ee(j, 4) * n.c2) / aa;
    e(3, i) = (-(ee(j, 1) * n.d2) + ee(j, 2) * n.d1 - ee(j, 4) * n.c3) / aa;
    e(4, i) = (ee(j, 1) * n.c1 + ee(j, 2) * n.c2 + ee(j, 3) * n.c3) / aa;
}

// Inverse of ee into e by cofactors (adjugate over determinant). Column i of the inverse needs
// the 3 x 3 minors without row i; the other rows are taken cyclically after i, so for i = 2
// and 4 the determinant and the cofactors both change sign and their quotients stay right.
// The rows (i, j) of column i are the rows (k, m) of column i + 2, with the same products in
// the same order, so each pair of row minors is formed once.
template <class C>
inline void invert(const Block4<C>& ee, Block4<C>& e) {
    Minors<C> col[5];
    for (int i = 1; i <= 4; ++i) {
        Minors<C>& n = col[i];
        if (i <= 2) {
            upper_minors(ee, i, i % 4 + 1, n.a1, n.a2, n.a3, n.b1, n.b2, n.b3);
            upper_minors(ee, i + 2, (i + 2) % 4 + 1, n.d1, n.d2, n.d3, n.c1, n.c2, n.c3);
        } else {
            const Minors<C>& o = col[i - 2];
            n = {o.d1, o.d2, o.d3, o.c1, o.c2, o.c3, o.b1, o.b2, o.b3, o.a1, o.a2, o.a3};
        }
        inverse_column(ee, e, i, n);
    }
}

// The 2 x 2 block of `e` whose top left entry is (r, c).
template <class C>
inline Block2<C> block(const Block4<C>& e, int r, int c) {
    return {e(r, c), e(r + 1, c), e(r, c + 1), e(r + 1, c + 1)};
}

// Continuity of displacement and traction at interface l,
//   ea [dda a_l; b_l] = eb [a_{l+1}; dub b_{l+1}],
// solved for the waves leaving the interface: e1 [a_{l+1}; b_l] = e2 [dda a_l; dub b_{l+1}].
// Without `up` only the down-going coefficients TD, RD are formed (dub is not read).
template <class C, class M>
inline void psv_interface(const Block4<C>& ea, const Block4<C>& eb, const Block2<C>& dda, const Block2<C>& dub, bool up,
                          int l, const M& m) {
    Block4<C> e1, e2;
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 2; ++c) {
            e1(r, c) = eb(r, c);
            e2(r, c) = ea(r, c);
        }
        for (int c = 3; c <= 4; ++c) {
            e1(r, c) = -ea(r, c);
            e2(r, c) = -eb(r, c);
        }
    }
    Block4<C> inv;
    invert(e1, inv);

    Block4<C> e3;
    const int columns = up ? 4 : 2;
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= columns; ++c) {
            C sum{};
            for (int q = 1; q <= 4; ++q) sum = sum + inv(r, q) * e2(q, c);
            e3(r, c) = sum;
        }
    }

    m.TD[l] = block(e3, 1, 1) * dda;
    m.RD[l] = block(e3, 3, 1) * dda;
    if (!up) return;
    m.RU[l] = block(e3, 1, 3) * dub;
    m.TU[l] = block(e3, 3, 3) * dub;
}

// Layer 1 as the kernels leave it: its matrix, vertical wavenumbers and phase factors.
template <class C>
struct TopLayer {
    C cms{}, cmp{};
    Block4<C> er;
    Block2<C> du;
};

// Modified coefficients of every interface. The half-space's up-going ones (RU, TU at nl-1)
// only with half_space_up: the secular functions never read them.
template <class L>
inline void psv_interfaces(double om, typename L::R wn, const LayerArrays& s,
                           const Interfaces<Block2<typename L::C>>& m, bool half_space_up,
                           TopLayer<typename L::C>& top) {
    using C = typename L::C;
    C cms{}, cmp{};
    Block4<C> ea, eb;
    psv_matrix<L>(om, wn, s, 1, cms, cmp, ea);
    Block2<C> dda = psv_phases<L>(s.thk[1], cms, cmp), dub{};
    top.cms = cms;
    top.cmp = cmp;
    top.er = ea;
    top.du = dda;
    // Each layer matrix serves as the lower side of one interface and the upper side of the next.
    for (int i = 1; i <= s.nl - 1; ++i) {
        psv_matrix<L>(om, wn, s, i + 1, cms, cmp, eb);
        const bool up = half_space_up || i + 1 < s.nl;
        if (up) dub = psv_phases<L>(s.thk[i + 1], cms, cmp);
        psv_interface(ea, eb, dda, dub, up, i, m);
        ea = eb;
        dda = dub;
    }
}

// Generalized matrices of the stack below, from the half-space upwards:
// GTD(l) = [I - RU(l) GRD(l+1)]^-1 TD(l),  GRD(l) = RD(l) + TU(l) GRD(l+1) GTD(l).
template <class C, class M>
inline void psv_downward(int nl, const M& m, const Generalized<Block2<C>>& g) {
    const int last = nl - 1;
    Block2<C> gr = m.RD[last];
    g.GT[last] = m.TD[last];
    g.GR[last] = gr;
    for (int l = nl - 2; l >= 1; --l) {
        const Block2<C> e2 = inverse(identity_minus_product(m.RU[l], gr));
        const Block2<C> gt = e2 * m.TD[l];
        gr = m.RD[l] + (m.TU[l] * gr) * gt;
        g.GT[l] = gt;
        g.GR[l] = gr;
    }
}

// Generalized matrices of the stack above interfaces 0 .. last, from the free surface
// downwards: GTU(i) = [I - RD(i) GRU(i-1)]^-1 TU(i),  GRU(i) = RU(i) + TD(i) GRU(i-1) GTU(i).
// At the free surface the traction of the down-going waves at z = 0 cancels that of the
// up-going waves carried up from the bottom of layer 1 (matrix er, phase factors du), so
// d = -T_d^-1 T_u du u.
template <class C, class M>
inline void psv_upward(int last, const Block4<C>& er, const Block2<C>& du, const M& m,
                       const Generalized<Block2<C>>& g) {
    const Block2<C> td{er(3, 1), er(4, 1), er(3, 2), er(4, 2)};
    const Block2<C> tu{er(3, 3), er(4, 3), er(3, 4), er(4, 4)};
    const Block2<C> r = inverse(td) * tu * du;
    Block2<C> gr{-r.m11, -r.m21, -r.m12, -r.m22};
    g.GR[0] = gr;
    for (int i = 1; i <= last; ++i) {
        const Block2<C> gt = inverse(identity_minus_product(m.RD[i], gr)) * m.TU[i];
        gr = m.RU[i] + (m.TD[i] * gr) * gt;
        g.GT[i] = gt;
        g.GR[i] = gr;
    }
}

// The Rayleigh secular function; needs nl >= 2 and om != 0. At the free surface (top = 1):
// F_R = det(free-surface stress matrix) / (cms cmp sm2), sm2 = (rho(1) vs(1)^2)^2. Referred
// to the top of layer `top`: F_R = det(I - GRU(top-1) GRD(top)) divided by the nu / k of its
// S and P waves (see love_function). `top` receives layer 1.
template <class L>
inline typename L::C rayleigh_function(double om, typename L::R wn, double sm2, int top, const LayerArrays& s,
                                       const Records<Block2<typename L::C>>& r, TopLayer<typename L::C>& t) {
    using C = typename L::C;
    psv_interfaces<L>(om, wn, s, r.m, false, t);
    psv_downward(s.nl, r.m, r.down);
    const Block4<C>& er = t.er;
    if (top == 1) {
        // Free-surface traction of unit down-going P and S in layer 1 with the up-going waves
        // they produce; a mode makes it singular. The normalisation keeps |F_R| comparable
        // with the search tolerance.
        const Block2<C>& g = r.down.GR[1];
        const C ddp = t.du.m11, dds = t.du.m22;
        const C aa11 = er(3, 1) + er(3, 3) * ddp * g.m11 + er(3, 4) * dds * g.m21;
        const C aa21 = er(4, 1) + er(4, 3) * ddp * g.m11 + er(4, 4) * dds * g.m21;
        const C aa12 = er(3, 2) + er(3, 3) * ddp * g.m12 + er(3, 4) * dds * g.m22;
        const C aa22 = er(4, 2) + er(4, 3) * ddp * g.m12 + er(4, 4) * dds * g.m22;
        return (aa11 * aa22 - aa12 * aa21) / (t.cms * t.cmp * real_of<C>(sm2));
    }
    psv_upward(top - 1, er, t.du, r.m, r.up);
    const C f = det(identity_minus_product(r.up.GR[top - 1], r.down.GR[top]));
    return f / (relative_wavenumber<L>(om, wn, s.vs[top]) * relative_wavenumber<L>(om, wn, s.vp[top]));
}

}  // namespace vemlari::detail

#include "eigen/ellipticity_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "eigen/rayleigh_mode.h"
#include "kernels/mat2.h"

namespace vemlari::detail {

namespace {

constexpr double step = 1e-6;

double surface_hv(double om, double c, int top, const Nstrc& s, RayleighCoefficients& k) {
    const double wn = om / c;
    rayleigh_coefficients(om, wn, top, s, k);
    return rayleigh_hv(om, wn, s, k);
}

// d surface_hv / d value by central differences, `value` (in `s`, or the phase velocity)
// put back bit for bit.
double partial(double& value, double delta, double om, const double& c, int top, const Nstrc& s,
               RayleighCoefficients& k) {
    const double kept = value, up = kept + delta, down = kept - delta;
    value = up;
    const double hv_up = surface_hv(om, c, top, s, k);
    value = down;
    const double hv_down = surface_hv(om, c, top, s, k);
    value = kept;
    return (hv_up - hv_down) / (up - down);
}

// The surface H/V of the field built on `k` with the reflection GRD[1] of the stack below
// layer 1 replaced by g1: the field reaches the deeper layers through it alone.
double hv_with(double om, double wn, const Nstrc& s, RayleighCoefficients& k, const Mat2& g1) {
    const Mat2 kept = k.grtry.GRD[1];
    k.grtry.GRD[1] = g1;
    const double hv = rayleigh_hv(om, wn, s, k);
    k.grtry.GRD[1] = kept;
    return hv;
}

// GRD at interface l from the coefficients of that interface and GRD one interface below.
Mat2 reflection_below(const Mrtry& m, int l, int nl, const Mat2& below) {
    if (l == nl - 1) return m.RD[l];
    const Mat2 gtd = inverse(identity_minus_product(m.RU[l], below)) * m.TD[l];
    return m.RD[l] + (m.TU[l] * below) * gtd;
}

// Re tr(w g).
double pairing(const Mat2& w, const Mat2& g) {
    return ((w.m11 * g.m11 + w.m12 * g.m21) + (w.m21 * g.m12 + w.m22 * g.m22)).re;
}

constexpr cplx Mat2::*entries[] = {&Mat2::m11, &Mat2::m21, &Mat2::m12, &Mat2::m22};

}  // namespace

// The surface field depends on the layers below the first only through G1 = GRD[1], and
// G1 on the deeper GRD[l] through the recursion GRD[l] = RD + TU GRD[l+1] (I - RU
// GRD[l+1])^-1 TD, whose change is dGRD[l] = A_l dGRD[l+1] B_l with A_l = TU (I - GRD[l+1]
// RU)^-1 and B_l = GTD[l]. So d(H/V) = Re tr(W_l dGRD[l]) with W_1 from differences of the
// surface field in the entries of G1 and W_{l+1} = B_l W_l A_l: a value of layer j moves
// only the coefficients of interfaces j - 1 and j, and its change reaches the surface
// through W_{j-1}. Layers 1 and 2 go through the surface field itself.
void EllipticityWork::partials(double om, double wn, Nstrc& s, RayleighCoefficients& k, EllipticityKernels& out) {
    const int nl = s.nl;
    const auto n = static_cast<std::size_t>(nl) + 1;
    e.resize(n);
    d.resize(n);
    w.resize(n);
    cms.resize(n);
    cmp.resize(n);
    scratch.fit(nl);
    rayleigh_coefficients(om, wn, 1, s, k);
    const Grtry& g = k.grtry;
    const Mrtry& m = k.mrtry;
    for (int l = 1; l <= nl; ++l) {
        const auto i = static_cast<std::size_t>(l);
        mtxry(om, wn, l, s, cms[i], cmp[i], e[i]);
        ddury(s.thk[i], cms[i], cmp[i], d[i]);
    }
    // W_1 = P^T, P_ab = dF/dRe(G_ab) - i dF/dIm(G_ab).
    const Mat2 g1 = g.GRD[1];
    double size = 1.0;
    for (auto entry : entries) size = std::max(size, cabs(g1.*entry));
    const double delta = step * size;
    Mat2 p{};
    for (auto entry : entries) {
        double slope[2];
        for (int part = 0; part < 2; ++part) {
            Mat2 up = g1, down = g1;
            double& u = part == 0 ? (up.*entry).re : (up.*entry).im;
            double& v = part == 0 ? (down.*entry).re : (down.*entry).im;
            const double kept = u;
            u = kept + delta;
            v = kept - delta;
            slope[part] = (hv_with(om, wn, s, k, up) - hv_with(om, wn, s, k, down)) / (u - v);
        }
        p.*entry = {slope[0], -slope[1]};
    }
    w[1] = {p.m11, p.m12, p.m21, p.m22};
    for (int l = 1; l + 1 < nl; ++l) {
        const auto i = static_cast<std::size_t>(l);
        const Mat2 a = m.TU[i] * inverse(identity_minus_product(g.GRD[i + 1], m.RU[i]));
        w[i + 1] = (g.GTD[i] * w[i]) * a;
    }
    // The H/V, up to a constant, with one value of layer j moved.
    auto moved = [&](int j) {
        const auto i = static_cast<std::size_t>(j);
        Mat4 ej;
        Mat2 dj;
        cplx ms, mp;
        mtxry(om, wn, j, s, ms, mp, ej);
        ddury(s.thk[i], ms, mp, dj);
        if (j > 1) mtrry(e[i - 1], ej, d[i - 1], dj, j - 1, scratch);
        if (j < nl) mtrry(ej, e[i + 1], dj, d[i + 1], j, scratch);
        Mat2 below{};
        if (j < nl) below = reflection_below(scratch, j, nl, j + 1 < nl ? g.GRD[i + 1] : Mat2{});
        if (j == 1) return hv_with(om, wn, s, k, below);
        const Mat2 above = reflection_below(scratch, j - 1, nl, below);
        return j == 2 ? hv_with(om, wn, s, k, above) : pairing(w[i - 1], above);
    };
    auto difference = [&](double& value, double delta_value, int j) {
        const double kept = value, up = kept + delta_value, down = kept - delta_value;
        value = up;
        const double at_up = moved(j);
        value = down;
        const double at_down = moved(j);
        value = kept;
        return (at_up - at_down) / (up - down);
    };
    const double length = 1.0 / wn;
    for (int j = 1; j <= nl; ++j) {
        const auto i = static_cast<std::size_t>(j);
        out.dvs[i - 1] = difference(s.vs[i], step * s.vs[i], j);
        out.dvp[i - 1] = difference(s.vp[i], step * s.vp[i], j);
        out.drho[i - 1] = difference(s.rho[i], step * s.rho[i], j);
        if (j < nl) out.dh[i - 1] = difference(s.thk[i], step * length, j);
    }
}

void ellipticity_kernels(double om, double c, int top, const PhaseKernels& dc, Nstrc& s, RayleighCoefficients& k,
                         EllipticityWork& work, EllipticityKernels& out) {
    const auto nl = static_cast<std::size_t>(s.nl);
    for (auto* v : {&out.dvs, &out.dvp, &out.drho, &out.dh}) v->assign(nl, 0.0);
    double trial = c;
    double along_c = partial(trial, step * c, om, trial, top, s, k);
    // A mode referred to a deeper layer's top has the same field from the free surface when
    // that construction holds it (its H/V agrees) and its extension off the mode is not
    // steep (c dh/dc within 50 max(|h|, 1); a mode trapped at depth has it 1e3 to 1e6 times
    // that, and the two terms below cancel in rounding): the extension may be either, and the
    // surface's costs a few fields in place of one per layer value.
    if (top > 1 && s.nl > 1) {
        const double deep = surface_hv(om, c, top, s, k), surface = surface_hv(om, c, 1, s, k);
        const double slope = partial(trial, step * c, om, trial, 1, s, k);
        const bool holds = std::fabs(surface - deep) <= 1e-9 * std::fabs(deep);
        if (holds && c * std::fabs(slope) <= 50.0 * std::fmax(std::fabs(deep), 1.0)) {
            top = 1;
            along_c = slope;
        }
    }
    if (top <= 1 && s.nl > 1) {
        work.partials(om, om / c, s, k, out);
    } else {
        const double length = c / om;
        for (std::size_t i = 0; i < nl; ++i) {
            const std::size_t j = i + 1;
            out.dvs[i] = partial(s.vs[j], step * s.vs[j], om, c, top, s, k);
            out.dvp[i] = partial(s.vp[j], step * s.vp[j], om, c, top, s, k);
            out.drho[i] = partial(s.rho[j], step * s.rho[j], om, c, top, s, k);
            if (j < nl) out.dh[i] = partial(s.thk[j], step * length, om, c, top, s, k);
        }
    }
    for (std::size_t i = 0; i < nl; ++i) {
        out.dvs[i] += along_c * dc.dvs[i];
        out.dvp[i] += along_c * dc.dvp[i];
        out.drho[i] += along_c * dc.drho[i];
        if (i + 1 < nl) out.dh[i] += along_c * dc.dh[i];
    }
}

}  // namespace vemlari::detail

#include "kernels/secular.h"

#include "kernels/mat2.h"

namespace vemlari {

cplx love_secular(double om, double wn, const Nstrc& s, LoveWork& w) {
    gnrtlv(om, wn, s, w.mrtlv, w.grtlv);
    // A mode is a down-going wave that returns to itself after one round trip to the stack
    // below and back from the free surface.
    return cplx{1.0, 0.0} - w.grtlv.RU0 * w.grtlv.GRD[1];
}

cplx rayleigh_secular(double om, double wn, double sm2, const Nstrc& s, RayleighWork& w) {
    gnrtry(om, wn, s, w.mrtry, w.grtry);
    mtxry(om, wn, 1, s, w.cms, w.cmp, w.er);
    const Mat4& er = w.er;
    const Mat2& r = w.grtry.GRD[1];
    const cplx dds = phase_factor(w.cms, s.thk[1]);
    const cplx ddp = phase_factor(w.cmp, s.thk[1]);

    // Free-surface traction of unit down-going P and S in layer 1 with the up-going waves
    // they produce; a mode makes it singular.
    const cplx aa11 = er(3, 1) + er(3, 3) * ddp * r.m11 + er(3, 4) * dds * r.m21;
    const cplx aa21 = er(4, 1) + er(4, 3) * ddp * r.m11 + er(4, 4) * dds * r.m21;
    const cplx aa12 = er(3, 2) + er(3, 3) * ddp * r.m12 + er(3, 4) * dds * r.m22;
    const cplx aa22 = er(4, 2) + er(4, 3) * ddp * r.m12 + er(4, 4) * dds * r.m22;

    // The normalisation keeps |F_R| comparable with the search tolerance.
    return (aa11 * aa22 - aa12 * aa21) / (w.cms * w.cmp * cplx{sm2, 0.0});
}

namespace {

// nu / k of layer j for wave speed v.
cplx relative_wavenumber(double om, double wn, double v) {
    const cplx nu = vertical_wavenumber(wn * wn, om * om / (v * v));
    return {nu.re / wn, nu.im / wn};
}

}  // namespace

// Where a wave of the reference layer turns from propagating to evanescent, its up- and
// down-going solutions coincide and the loop closes trivially; dividing by nu / k removes
// that false zero and keeps F dimensionless.
cplx love_secular_at(double om, double wn, int top, const Nstrc& s, LoveWork& w) {
    gnrtlv(om, wn, s, w.mrtlv, w.grtlv);
    gnrulv(top - 1, w.mrtlv, w.grulv);
    const cplx f = cplx{1.0, 0.0} - w.grulv.GRU[top - 1] * w.grtlv.GRD[top];
    return f / relative_wavenumber(om, wn, s.vs[top]);
}

cplx rayleigh_secular_at(double om, double wn, int top, const Nstrc& s, RayleighWork& w) {
    gnrtry(om, wn, s, w.mrtry, w.grtry);
    gnrury(om, wn, s, top - 1, w.mrtry, w.grury);
    const cplx f = det(identity_minus_product(w.grury.GRU[top - 1], w.grtry.GRD[top]));
    return f / (relative_wavenumber(om, wn, s.vs[top]) * relative_wavenumber(om, wn, s.vp[top]));
}

}  // namespace vemlari

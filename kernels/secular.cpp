#include "kernels/secular.h"

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

}  // namespace vemlari

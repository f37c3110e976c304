#pragma once
// P-SV amplitudes of one Rayleigh mode, layer by layer from the surface, normalised to unit
// vertical displacement and zero shear traction at the free surface. The eigenfunctions on
// the grid and the energy integrals walk this same recursion.
#include "kernels/kernels.h"

namespace vemlari {

class RayleighAmplitudes {
public:
    RayleighAmplitudes(double om, double wn, const Nstrc& s, const Grtry& g)
        : om_(om), wn_(wn), s_(s), g_(g) {}

    int j = 0;
    Mat4 er{};           // layer matrix of layer j
    cplx cms{}, cmp{};   // S and P vertical wavenumbers of layer j
    cplx cdp{}, cds{};   // down-going P, S at the layer top
    cplx cup{}, cus{};   // up-going P, S at the layer bottom (none in the half-space)

    void start() {
        j = 1;
        mtxry(om_, wn_, 1, s_, cms, cmp, er);
        if (s_.nl == 1) {
            const cplx b1 = -(er(3, 1) / er(3, 2));
            const cplx b2 = er(2, 1) + er(2, 2) * b1;
            cdp = cplx{1.0, 0.0} / b2;
            cds = b1 * cdp;
            return;
        }
        const Mat2& r = g_.GRD[1];
        const cplx ddp = phase_factor(cmp, s_.thk[1]);
        const cplx dds = phase_factor(cms, s_.thk[1]);
        const cplx a1 = er(3, 1) + er(3, 3) * ddp * r.m11 + er(3, 4) * dds * r.m21;
        const cplx a2 = er(3, 2) + er(3, 3) * ddp * r.m12 + er(3, 4) * dds * r.m22;
        // S-to-P ratio of the down-going waves that frees the surface of shear traction.
        const cplx b1 = -(a1 / a2);
        const cplx a3 = ddp * (r.m11 + r.m12 * b1);
        const cplx a4 = dds * (r.m21 + r.m22 * b1);
        const cplx vr20 = er(2, 1) + er(2, 2) * b1 + er(2, 3) * a3 + er(2, 4) * a4;
        cdp = cplx{1.0, 0.0} / vr20;
        cds = b1 * cdp;
        cup = r.m11 * cdp + r.m12 * cds;
        cus = r.m21 * cdp + r.m22 * cds;
    }

    void enter_layer(int jn) {
        j = jn;
        mtxry(om_, wn_, jn, s_, cms, cmp, er);
        const Mat2& t = g_.GTD[jn - 1];
        const cplx p = t.m11 * cdp + t.m12 * cds;
        const cplx q = t.m21 * cdp + t.m22 * cds;
        cdp = p;
        cds = q;
        if (jn < s_.nl) {
            const Mat2& r = g_.GRD[jn];
            cup = r.m11 * cdp + r.m12 * cds;
            cus = r.m21 * cdp + r.m22 * cds;
        }
    }

    bool in_half_space() const { return j == s_.nl; }

    // The four complex components (horizontal, vertical displacement; shear, normal
    // traction) at depth z of the current layer, r[0] .. r[3].
    void field(double z, double udep, double bdep, cplx r[4]) const {
        const cplx a1 = phase_factor(cmp, z - udep) * cdp;
        const cplx a2 = phase_factor(cms, z - udep) * cds;
        if (in_half_space()) {
            for (int k = 1; k <= 4; ++k) r[k - 1] = er(k, 1) * a1 + er(k, 2) * a2;
            return;
        }
        const cplx a3 = phase_factor(cmp, bdep - z) * cup;
        const cplx a4 = phase_factor(cms, bdep - z) * cus;
        for (int k = 1; k <= 4; ++k) r[k - 1] = er(k, 1) * a1 + er(k, 2) * a2 + er(k, 3) * a3 + er(k, 4) * a4;
    }

private:
    double om_, wn_;
    const Nstrc& s_;
    const Grtry& g_;
};

}  // namespace vemlari

#include "kernels/kernels.h"

namespace vemlari {

namespace {

cplx real(double x) { return {x, 0.0}; }

}  // namespace

// P-SV layer matrix: columns down-going P, S, up-going P, S; rows horizontal and vertical
// displacement, shear and normal traction.
void mtxry(double om, double wn, int l, const Nstrc& s, cplx& cms, cplx& cmp, Mat4& ee) {
    const double vs2 = s.vs[l] * s.vs[l];
    const double vp2 = s.vp[l] * s.vp[l];
    const double sm = s.rho[l] * vs2;

    if (om == 0.0) {
        // Static limit: no vertical wavenumbers, the caller's cms and cmp are left alone.
        const double x0 = (1.0 + vs2 / vp2) / (1.0 - vs2 / vp2);
        const double aa = wn * sm;
        ee(1, 1) = real(1.0);
        ee(1, 2) = real(1.0);
        ee(1, 3) = real(1.0);
        ee(1, 4) = real(1.0);
        ee(2, 1) = real(-(x0 - 1.0));
        ee(2, 2) = real(1.0);
        ee(2, 3) = real(x0 - 1.0);
        ee(2, 4) = real(-1.0);
        ee(3, 1) = real((x0 - 3.0) * aa);
        ee(3, 2) = real(-2.0 * aa);
        ee(3, 3) = real(-((x0 - 3.0) * aa));
        ee(3, 4) = real(2.0 * aa);
        ee(4, 1) = real((x0 - 1.0) * aa);
        ee(4, 2) = real(-2.0 * aa);
        ee(4, 3) = real((x0 - 1.0) * aa);
        ee(4, 4) = real(-2.0 * aa);
        return;
    }

    const double wn2 = wn * wn;
    const double om2 = om * om;
    const double ws2 = om2 / vs2;
    cms = vertical_wavenumber(wn2, ws2);
    const cplx cmsg{cms.re / wn, cms.im / wn};
    const double wp2 = om2 / vp2;
    cmp = vertical_wavenumber(wn2, wp2);
    const cplx cmpg{cmp.re / wn, cmp.im / wn};
    const double x0 = (wn + wn) - ws2 / wn;

    const cplx smp = real(2.0 * sm) * cmp;
    const cplx sms = real(2.0 * sm) * cms;
    const double smx = sm * x0;
    ee(1, 1) = real(-1.0);
    ee(1, 2) = cmsg;
    ee(1, 3) = real(-1.0);
    ee(1, 4) = cmsg;
    ee(2, 1) = -cmpg;
    ee(2, 2) = real(1.0);
    ee(2, 3) = cmpg;
    ee(2, 4) = real(-1.0);
    ee(3, 1) = smp;
    ee(3, 2) = real(-smx);
    ee(3, 3) = -smp;
    ee(3, 4) = real(smx);
    ee(4, 1) = real(smx);
    ee(4, 2) = -sms;
    ee(4, 3) = real(smx);
    ee(4, 4) = -sms;
}

// Phase factors across the layer; P first, although the arguments come S first.
void ddury(double thk, cplx cms, cplx cmp, Mat2& du) {
    du.m11 = phase_factor(cmp, thk);
    du.m21 = cplx{};
    du.m12 = cplx{};
    du.m22 = phase_factor(cms, thk);
}

}  // namespace vemlari

#pragma once
// The Love and Rayleigh secular functions at one (om, wn = om / c). Their zeros in c are the
// phase velocities of the modes.
#include "kernels/kernels.h"

namespace vemlari {

struct LoveWork {
    Mrtlv mrtlv;
    Grtlv grtlv;
};

struct RayleighWork {
    Mrtry mrtry;
    Grtry grtry;
    cplx cms, cmp;  // layer-1 vertical wavenumbers at the last evaluation
    Mat4 er;        // layer-1 layer matrix at the last evaluation
};

// F_L = 1 - RU0 * GRD(1). Needs nl >= 2.
cplx love_secular(double om, double wn, const Nstrc& s, LoveWork& w);
// F_R = det(free-surface stress matrix) / (cms * cmp * sm2), sm2 = (rho(1) vs(1)^2)^2.
cplx rayleigh_secular(double om, double wn, double sm2, const Nstrc& s, RayleighWork& w);

}  // namespace vemlari

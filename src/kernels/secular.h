#pragma once
// The Love and Rayleigh secular functions at one (om, wn = om / c). Their zeros in c are the
// phase velocities of the modes. Referred to a deeper interface, they also show the modes
// trapped in a slow layer, which reach the free surface only through evanescent layers.
#include "kernels/kernels.h"

namespace vemlari::detail {

struct LoveWork {
    Mrtlv mrtlv;
    Grtlv grtlv;
    Grulv grulv;
};

struct RayleighWork {
    Mrtry mrtry;
    Grtry grtry;
    Grury grury;
};

// F_L = 1 - RU0 * GRD(1). Needs nl >= 2.
cplx love_secular(double om, double wn, const Nstrc& s, LoveWork& w);
// F_R = det(free-surface stress matrix) / (cms * cmp * sm2), sm2 = (rho(1) vs(1)^2)^2.
cplx rayleigh_secular(double om, double wn, double sm2, const Nstrc& s, RayleighWork& w);

// Referred to the interface at the top of layer `top` (2 <= top <= nl - 1): a mode is a wave
// in that layer that returns to itself after reflection by the stack below and by the stack
// above with its free surface. F_L = 1 - GRU(top-1) GRD(top), F_R = det(I - GRU(top-1) GRD(top)).
cplx love_secular_at(double om, double wn, int top, const Nstrc& s, LoveWork& w);
cplx rayleigh_secular_at(double om, double wn, int top, const Nstrc& s, RayleighWork& w);

}  // namespace vemlari::detail

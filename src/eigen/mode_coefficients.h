#pragma once
// The kernel records one mode's field is built from: the generalized coefficients of the
// stack below every interface and, for a mode found at the top of a deeper layer, those of
// the stack above it.
#include "kernels/kernels.h"

namespace vemlari::detail {

struct LoveCoefficients {
    Mrtlv mrtlv;
    Grtlv grtlv;
    Grulv grulv;
    int top = 1;
};

struct RayleighCoefficients {
    Mrtry mrtry;
    Grtry grtry;
    Grury grury;
    int top = 1;
};

// `top` is the layer at whose top the mode was found; 0 and 1 both mean the free surface.
void love_coefficients(double om, double wn, int top, const Nstrc& s, LoveCoefficients& k);
void rayleigh_coefficients(double om, double wn, int top, const Nstrc& s, RayleighCoefficients& k);

}  // namespace vemlari::detail

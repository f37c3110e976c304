#include "eigen/mode_coefficients.h"

namespace vemlari::detail {

void love_coefficients(double om, double wn, int top, const Nstrc& s, LoveCoefficients& k) {
    gnrtlv(om, wn, s, k.mrtlv, k.grtlv);
    k.top = top > 1 ? top : 1;
    if (k.top > 1) gnrulv(k.top - 1, k.mrtlv, k.grulv);
}

void rayleigh_coefficients(double om, double wn, int top, const Nstrc& s, RayleighCoefficients& k) {
    gnrtry(om, wn, s, k.mrtry, k.grtry);
    k.top = top > 1 ? top : 1;
    if (k.top > 1) gnrury(om, wn, s, k.top - 1, k.mrtry, k.grury);
}

}  // namespace vemlari::detail

#include "eigen/mode_root.h"

#include <cmath>

#include "vemlari/options.h"

namespace vemlari::detail {

namespace {

// The Rayleigh function of a lone half-space, whose surface waves have no length scale.
double half_space_rayleigh(double c, double vp, double vs) {
    const double b = c * c / (vs * vs), a = c * c / (vp * vp);
    return (2.0 - b) * (2.0 - b) - 4.0 * std::sqrt(1.0 - a) * std::sqrt(1.0 - b);
}

}  // namespace

cplx mode_secular(Wave wave, double om, double c, int top, const Nstrc& s, SecularWork& w) {
    if (s.nl == 1) return {half_space_rayleigh(c, s.vp[1], s.vs[1]), 0.0};
    const double wn = om / c;
    if (wave == Wave::love) return top > 1 ? love_secular_at(om, wn, top, s, w.love) : love_secular(om, wn, s, w.love);
    if (top > 1) return rayleigh_secular_at(om, wn, top, s, w.rayleigh);
    const double mu = s.rho[1] * s.vs[1] * s.vs[1];
    return rayleigh_secular(om, wn, mu * mu, s, w.rayleigh);
}

bool polish_root(Wave wave, double om, double c0, double reach, int top, const Nstrc& s, SecularWork& w, double& root) {
    // The first secant spans at most a hundredth of the reach: modes packed closer than
    // the usual 1e-7 c (near a layer's S velocity at high frequency) stay apart.
    double ca = c0, cb = 1e-7 * c0 <= 0.01 * reach ? c0 * (1.0 + 1e-7) : c0 + 0.01 * reach;
    cplx fa = mode_secular(wave, om, ca, top, s, w);
    cplx fb = mode_secular(wave, om, cb, top, s, w);
    for (int n = 0; n < 20; ++n) {
        const cplx df = fb - fa;
        if (df.re == 0.0 && df.im == 0.0) break;
        const double step = (fb * cplx{cb - ca, 0.0} / df).re;
        const double cn = cb - step;
        if (!(std::fabs(cn - c0) <= reach)) return false;
        if (std::fabs(step) <= 1e-12 * cn) {
            // At or above the half-space's S velocity a root is no mode: the half-space no
            // longer holds the wave evanescent.
            if (!(cn < s.vs[s.nl])) return false;
            root = cn;
            return true;
        }
        ca = cb;
        fa = fb;
        cb = cn;
        fb = mode_secular(wave, om, cb, top, s, w);
    }
    return false;
}

int field_anchor(Wave wave, double om, double c, int found_at, const Nstrc& s, SecularWork& w) {
    // A root found at the free surface is built from there, as the program builds it.
    if (found_at <= 1 || s.nl <= 2) return 1;
    const int top = found_at;
    double least = cabs(mode_secular(wave, om, c, top, s, w));
    if (least <= scan_tolerance) return top;
    if (std::isnan(least)) least = INFINITY;
    int best = top;
    for (int t = 1; t < s.nl; ++t) {
        if (t == top) continue;
        const double f = cabs(mode_secular(wave, om, c, t, s, w));
        if (f < least) {
            least = f;
            best = t;
        }
    }
    return best;
}

}  // namespace vemlari::detail

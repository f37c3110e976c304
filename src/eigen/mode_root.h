#pragma once
// A mode's phase velocity refined to the precision of its secular function, and followed to
// a nearby frequency, for the kernels: a kernel holds only at a root, and the frequency
// derivative of a kernel is taken along the mode.
#include "kernels/secular.h"
#include "vemlari/options.h"

namespace vemlari::detail {

struct SecularWork {
    LoveWork love;
    RayleighWork rayleigh;
};

// The secular function of `wave` referred to the top of layer `top` (1: the free surface);
// for a lone half-space (Rayleigh waves only), its Rayleigh function.
cplx mode_secular(Wave wave, double om, double c, int top, const Nstrc& s, SecularWork& w);

// The root nearest c0 by secant steps on the complex function (its zeros on the real axis
// are simple, and F / F' is real there), stopped once a step falls below 1e-12 c. Returns
// false, leaving `root` alone, when no root within `reach` (m/s) of c0 and below the
// half-space's S velocity is met in 20 steps:
// a mode trapped in a slow layer barely dents the function referred to the free surface,
// and the secant may only converge on the function referred to the slow layer's top.
bool polish_root(Wave wave, double om, double c0, double reach, int top, const Nstrc& s, SecularWork& w, double& root);

// The layer at whose top a mode's field is built (1: the free surface): `found_at` when it
// is the free surface or when the secular function referred there vanishes at c (|F| at
// most the scan's default tolerance), else the interface where |F| is least. The counted search may take a root at an
// interface where the mode is a pole of the stack above rather than a zero of F (a mode in the layers above, evanescent
// below that interface); a field built from there has no meaning.
int field_anchor(Wave wave, double om, double c, int found_at, const Nstrc& s, SecularWork& w);

}  // namespace vemlari::detail

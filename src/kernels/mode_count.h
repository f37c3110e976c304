#pragma once
// Counting the modes below a trial phase velocity (Wittrick-Williams), and a root function
// without poles, from the dynamic stiffness of the layer stack.
//
// At angular frequency om and wavenumber wn = om / c (c below the half-space's S velocity)
// every layer has a real symmetric dynamic stiffness relating the forces on its faces to
// their displacements; the half-space one relating the force on its top to its
// displacement. Assembling them gives the stiffness of the stack, singular exactly at a
// mode. The number of modes with a phase velocity below c is
//     N(c) = sum_j J0_j + (negative pivots of the stack's stiffness),
// J0_j the number of eigenfrequencies of layer j with both faces clamped. The pivots are
// taken interface by interface from the half-space up (the "below" pass) or from the free
// surface down (the "above" pass); at any interface the stiffness of the stack below plus
// that of the stack above is singular at a mode, and its sign or determinant changes there.
//
// Everything is scaled by the half-space's shear modulus times wn (the inertia, and so the
// count, do not change under a positive scale), and built only from decaying exponentials,
// cosines, sines and power series, so nothing overflows at any thickness or frequency.
//
// Love waves: the count is exact (every Love mode has a positive group velocity). Rayleigh
// waves: the count is signed, N(c) = forward modes below c - backward modes below c.
//
// Fluid layers on top (vs = 0, water): no S wave and no shear traction. For Love waves they
// are absent (the sea floor is the solid's free surface). For Rayleigh waves a fluid layer has
// one degree of freedom per face, W = u_z / i, with the normal traction Tz: in its potential f
// (f'' = lambda_p f, lambda_p = 1 - c^2 / vp^2) W = -f', Tz = w f, U = f, w = rho c^2 / mu_N.
// Its stiffness is that of an SH layer with mu eta replaced by w / eta: a = -w C / E, b = w / E
// (C, S, E of f'' = lambda_p f across the layer, layer_series.h), and its clamped count
// (W = 0 on both faces, eigenfrequencies om^2 = vp^2 (wn^2 + (n pi / h)^2), n >= 0) is
// floor(eta h / pi) + 1 where the P wave propagates (eta = sqrt(-lambda_p)), else 0. At the
// sea floor the solid's u_x carries no traction from above and is condensed first (its
// pivot counted). The stiffness of a fluid interface is kept as [[1, 0], [0, z]]: the unit
// entry stands for the u_x that the fluid does not have, so that the counts and the root
// function det / |Z|_F^2 = z / (1 + z^2) read it as they read a solid interface; the stack
// above a fluid interface or the sea floor is [[0, 0], [0, z]].
#include <cmath>
#include <cstddef>
#include <vector>

#include "model/nstrc.h"
#include "vemlari/model.h"

namespace vemlari::detail {

// A symmetric 2 x 2 matrix [[xx, xz], [xz, zz]] (Rayleigh stiffness in the variables u_x and
// u_z / i, both real).
struct Sym2 {
    double xx = 0.0, xz = 0.0, zz = 0.0;
};

// A general real 2 x 2 matrix, row major.
struct Real2 {
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
};

// One layer's dynamic stiffness at one (om, wn). A thin layer (every vertical wavenumber times
// the thickness below 1) is kept as its propagator, whose entries come from power series
// without cancellation; a thick one as its stiffness blocks.
struct RayleighElement {
    bool thin = false;
    bool empty = false;  // zero thickness: changes nothing
    // thick: stiffness blocks; kbt is ktb transposed
    Sym2 ktt, kbb;
    Real2 ktb;
    // thin: propagator blocks [d_bottom; t_bottom] = [p11 p12; p21 p22] [d_top; t_top]
    Real2 p11, p12, p21, p22;
    // fluid: C, S, E of the P wave across the layer (all three divided by cosh of a decaying
    // wave's phase where that exceeds 1) and w = rho c^2 / mu_N
    bool fluid = false;
    double fc = 1.0, fs = 0.0, fe = 0.0, fw = 0.0;
    int j0 = 0;  // clamped-layer eigenfrequencies below c
};

// What one evaluation leaves, per interface i = 1 .. nl - 1 (the top of layer i; 1 is the
// free surface): the stiffness of the stack below and above it, and the count of negative
// pivots and clamped-layer eigenfrequencies of each stack (Rayleigh waves: at the half-space's
// top nl too, below[nl] from every pass up, above[nl] from the profile). Sized once per model.
struct CountWork {
    explicit CountWork(const Nstrc& s);
    std::vector<double> love_below, love_above;
    std::vector<Sym2> below, above;
    std::vector<int> count_below, count_above;
    std::vector<RayleighElement> elements;
    // Layer constants, formed once per model: mu / mu_N, vs^2 and vp^2 (of a transversely
    // isotropic layer: L / mu_N, vsv^2 and vpv^2; mu_N is then the half-space's L), and
    // rho / mu_N (so that rho c^2 / mu_N is rho[l] c^2).
    std::vector<double> mu, vs2, vp2, rho;
    int fluid = 0;  // fluid layers on top
    // Love waves: the horizontal S velocity squared and vsh / vsv (vs^2 and exactly 1 for an
    // isotropic layer): the SH vertical wavenumber over wn is vsh / vsv sqrt(1 - c^2 / vsh^2).
    std::vector<double> sh2, sh_ratio;
    // Rayleigh waves in transversely isotropic layers (ti[l]): their constants over mu_N.
    std::vector<char> ti;
    std::vector<TransverseModuli> moduli;
    // The phase velocities squared where each wave's modes end: the half-space's (horizontal)
    // S velocity for Love waves, its vsv or vph, the slower, for Rayleigh waves.
    double love_top2 = 0.0, rayleigh_top2 = 0.0;
};

// N(c) of Love waves at (om, wn); needs nl >= 2. Leaves love_below and count_below at every
// interface.
int love_count(double om, double wn, const Nstrc& s, CountWork& w);
// Both passes: love_below, love_above, count_below, count_above at every interface. Returns N(c).
int love_profile(double om, double wn, const Nstrc& s, CountWork& w);
// The root function at interface i: Z / sqrt(1 + Z^2) of Z = Z_below + Z_above, with only
// the layers between the interface and each end evaluated.
double love_root_function(double om, double wn, int i, const Nstrc& s, CountWork& w);

// The same for Rayleigh waves (any nl >= 1; rayleigh_count leaves below and count_below at
// every interface). The root function at interface i is
// det(Z) / |Z|_F^2 of Z = Z_below + Z_above, bounded by 1/2 in modulus.
int rayleigh_count(double om, double wn, const Nstrc& s, CountWork& w);
int rayleigh_profile(double om, double wn, const Nstrc& s, CountWork& w);
double rayleigh_root_function(double om, double wn, int i, const Nstrc& s, CountWork& w);

// c^2 of the trial (om, wn), at most the wave's top2: the round trip c -> om / c -> c may
// land a rounding error above it, which would make a layer as fast as the half-space
// propagate.
inline double trial_c2(double om, double wn, double top2) {
    const double c = om / wn;
    return std::fmin(c * c, top2);
}

// Clamped-layer eigenfrequencies counted per layer at most: past this the count saturates
// (a layer holding a million modes is far beyond any search).
inline constexpr int clamped_cap = 1 << 20;

// Negative eigenvalues of a symmetric 2 x 2 matrix with this determinant and trace.
inline int negatives(double det, double trace) {
    if (det < 0.0) return 1;
    if (det > 0.0) return trace < 0.0 ? 2 : 0;
    return trace < 0.0 ? 1 : 0;
}

// The root functions from the stiffness Z_below + Z_above at an interface: continuous and
// bounded wherever the counts of the stacks above and below stay constant, and changing sign
// at every mode there.
inline double love_root_value(double sum) { return sum / std::hypot(1.0, sum); }
inline double rayleigh_root_value(const Sym2& z) {
    const double norm = z.xx * z.xx + 2.0 * z.xz * z.xz + z.zz * z.zz;
    return norm > 0.0 ? (z.xx * z.zz - z.xz * z.xz) / norm : 0.0;
}

}  // namespace vemlari::detail

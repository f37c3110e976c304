#pragma once
// One mode of a model with transversely isotropic layers: its displacements at every
// interface, the energy integrals of every layer, and from them the group velocity, the
// energy integral I1, H/V and the phase-velocity kernels (the variational principle).
//
// Every layer, isotropic or not, is taken with its five constants. A layer is cut into 2^m
// slices thin enough for their propagator's Taylor series; the stiffness and the energy
// integrals (quadratic forms in the displacements of the layer's faces) of the slice follow
// from Gauss-Legendre quadrature of its propagator, and those of the layer by doubling the
// slice, its middle node condensed. The half-space is a stack of equal slices below its top,
// each passing on the displacement through one 2 x 2 (Love: 1 x 1) matrix G of spectral
// radius below 1: its integrals are the sum over the slices, by repeated squaring of G.
// The stack's interface displacements follow from the null vector of the stiffness at the
// interface where the mode was found, carried down and up by the condensed stiffnesses; the
// field inside a layer from its faces' displacements, halving down the doubling levels to
// the slice holding the depth, and its propagator there.
#include <span>
#include <vector>

#include "model/nstrc.h"
#include "vemlari/options.h"
#include "vemlari/results.h"

namespace vemlari::detail {

// Integrals over one layer's depth (m) of the mode normalised to unit displacement at the
// free surface (Love: transverse; Rayleigh: vertical), U = u_x, W = u_z / i, V = u_y, k the
// wavenumber: the derivatives of the strain energy E = sum (A a + C c + F f + L l + N n)
// with respect to the constants, and rho = integral of |u|^2.
struct LayerEnergy {
    double rho = 0.0;  // int U^2 + W^2 (Love: V^2)
    double a = 0.0;    // int k^2 U^2
    double c = 0.0;    // int (dW/dz)^2
    double f = 0.0;    // int 2 k U dW/dz
    double l = 0.0;    // int (dU/dz - k W)^2 (Love: (dV/dz)^2)
    double n = 0.0;    // Love: int k^2 V^2
    double lw = 0.0;   // int (dU/dz - k W) W: for dE/dk
};

struct TransverseMode {
    bool valid = false;              // false: the field could not be formed (no surface motion)
    std::vector<LayerEnergy> layer;  // per layer, from 1 (the top) to nl (the half-space)
    double de_dk = 0.0;              // dE/dk at fixed field = 2 omega U int rho |u|^2
    double inertia = 0.0;            // int rho |u|^2 over the whole depth
    double group_velocity = 0.0;
    double horizontal = 0.0;  // Rayleigh: U at the free surface (W = 1 there)
};

// The mode of `wave` at angular frequency om and phase velocity c found at the top of layer
// `at` (1: the free surface).
TransverseMode transverse_mode(Wave wave, double om, double c, int at, const Nstrc& s);

// The mode's field at the given depths (m, non-decreasing; a depth on an interface belongs to
// the layer above), appended to `out` as the fields of its wave, normalised as
// transverse_mode's; false where the field cannot be formed.
bool transverse_eigenfunctions(double om, double c, int at, const Nstrc& s, std::span<const double> depths,
                               Eigenfunctions& out);

// The constants of layer l (1-based) of s: A, C, F, L, N.
struct LayerModuli {
    double a, c, f, l, n;
};
LayerModuli layer_moduli(const Nstrc& s, int l);

}  // namespace vemlari::detail

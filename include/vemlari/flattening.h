#pragma once
// A spherical Earth by the earth-flattening transformation: a model of spherical shells is
// mapped onto a flat layered model whose modes are those of the sphere, exactly for Love
// waves and closely for Rayleigh waves; every call of the library then serves the sphere.
//
// The sphere, radius a: layers from the surface r = a down, thicknesses along the radius
// (m), the last layer filling the sphere below its top; elastic, without gravity. At
// radius r, depth z = a - r:
//   flat depth   z_f = a ln(a / r),  z = a (1 - exp(-z_f / a))
//   velocities   vp_f = (a / r) vp,  vs_f = (a / r) vs (and vph, vsh of a radially
//                anisotropic layer; eta kept: L and N take the place of mu in the toroidal
//                equation, so that Love waves stay exact)
//   density      rho_f = (r / a)^p rho,  p = 5 for Love waves, 2.275 for Rayleigh waves
//   Q and the reference frequencies are kept (constant-Q dispersion commutes with a / r).
//
// Love waves (toroidal modes): exact. With W(r) = (r / a) V(z_f), the toroidal equation of
// the sphere of angular order l is the flat SH equation of the transformed medium at the
// wavenumber k given by k^2 a^2 = (l - 1)(l + 2), and both surfaces are free. The sphere's
// phase velocity at the surface, omega a / (l + 1/2), is therefore the flat c times
// (1 + 9 / (4 k^2 a^2))^-1/2, 9 / (8 k^2 a^2) below it (a homogeneous mantle: 6e-4 at 200 s,
// 6e-6 at 20 s); its group velocity a d omega / d(l + 1/2) is as much above the flat U.
// Rayleigh waves (spheroidal modes): approximate; no transformation maps the spheroidal
// equations onto flat ones, and p = 2.275 makes the flat fundamental mode of a sphere close
// to the spheroidal one. A homogeneous sphere (vp 8.1, vs 4.5 km/s): the flat c is below
// omega a / (l + 1/2) by 5.7e-4 at 200 s, 3.5e-4 at 100 s, 1.9e-4 at 50 s, 7.7e-5 at 20 s,
// about 0.03 / (l + 1/2) (tests/flattening_test.cpp; p = 0 would give 8e-3 at 100 s).
// The library reports the flat model's c and U: the sphere's, to the above.
//
// The flat model is made of sublayers, each with the transformed values at its middle.
// Each spherical layer is cut from its top into sublayers of flat thickness 1e-7 a, growing
// by 1.25 from one to the next up to 2.5e-4 a (2.5e-4 of ln(a / r); 1.6 km for the Earth),
// then equal and at most that to its bottom. The last layer is continued likewise down to
// half the radius r_t of its top, then by a flat half-space with the values there (S
// velocity 2 a / r_t times that layer's vs): a mode well below that velocity has decayed
// long before; one close to it reaches down there and is not the sphere's. The
// sublayers' own error on c, measured against thinner ones: below 2.5e-6 from 1 to 200 s
// on a 35 km crust over an upper mantle (the Love modes of a homogeneous sphere: 2e-8 to
// 4e-7 of the exact ones, 200 to 20 s).
//
// Energy integral and response are the flat model's (for Love waves the sphere's kinetic
// energy, integral of rho W^2 r^2 dr, is a^2 times the flat one). Kernels:
// spherical_kernels; eigenfunctions: spherical_eigenfunctions.
#include <vector>

#include "vemlari/model.h"
#include "vemlari/options.h"
#include "vemlari/results.h"
#include "vemlari/sensitivity.h"

namespace vemlari {

// The Earth's mean radius (m).
inline constexpr double earth_radius = 6371000.0;

struct FlatModel {
    Model model;                    // the flat model: sublayers from the top, its half-space last
    Wave wave = Wave::love;         // the wave it serves (p depends on it)
    double radius = 0.0;            // a, m
    double density_exponent = 0.0;  // p
    // Per flat layer: the spherical layer it comes from (0-based, as Model::operator[]),
    // non-decreasing, every spherical layer at least once (one of zero thickness as a flat
    // layer of zero thickness).
    std::vector<int> spherical_layer;
    // Per flat layer: a / r at its middle (the flat half-space: at its top), the factor of
    // its velocities; its density factor is velocity_factor^-p.
    std::vector<double> velocity_factor;
    // Per flat layer: how its bottom follows when the interfaces of its spherical layer move:
    // by 1 - w times the move of the layer's top plus w times that of its bottom (0 fixed to
    // the top, 1 to the bottom); 0 throughout the last layer, which moves as a whole.
    std::vector<double> bottom_weight;
};

// The flat model of `spherical` for `wave` on a sphere of radius `radius` (m). Throws Error
// (Rule::option) unless the radius is finite and > 0; Error (Rule::request, naming the
// layer and its thickness) when the layers above the last one reach the radius; Error as
// Model does when a transformed value leaves the model's ranges (the layer numbers then
// the flat model's), e.g. a last layer whose top is so deep that its continuation spans a
// density or S-velocity contrast beyond max_density_contrast or max_vs_contrast.
FlatModel flatten(const Model& spherical, Wave wave, double radius = earth_radius);

// The flat depth of a depth in the sphere, a ln(a / (a - z)), and back, a (1 - exp(-z_f / a)),
// in m. Throw Error (Rule::option) for a radius that is not finite and > 0, Error
// (Rule::request) for a depth outside 0 <= z < a or a flat depth that is not finite and >= 0.
double flat_depth(double depth, double radius = earth_radius);
double spherical_depth(double flat_depth, double radius = earth_radius);

// The kernels of one mode of flat.model (sensitivity_kernels) summed onto the spherical
// layers by the chain rule: one entry per spherical layer, in its units (thicknesses along
// the radius). dc_dvs_j is the sum over j's flat layers of their dc_dvs times a / r, and so
// dc_dvp and the du and dhv entries; dc_drho_j the sum of their dc_drho times (r / a)^p, and
// so du_drho and dhv_drho. dc_dh_j (and so du_dh, dhv_dh) moves the bottom of layer j and
// every deeper interface by the same radial length (the deeper layers keep their
// thicknesses), as the flat kernels do: a flat interface at r moves by a / r times it, which
// stretches the flat layers between interfaces (bottom_weight) and moves the values of
// every flat layer below with its middle; 0 for the last layer. They are the derivatives of
// the flat model's velocities and H/V, the sphere's as far as the transformation is. dc_dvsh and dc_dvph as dc_dvs,
// dc_deta the sum of the sublayers'. inverse_q, gamma and du_defined are the flat ones. Throws Error (Rule::request)
// unless every table of `flat` and of `kernels` has one entry per flat layer.
ModeKernels spherical_kernels(const FlatModel& flat, const ModeKernels& kernels);

// Eigenfunctions of flat.model (`eigenfunctions` at flat depths, see flat_depth) as the
// sphere's: the depths mapped back, the values times a power of r / a (1 at the surface).
// Love waves, exact: the displacement W = (r / a) V, the traction (a / r)^3 times the flat one
// (-mu r d(W / r)/dr, positive with depth as the flat one). Rayleigh waves: displacements
// (r / a)^((p - 3) / 2), tractions (a / r)^((p + 1) / 2), the powers that keep the kinetic
// energy as for Love waves; approximate: a homogeneous sphere's vertical displacement within
// 1.5e-3 of its surface value at 100 s (3e-4 at 20 s), the horizontal one within 4e-2 (7e-3),
// the tractions within a few per cent. Throws Error (Rule::request) for eigenfunctions of the
// other wave, or whose value tables do not have one entry per depth.
Eigenfunctions spherical_eigenfunctions(const FlatModel& flat, const Eigenfunctions& flat_eigenfunctions);

}  // namespace vemlari

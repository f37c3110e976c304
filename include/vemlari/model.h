#pragma once
// A horizontally layered elastic half-space: layers from the top, the last one the
// half-space. Units: m, m/s; density in any consistent unit (results that depend on it,
// the energy integral and the medium response, scale with it).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vemlari/error.h"

namespace vemlari {

struct Layer {
    double thickness = 0.0;  // m; ignored for the half-space, but must be finite
    double vp = 0.0;         // P velocity, m/s
    double vs = 0.0;         // S velocity, m/s
    double density = 0.0;
    // Quality factors and their reference frequencies (Hz). The mode search is elastic; only
    // the modal attenuation and the optional constant-Q dispersion of the sensitivity calls
    // (vemlari/sensitivity.h) use them. 0 means "not given".
    double qp = 0.0;
    double qs = 0.0;
    double fp = 0.0;
    double fs = 0.0;
    // Radial anisotropy (transverse isotropy with a vertical symmetry axis, VTI). With any of
    // these given, vp and vs are the vertical velocities vpv and vsv, vph and vsh (m/s) the
    // horizontal ones and eta the dimensionless F / (A - 2L); the elastic constants are
    //     A = rho vph^2, C = rho vpv^2, L = rho vsv^2, N = rho vsh^2, F = eta (A - 2L).
    // 0 for vph or vsh means "as vp" or "as vs"; eta = 1 with vph = vp and vsh = vs is an
    // isotropic layer, computed exactly as one. Love waves see N and L, Rayleigh waves A, C,
    // F and L. Only the counted search (SearchMethod::counted) computes such layers.
    double vph = 0.0;
    double vsh = 0.0;
    double eta = 1.0;
};

// The elastic constants of a layer (units of density times m^2/s^2), isotropic or not.
struct TransverseModuli {
    double a = 0.0, c = 0.0, f = 0.0, l = 0.0, n = 0.0;
};
TransverseModuli transverse_moduli(const Layer& layer);

// The horizontal velocities of a layer (vph, vsh as given, or vp, vs when 0) and whether the
// layer is transversely isotropic (its constants differ from those of vp, vs and density).
inline double horizontal_vp(const Layer& l) { return l.vph != 0.0 ? l.vph : l.vp; }
inline double horizontal_vs(const Layer& l) { return l.vsh != 0.0 ? l.vsh : l.vs; }
inline bool transversely_isotropic(const Layer& l) {
    return horizontal_vp(l) != l.vp || horizontal_vs(l) != l.vs || l.eta != 1.0;
}

// The range of a model's values. Any medium in any consistent unit of density fits inside,
// with room to spare (soft mud over hard rock is an S-velocity contrast of a few hundred);
// the bounds keep what the computation forms from them (moduli rho vs^2 and their squares,
// wavenumbers times moduli, layer phases, 1/Q) finite and normal at every frequency the
// model admits (frequency_limits in vemlari/scan_range.h).
inline constexpr double min_velocity = 1e-3;   // m/s, vp and vs
inline constexpr double max_velocity = 1e9;    // m/s
inline constexpr double max_vp_over_vs = 1e3;  // in each layer
inline constexpr double min_density = 1e-12;   // the model's unit of density
inline constexpr double max_density = 1e12;
inline constexpr double max_thickness = 1e12;        // m, layers above the half-space (0 allowed)
inline constexpr double min_quality = 1e-3;          // a qp or qs above 0; 0 or below: elastic
inline constexpr double max_vs_contrast = 1e4;       // largest S velocity over the smallest
inline constexpr double max_density_contrast = 1e6;  // largest density over the smallest

// A validated model: constructing one checks, layer by layer from the top and in this order,
//   thickness, qp, fp, qs, fs finite; density > 0, vs > 0 (finite) or vs = 0 for a fluid
//   layer (water) above every solid layer and not the half-space (Rule::not_positive);
//   vp finite and vp > vs;
//   vp^2 > 4/3 vs^2 (a positive bulk modulus: a solid); thickness >= 0 above the half-space;
//   then the ranges above (Rule::out_of_range): density, vs, vp, vp / vs, thickness above
//   the half-space, qp, qs (for a fluid layer, vs and vp / vs are not checked);
// a transversely isotropic layer then has vph, vsh, eta finite, vph and vsh within the
// velocity range (Rule::out_of_range) and its constants those of a stable solid with coupled
// P and SV waves: vph > vsh, C (A - N) > F^2, F + L > 0 (Rule::not_a_solid, naming vph
// or eta); the half-space no qSV wave slower than vsv horizontally, (F + L)^2 <= C (A - L)
// at c = vsv, or its alike at c = vph when vph < vsv (Rule::not_a_solid, naming eta);
// a fluid layer is isotropic (Rule::not_a_solid, naming the first of vph, vsh, eta given);
// then, over the whole model, the S-velocity contrast of the solid layers and the density
// contrast (Rule::out_of_range, naming the first layer at the low end; vs is vsv).
// The first rule broken throws Error naming the layer, the quantity, the value and the rule.
// Any number of layers from 1 (a lone half-space) up, their velocities in any order: a layer
// may be faster than the half-space (the modes are those slower than the half-space's S
// velocity). A layer of zero thickness changes nothing.
//
// Water on top: fluid layers (vs = 0: no shear modulus; qs, fs unused) carry Rayleigh modes of
// the coupled fluid-solid stack (the Scholte wave at the sea floor among them); Love modes are
// those of the solid layers below, and a fluid layer's Love kernels are 0. Only the counted
// search (SearchMethod::counted) takes such a model.
class Model {
public:
    explicit Model(std::vector<Layer> layers);

    const std::vector<Layer>& layers() const { return layers_; }
    std::size_t size() const { return layers_.size(); }
    // Layer i from the top, 0-based; size() - 1 is the half-space.
    const Layer& operator[](std::size_t i) const { return layers_[i]; }
    // Whether any layer is transversely isotropic.
    bool transversely_isotropic() const { return anisotropic_; }

    // A 64-bit hash of what the modes depend on: the thicknesses above the half-space, the
    // velocities and the densities (with vph, vsh and eta of a transversely isotropic layer;
    // not the quality factors), never 0. find_modes stores it in Modes, so that the calls
    // taking Modes can refuse those of another model.
    std::uint64_t fingerprint() const { return fingerprint_; }

    // The fluid layers (vs = 0) on top: layers 0 .. fluid_layers() - 1; 0 for a solid model.
    std::size_t fluid_layers() const { return fluid_layers_; }

private:
    std::vector<Layer> layers_;
    std::size_t fluid_layers_ = 0;
    std::uint64_t fingerprint_ = 0;
    bool anisotropic_ = false;
};

// Throws Error (Rule::request, naming the first such layer and `what`) if the model has a
// transversely isotropic layer: for the calls that compute isotropic layers only.
void check_isotropic(const Model& model, const char* what);

// Throws Error (Rule::half_space_vs, then half_space_vp, naming the first layer) unless the
// half-space has the largest S and the largest P velocity of the model: the rule of the
// interactive program and of its scan (SearchMethod::scan), which runs up to those velocities.
void check_half_space_fastest(const Model& model);

}  // namespace vemlari

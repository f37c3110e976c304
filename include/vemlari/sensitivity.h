#pragma once
// Sensitivity kernels and modal attenuation. For every mode found, the partial derivatives
// of its phase velocity c, group velocity U and (Rayleigh waves) signed H/V with respect to
// each layer's S velocity, P velocity, density and thickness, at fixed frequency, from the
// energy integrals of the mode's eigenfunctions (the variational principle), and the mode's
// attenuation from the model's quality factors to first order in 1/Q.
#include <cstddef>
#include <vector>

#include "vemlari/compute.h"
#include "vemlari/frequencies.h"
#include "vemlari/model.h"
#include "vemlari/options.h"
#include "vemlari/results.h"

namespace vemlari {

// The kernels of one mode at one frequency. Every vector has one entry per layer of the
// model, from the top, the half-space last. Units: dc_dvs, dc_dvp, du_dvs, du_dvp are
// (m/s) per (m/s); dc_drho, du_drho are (m/s) per density unit; dc_dh, du_dh are (m/s) per
// m, 0 for the half-space. A positive entry means the velocity rises with the parameter.
// dc_dh and du_dh move every deeper interface with the layer's bottom (the layers below
// keep their thicknesses). The kernels are those of the exact root of the mode's secular function
// nearest the phase velocity found (closer to it than to the neighbouring modes, and within
// 1 %): the search stops as soon as the function is below its tolerance, and a kernel holds
// at the root; where no root is met there, at the phase velocity found. The du entries come
// from the dc entries and their derivative along the mode in frequency, followed to
// frequencies 1e-4 away (one-sided where the mode ends on one side). A mode that cannot be
// followed because it lies within 1e-12 of a layer's S velocity (the Love fundamental at
// very low frequency at the half-space's, modes at very high frequency at the slowest
// layer's: that layer's S wave to double precision) has kernels constant in frequency,
// du = (U/c)(2 - U/c) dc; one that cannot be followed otherwise has NaN du entries and
// du_defined false (met only where modes lie closer together than double precision tells
// apart, far above a model's useful frequencies).
//
// A model with radially anisotropic layers (Model::transversely_isotropic()): dc_dvs and
// dc_dvp are the derivatives with respect to each layer's vsv and vpv, dc_drho at fixed
// velocities and eta, and dc_dvsh, dc_dvph (per m/s) and dc_deta (per unit eta) hold the
// rest (vemlari/transverse_kernels.h gives those of the elastic constants); an isotropic
// layer's dc_dvs is then split between dc_dvs and dc_dvsh, its dc_dvp between dc_dvp and
// dc_dvph. The thickness, du and dhv entries of such a model are NaN (du_defined false);
// inverse_q takes qs for vsv and vsh, qp for vpv and vph. Models without such layers leave
// dc_dvsh, dc_dvph and dc_deta empty.
struct ModeKernels {
    std::vector<double> dc_dvs, dc_dvp, dc_drho, dc_dh;
    std::vector<double> dc_dvsh, dc_dvph, dc_deta;
    std::vector<double> du_dvs, du_dvp, du_drho, du_dh;
    // Rayleigh waves, when asked (`ellipticity`, below; else NaN): the derivatives of the
    // signed H/V (ModeProperties::ellipticity_signed, positive retrograde) at fixed
    // frequency, per (m/s), per density unit and per m (the thickness as dc_dh; 0 for the
    // half-space). A positive entry means H/V rises with the
    // parameter: where H/V < 0 (prograde) |H/V| falls. d(H/V)/dp is dh/dp at fixed phase
    // velocity plus dh/dc times dc/dp, with h the H/V of the field that frees the surface of
    // shear traction at a trial phase velocity (the mode's own at its root) and dc/dp the
    // kernels above; the partials of h by central differences of that closed-form field
    // (no mode searched again), which agree with central differences of re-solved modes'
    // H/V to 1e-5 of the mode's largest p d(H/V)/dp. They grow without bound near a pole
    // of H/V (vertical surface motion 0). NaN for Love waves. Their cost: two evaluations of
    // the field per layer value, each through every layer, so it grows as the square of
    // the layers: on 10 layers the Rayleigh kernels take 5 times as long with them.
    std::vector<double> dhv_dvs, dhv_dvp, dhv_drho, dhv_dh;
    // 1/Q of the mode at fixed frequency: sum over layers of (vp/c dc/dvp / Qp + vs/c dc/dvs / Qs),
    // a layer's Q of 0 (or below) counting as elastic (1/Q = 0). The complex phase velocity is
    // c (1 + i inverse_q / 2) to first order.
    double inverse_q = 0.0;
    // Spatial attenuation coefficient (1/m): amplitude decays as exp(-gamma x) along the
    // path; gamma = omega inverse_q / (2 c).
    double gamma = 0.0;
    // False where the mode could not be followed in frequency: the du entries are NaN.
    bool du_defined = true;
};

struct WaveKernels {
    std::vector<std::vector<ModeKernels>> modes;  // [frequency][mode], as in WaveModes
};

struct Kernels {
    WaveKernels love;
    WaveKernels rayleigh;
    const WaveKernels& operator[](Wave w) const { return w == Wave::love ? love : rayleigh; }
};

// The kernels of every mode in `modes`, which must come from find_modes on the same model,
// at the frequencies the mode properties use (Frequencies::property_angular: a zero
// frequency's at its substitute). `threads` >= 1 (else Error, Rule::option); results do not
// depend on it. `ellipticity`: the H/V kernels of Rayleigh modes too (ModeKernels::dhv_*).
// Throws Error (Rule::request) when the tables of `modes` do not match its frequencies, and
// for a model with radially anisotropic layers under water.
Kernels sensitivity_kernels(const Model& model, const Modes& modes, int threads = 1, bool ellipticity = false);

// The model at frequency f (Hz, > 0) under constant-Q physical dispersion: each layer's
// vp and vs are taken as given at their reference frequencies fp, fs and moved to f by
// v(f) = v(f_ref) (1 + ln(f / f_ref) / (pi Q)). A layer whose Q or reference frequency is
// 0 (or below) keeps that velocity. Throws Error (Rule::frequencies) for a frequency that
// is not finite and > 0, and Error if the result is not a valid model.
Model dispersed_model(const Model& model, double frequency);

// Modes, their properties and their kernels (with `ellipticity`, the H/V kernels too) in one
// call. With physical_dispersion, each
// frequency's modes are found on dispersed_model(model, f) and its kernels are derivatives
// with respect to that frequency's layer parameters; each frequency is then searched on
// its own, and `options.on_frequency` is called after each as in find_modes. Physical
// dispersion needs every frequency > 0 (Error, Rule::frequencies). Refusals come before
// any work; `options.threads` serves every stage.
struct Sensitivities {
    Modes modes;
    Properties properties;
    Kernels kernels;
};
Sensitivities sensitivities(const Model& model, const Frequencies& frequencies, const SearchOptions& options = {},
                            bool physical_dispersion = false, bool ellipticity = false);

}  // namespace vemlari

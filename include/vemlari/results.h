#pragma once
// What the calls return. Every table is indexed [frequency k][mode m], k as in the call's
// Frequencies and m = 0 the fundamental mode, modes in increasing phase velocity.
#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vemlari/frequencies.h"
#include "vemlari/options.h"

namespace vemlari {

// Something the computation met and went on with.
struct Diagnostic {
    enum class Kind {
        // A candidate minimum of |F| whose refinement stopped above the tolerance: no mode.
        // `phase_velocity` is the best trial (m/s), `modulus` its |F|, `iterations` the
        // halvings done, `mode` the index the mode would have had and `layer` the layer at
        // whose top the secular function was referred (1: the free surface).
        not_converged,
        // A near-singular SH reverberation term 1 - RU GRD (|term| < 1e-15) at
        // (`angular_frequency`, `wavenumber`): the trial velocity sits on a pole.
        near_singular,
    };
    Kind kind = Kind::not_converged;
    Wave wave = Wave::love;
    std::size_t frequency = 0;
    int layer = 1;
    int mode = 0;
    long long iterations = 0;
    double phase_velocity = 0.0;
    double modulus = 0.0;
    double angular_frequency = 0.0;  // rad/s
    double wavenumber = 0.0;         // 1/m
    std::complex<double> term{};
};

// One scan point of a secular function.
struct TracePoint {
    double phase_velocity;  // m/s
    std::complex<double> value;
};

// The modes of one wave type.
struct WaveModes {
    Wave wave = Wave::love;
    bool searched = false;  // false: the options left this wave out (or a Love search on a half-space)
    std::vector<std::vector<double>> phase_velocity;  // m/s
    // The layer at whose top each mode was found: 1 = the free surface. The scan: the layer
    // whose secular function found it, deeper for a mode trapped in a slow layer. The counted
    // search: the interface where its root function was refined, the free surface or a slow
    // layer's top where they serve, another layer's top otherwise (the mode properties then
    // build the mode from a layer top where its secular function vanishes).
    std::vector<std::vector<int>> found_at;
    // The mode number of each entry (0 the fundamental): the column index, unless
    // SearchOptions::mode_set picked some modes.
    std::vector<std::vector<int>> mode;
    // Per frequency, in the order the search met them.
    std::vector<std::vector<Diagnostic>> diagnostics;
    // Per frequency, the scan points of the surface scan (only with keep_trace).
    std::vector<std::vector<TracePoint>> trace;
    // With SearchOptions::max_modes: the first frequency at which the search found more
    // modes than that; its modes are listed up to the limit, later frequencies are empty.
    bool overflow = false;
    std::size_t overflow_at = 0;
    // Modes found at frequency k: with max_modes, those past the limit too; with
    // highest_mode, those kept.
    std::vector<int> count;
    // Evaluations the search made: secular functions (scan), or counts and root functions
    // (counted search).
    long long evaluations = 0;
};

struct Modes {
    Frequencies frequencies;
    SearchOptions options;
    WaveModes love;
    WaveModes rayleigh;
    // Frequency entries searched: all, unless on_frequency ended the search early; entries
    // from here on may be empty or partly filled.
    std::size_t searched = 0;
    // The fingerprint of the model searched (Model::fingerprint), set by find_modes. The calls
    // that take Modes refuse them (Error, Rule::request) on a model of another fingerprint;
    // 0 (modes built by hand) matches any model, and only the tables are checked.
    std::uint64_t fingerprint = 0;
    const WaveModes& operator[](Wave w) const { return w == Wave::love ? love : rayleigh; }
};

// Derived quantities of one mode.
struct ModeProperties {
    double group_velocity = 0.0;  // U (m/s)
    // I1 = 1/2 integral of rho |u|^2 dz over depth, of the eigenfunctions as `eigenfunctions`
    // scales them (with water on top, Rayleigh waves: unit vertical displacement at the
    // water's surface)
    double energy_integral = 0.0;
    // Medium response 1 / (4 omega U I1); 0 where U or I1 is at most 1e-5.
    double response = 0.0;
    // H/V: |horizontal / vertical| displacement at the free surface; NaN for Love waves.
    // With water on top the free surface is the water's: its pressure vanishes, and with it
    // the horizontal displacement (u_x is proportional to the pressure in a fluid), so H/V
    // is 0 there.
    double ellipticity = 0.0;
    // H/V with its sign: positive where the particle motion at the free surface is
    // retrograde (elliptical, turning against the direction of propagation at the top of
    // its orbit, as the Rayleigh wave of a half-space), negative where it is prograde;
    // |ellipticity_signed| = ellipticity. It changes sign through a zero of the horizontal
    // displacement (H/V 0) or of the vertical one (|H/V| without bound). NaN for Love waves.
    double ellipticity_signed = 0.0;
    // H/V at the sea floor: |horizontal / vertical| displacement of the solid at the top of
    // the first solid layer (the solid slides under the water: its u_x is not the water's).
    // Without water the sea floor is the free surface: the same as `ellipticity`. NaN for
    // Love waves. (With water, ellipticity and ellipticity_signed are 0.)
    double seafloor_ellipticity = 0.0;
};

struct WaveProperties {
    std::vector<std::vector<ModeProperties>> modes;    // [frequency][mode], as in WaveModes
    std::vector<std::vector<Diagnostic>> diagnostics;  // per frequency, in mode order
};

struct Properties {
    WaveProperties love;
    WaveProperties rayleigh;
    const WaveProperties& operator[](Wave w) const { return w == Wave::love ? love : rayleigh; }
};

// Eigenfunctions of one mode against depth: the real parts of the mode's field for a
// down-going wave of amplitude 1/2 at the top of layer 1 (modes trapped in a slow layer:
// scaled to unit surface displacement). Love: displacement and shear stress. Rayleigh:
// horizontal and vertical displacement, shear and normal traction.
// With water on top: Love waves as for the solid layers alone, 0 in the water; Rayleigh waves
// scaled to unit vertical displacement at the water's surface, horizontal u_x and vertical
// u_z / i (tractions in Pa per unit of it): in the water the shear traction is 0, the normal
// one is minus the pressure, and u_x is that of the water (it jumps at the sea floor, whose
// depth belongs to the water).
struct Eigenfunctions {
    Wave wave = Wave::love;
    std::vector<double> depth;                 // m
    std::vector<double> displacement;          // Love
    std::vector<double> stress;                // Love
    std::vector<double> horizontal, vertical;  // Rayleigh displacements
    std::vector<double> shear, normal;         // Rayleigh tractions
};

}  // namespace vemlari

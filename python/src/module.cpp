// The Python module vemlari: the library's calls on numpy arrays, SI units throughout.
#include "python/src/bindings.h"
#include "vemlari/version.h"

PYBIND11_MODULE(_core, m) {
    using namespace vemlari::python;
    m.doc() = R"(Love and Rayleigh surface-wave modes of a horizontally layered elastic half-space.

Every mode at every frequency (also modes trapped under velocity inversions), with group
velocity, energy integral, medium response and H/V, computed by the vemlari engine.
Units are SI: m, m/s, kg/m^3, Hz.

    import vemlari
    model = vemlari.Model(thickness=[2000, 13000, 0], vp=[4500, 6000, 8000],
                          vs=[2600, 3500, 4500], rho=[2500, 2700, 3300])
    r = vemlari.dispersion(model, [0.05, 0.1, 0.2], wave="rayleigh")
    r.phase_velocity  # (3, n_modes), NaN where a mode does not exist

Calls: dispersion, dispersion_many, kernels (sensitivity kernels and modal attenuation),
transverse_kernels (kernels of radially anisotropic models),
eigenfunctions, secular, frequency_limits, read_models (model files). Every long call
releases the GIL and stops at Ctrl-C. Refusals are ValueError (vemlari.ModelError for an
invalid model), arguments of the wrong type TypeError.)";
    m.attr("__version__") = vemlari::version;
    bind_errors(m);
    bind_model(m);
    bind_frequencies(m);
    bind_result(m);
    bind_dispersion(m);
    bind_fields(m);
    bind_kernels_result(m);
    bind_kernels(m);
    bind_model_files(m);
    bind_transverse_kernels(m);
}

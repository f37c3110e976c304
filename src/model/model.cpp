// Validation of a layered model: the rules without which the computation has no meaning.
#include <bit>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "vemlari/model.h"

namespace vemlari {

namespace {

std::string number(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

[[noreturn]] void refuse(Error::Rule rule, int layer, const char* quantity, double value, const std::string& what) {
    throw Error(rule, "layer " + std::to_string(layer) + ": " + quantity + " = " + number(value) + " " + what, layer,
                quantity, value);
}

// The constants per unit density of a transversely isotropic layer: stable (the strain
// energy positive), with coupled P and SV waves, and a half-space whose qSV wave travels no
// slower horizontally than where its Rayleigh waves end, so that below that velocity both of
// its waves decay with depth.
void check_transverse(const Layer& l, int n, bool half_space) {
    for (const auto& [v, q] : {std::pair{l.vph, "vph"}, std::pair{l.vsh, "vsh"}, std::pair{l.eta, "eta"}})
        if (!std::isfinite(v)) refuse(Error::Rule::not_finite, n, q, v, "must be a finite number");
    for (const auto& [v, q] : {std::pair{l.vph, "vph"}, std::pair{l.vsh, "vsh"}})
        if (v != 0.0 && !(v >= min_velocity && v <= max_velocity))
            refuse(Error::Rule::out_of_range, n, q, v,
                   "must lie between " + number(min_velocity) + " and " + number(max_velocity) + " (or 0: as vp, vs)");
    const double vph = horizontal_vp(l), vsh = horizontal_vs(l);
    const double a = vph * vph, c = l.vp * l.vp, L = l.vs * l.vs, N = vsh * vsh, f = l.eta * (a - 2.0 * L);
    if (!(vph > vsh))
        refuse(Error::Rule::not_a_solid, n, "vph", vph, "must exceed the horizontal S velocity vsh = " + number(vsh));
    if (!(c * (a - N) > f * f))
        refuse(Error::Rule::not_a_solid, n, "eta", l.eta,
               "gives F^2 >= C (A - N): the layer's strain energy is not positive (not a stable solid)");
    if (!(f + L > 0.0))
        refuse(Error::Rule::not_a_solid, n, "eta", l.eta, "gives F + L <= 0: P and SV waves would not couple");
    if (half_space) {
        const double w = std::fmin(L, a);
        const double b = L * (w - L) + c * (w - a) + (f + L) * (f + L);
        if (b > 0.0)
            refuse(Error::Rule::not_a_solid, n, "eta", l.eta,
                   "gives the half-space a qSV wave slower horizontally than min(vsv, vph): its Rayleigh waves "
                   "could not be trapped");
    }
}

// A fluid layer (vs = 0) lies above every solid one and is not the half-space.
void check_layer(const Layer& l, int n, bool half_space, bool solid_above) {
    auto finite = [&](double v, const char* q) {
        if (!std::isfinite(v)) refuse(Error::Rule::not_finite, n, q, v, "must be a finite number");
    };
    auto positive = [&](double v, const char* q) {
        if (!(std::isfinite(v) && v > 0.0))
            refuse(Error::Rule::not_positive, n, q, v, "must be a positive finite number");
    };
    finite(l.thickness, "thickness");
    finite(l.qp, "qp");
    finite(l.fp, "fp");
    finite(l.qs, "qs");
    finite(l.fs, "fs");
    positive(l.density, "density");
    const bool fluid = l.vs == 0.0;
    if (fluid && half_space)
        refuse(Error::Rule::not_positive, n, "vs", l.vs, "in the half-space: the half-space must be a solid");
    if (fluid && solid_above)
        refuse(Error::Rule::not_positive, n, "vs", l.vs,
               "below a solid layer: a fluid layer (vs = 0) must lie above every solid layer");
    if (!fluid) positive(l.vs, "vs");
    finite(l.vp, "vp");
    if (!(l.vp > l.vs))
        refuse(Error::Rule::vp_not_above_vs, n, "vp", l.vp, "must exceed the S velocity vs = " + number(l.vs));
    // Below this the bulk modulus is not positive: no solid, and no real wave speeds.
    if (!(3.0 * l.vp * l.vp > 4.0 * l.vs * l.vs))
        refuse(Error::Rule::not_a_solid, n, "vp", l.vp,
               "must exceed 2/sqrt(3) times the S velocity vs = " + number(l.vs) + " (a positive bulk modulus)");
    if (!half_space && l.thickness < 0.0)
        refuse(Error::Rule::negative_thickness, n, "thickness", l.thickness,
               "must not be negative above the half-space");
    auto within = [&](double v, double lo, double hi, const char* q) {
        if (!(v >= lo && v <= hi))
            refuse(Error::Rule::out_of_range, n, q, v, "must lie between " + number(lo) + " and " + number(hi));
    };
    within(l.density, min_density, max_density, "density");
    if (!fluid) within(l.vs, min_velocity, max_velocity, "vs");
    within(l.vp, min_velocity, max_velocity, "vp");
    if (!fluid && !(l.vp <= max_vp_over_vs * l.vs))
        refuse(Error::Rule::out_of_range, n, "vp", l.vp,
               "must be at most " + number(max_vp_over_vs) + " times the S velocity vs = " + number(l.vs));
    if (!half_space && l.thickness > max_thickness)
        refuse(Error::Rule::out_of_range, n, "thickness", l.thickness,
               "must be at most " + number(max_thickness) + " m");
    for (const auto& [q, name] : {std::pair{l.qp, "qp"}, std::pair{l.qs, "qs"}})
        if (q > 0.0 && q < min_quality)
            refuse(Error::Rule::out_of_range, n, name, q,
                   "must be at least " + number(min_quality) + " (or 0 or below for an elastic layer)");
    if (fluid && transversely_isotropic(l)) {
        const auto [q, v] = l.vph != 0.0   ? std::pair{"vph", l.vph}
                            : l.vsh != 0.0 ? std::pair{"vsh", l.vsh}
                                           : std::pair{"eta", l.eta};
        refuse(Error::Rule::not_a_solid, n, q, v, "in a fluid layer (vs = 0): a fluid is isotropic");
    }
    if (transversely_isotropic(l)) check_transverse(l, n, half_space);
}

// The largest value of a field over the smallest stays within `contrast`: the first layer
// whose value is below the largest over `contrast` is refused. Layers from `first` on.
void check_contrast(const std::vector<Layer>& layers, double Layer::*field, const char* quantity, double contrast,
                    const char* what, std::size_t first = 0) {
    double largest = 0.0;
    for (std::size_t i = first; i < layers.size(); ++i) largest = std::fmax(largest, layers[i].*field);
    for (std::size_t i = first; i < layers.size(); ++i)
        if (layers[i].*field * contrast < largest)
            refuse(Error::Rule::out_of_range, static_cast<int>(i + 1), quantity, layers[i].*field,
                   "must be at least the model's largest " + std::string(what) + ", " + number(largest) +
                       ", divided by " + number(contrast));
}

// FNV-1a over the bits of each value; -0 counts as 0.
std::uint64_t fingerprint_of(const std::vector<Layer>& layers) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    auto add = [&h](double v) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(v + 0.0);
        for (int byte = 0; byte < 8; ++byte) {
            h ^= (bits >> (8 * byte)) & 0xffu;
            h *= 0x100000001b3ull;
        }
    };
    add(static_cast<double>(layers.size()));
    for (std::size_t i = 0; i < layers.size(); ++i) {
        add(i + 1 < layers.size() ? layers[i].thickness : 0.0);
        add(layers[i].vp);
        add(layers[i].vs);
        add(layers[i].density);
        if (transversely_isotropic(layers[i])) {
            add(horizontal_vp(layers[i]));
            add(horizontal_vs(layers[i]));
            add(layers[i].eta);
        }
    }
    return h == 0 ? 1 : h;
}

}  // namespace

Model::Model(std::vector<Layer> layers) : layers_(std::move(layers)) {
    if (layers_.empty()) throw Error(Error::Rule::no_layers, "a model needs at least one layer, the half-space");
    const int nl = static_cast<int>(layers_.size());
    bool solid_above = false;
    for (int n = 1; n <= nl; ++n) {
        const Layer& l = layers_[static_cast<std::size_t>(n - 1)];
        check_layer(l, n, n == nl, solid_above);
        if (l.vs == 0.0)
            ++fluid_layers_;
        else
            solid_above = true;
    }
    // Fluid layers carry no S wave: the contrast is among the solid ones.
    check_contrast(layers_, &Layer::vs, "vs", max_vs_contrast, "S velocity", fluid_layers_);
    check_contrast(layers_, &Layer::density, "density", max_density_contrast, "density");
    fingerprint_ = fingerprint_of(layers_);
    for (const Layer& l : layers_) anisotropic_ = anisotropic_ || vemlari::transversely_isotropic(l);
}

TransverseModuli transverse_moduli(const Layer& l) {
    const double vph = horizontal_vp(l), vsh = horizontal_vs(l);
    TransverseModuli m;
    m.a = l.density * vph * vph;
    m.c = l.density * l.vp * l.vp;
    m.l = l.density * l.vs * l.vs;
    m.n = l.density * vsh * vsh;
    m.f = l.eta * (m.a - 2.0 * m.l);
    return m;
}

void check_isotropic(const Model& model, const char* what) {
    for (std::size_t i = 0; i < model.size(); ++i)
        if (transversely_isotropic(model[i]))
            throw Error(Error::Rule::request,
                        std::string(what) + " computes isotropic layers only: layer " + std::to_string(i + 1) +
                            " is transversely isotropic (vph, vsh or eta given)",
                        static_cast<int>(i + 1), "eta", model[i].eta);
}

void check_half_space_fastest(const Model& model) {
    const std::vector<Layer>& layers = model.layers();
    const int nl = static_cast<int>(layers.size());
    // The scan runs up to these velocities, which it takes for the half-space's.
    const Layer& h = layers.back();
    for (int n = 1; n < nl; ++n) {
        const Layer& l = layers[static_cast<std::size_t>(n - 1)];
        if (l.vs > h.vs)
            throw Error(Error::Rule::half_space_vs,
                        "layer " + std::to_string(n) + ": vs = " + number(l.vs) +
                            " exceeds the half-space's; the half-space must have the largest S velocity",
                        n, "vs", l.vs);
    }
    for (int n = 1; n < nl; ++n) {
        const Layer& l = layers[static_cast<std::size_t>(n - 1)];
        if (l.vp > h.vp)
            throw Error(Error::Rule::half_space_vp,
                        "layer " + std::to_string(n) + ": vp = " + number(l.vp) +
                            " exceeds the half-space's; the half-space must have the largest P velocity",
                        n, "vp", l.vp);
    }
}

}  // namespace vemlari

// Validation of a layered model: the rules without which the computation has no meaning.
#include <cmath>
#include <sstream>

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

void check_layer(const Layer& l, int n, bool half_space) {
    auto finite = [&](double v, const char* q) {
        if (!std::isfinite(v)) refuse(Error::Rule::not_finite, n, q, v, "must be a finite number");
    };
    auto positive = [&](double v, const char* q) {
        if (!(std::isfinite(v) && v > 0.0)) refuse(Error::Rule::not_positive, n, q, v, "must be a positive finite number");
    };
    finite(l.thickness, "thickness");
    finite(l.qp, "qp");
    finite(l.fp, "fp");
    finite(l.qs, "qs");
    finite(l.fs, "fs");
    positive(l.density, "density");
    positive(l.vs, "vs");
    finite(l.vp, "vp");
    if (!(l.vp > l.vs))
        refuse(Error::Rule::vp_not_above_vs, n, "vp", l.vp, "must exceed the S velocity vs = " + number(l.vs));
    // Below this the bulk modulus is not positive: no solid, and no real wave speeds.
    if (!(3.0 * l.vp * l.vp > 4.0 * l.vs * l.vs))
        refuse(Error::Rule::not_a_solid, n, "vp", l.vp,
               "must exceed 2/sqrt(3) times the S velocity vs = " + number(l.vs) + " (a positive bulk modulus)");
    if (!half_space && l.thickness < 0.0)
        refuse(Error::Rule::negative_thickness, n, "thickness", l.thickness, "must not be negative above the half-space");
}

}  // namespace

Model::Model(std::vector<Layer> layers) : layers_(std::move(layers)) {
    if (layers_.empty()) throw Error(Error::Rule::no_layers, "a model needs at least one layer, the half-space");
    const int nl = static_cast<int>(layers_.size());
    for (int n = 1; n <= nl; ++n) check_layer(layers_[static_cast<std::size_t>(n - 1)], n, n == nl);
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

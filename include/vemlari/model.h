#pragma once
// A horizontally layered elastic half-space: layers from the top, the last one the
// half-space. Units: m, m/s; density in any consistent unit (results that depend on it,
// the energy integral and the medium response, scale with it).
#include <cstddef>
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
};

// A validated model: constructing one checks, layer by layer from the top and in this order,
//   thickness, qp, fp, qs, fs finite; density > 0, vs > 0 (finite); vp finite and vp > vs;
//   vp^2 > 4/3 vs^2 (a positive bulk modulus: a solid); thickness >= 0 above the half-space.
// The first rule broken throws Error naming the layer, the quantity, the value and the rule.
// Any number of layers from 1 (a lone half-space) up, their velocities in any order: a layer
// may be faster than the half-space (the modes are those slower than the half-space's S
// velocity). A layer of zero thickness changes nothing.
class Model {
public:
    explicit Model(std::vector<Layer> layers);

    const std::vector<Layer>& layers() const { return layers_; }
    std::size_t size() const { return layers_.size(); }
    // Layer i from the top, 0-based; size() - 1 is the half-space.
    const Layer& operator[](std::size_t i) const { return layers_[i]; }

private:
    std::vector<Layer> layers_;
};

// Throws Error (Rule::half_space_vs, then half_space_vp, naming the first layer) unless the
// half-space has the largest S and the largest P velocity of the model: the rule of the
// interactive program and of its scan (SearchMethod::scan), which runs up to those velocities.
void check_half_space_fastest(const Model& model);

}  // namespace vemlari

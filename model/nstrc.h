#pragma once
// The layered model as the computation reads it: arrays indexed from 1 (entry 1 is the top
// layer, entry nl the half-space; entry 0 is unused), sized by the model.
#include <vector>

#include "vemlari/model.h"

namespace vemlari {

struct Nstrc {
    std::vector<double> rho{0.0};
    std::vector<double> vp{0.0};
    std::vector<double> vs{0.0};
    std::vector<double> thk{0.0};
    int nl = 0;

    // Appends a layer below the others.
    void add(double density, double p, double s, double thickness) {
        rho.push_back(density);
        vp.push_back(p);
        vs.push_back(s);
        thk.push_back(thickness);
        ++nl;
    }
};

inline Nstrc nstrc_of(const Model& m) {
    Nstrc s;
    for (const Layer& l : m.layers()) s.add(l.density, l.vp, l.vs, l.thickness);
    return s;
}

// The solid layers below any water on top: where Love waves live.
inline Nstrc solid_part(const Model& m) {
    Nstrc s;
    for (std::size_t i = m.fluid_layers(); i < m.size(); ++i) s.add(m[i].density, m[i].vp, m[i].vs, m[i].thickness);
    return s;
}

// The depth of the sea floor (m): the fluid layers' thickness.
inline double water_depth(const Model& m) {
    double d = 0.0;
    for (std::size_t i = 0; i < m.fluid_layers(); ++i) d += m[i].thickness;
    return d;
}

}  // namespace vemlari

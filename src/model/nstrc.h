#pragma once
// The layered model as the computation reads it: arrays indexed from 1 (entry 1 is the top
// layer, entry nl the half-space; entry 0 is unused), sized by the model.
#include <vector>

#include "vemlari/model.h"

namespace vemlari::detail {

struct Nstrc {
    std::vector<double> rho{0.0};
    std::vector<double> vp{0.0};
    std::vector<double> vs{0.0};
    std::vector<double> thk{0.0};
    // Transversely isotropic layers: their horizontal velocities and eta (isotropic layers:
    // vp, vs and 1, flagged false).
    std::vector<double> vph{0.0};
    std::vector<double> vsh{0.0};
    std::vector<double> eta{1.0};
    std::vector<char> ti{0};
    int nl = 0;

    // Appends a layer below the others.
    void add(double density, double p, double s, double thickness) {
        rho.push_back(density);
        vp.push_back(p);
        vs.push_back(s);
        thk.push_back(thickness);
        vph.push_back(p);
        vsh.push_back(s);
        eta.push_back(1.0);
        ti.push_back(0);
        ++nl;
    }
    // Makes the last layer transversely isotropic.
    void make_transverse(double horizontal_p, double horizontal_s, double e) {
        vph.back() = horizontal_p;
        vsh.back() = horizontal_s;
        eta.back() = e;
        ti.back() = 1;
    }
    bool transverse() const {
        for (char t : ti)
            if (t) return true;
        return false;
    }
};

inline Nstrc nstrc_of(const Model& m) {
    Nstrc s;
    for (const Layer& l : m.layers()) {
        s.add(l.density, l.vp, l.vs, l.thickness);
        if (transversely_isotropic(l)) s.make_transverse(horizontal_vp(l), horizontal_vs(l), l.eta);
    }
    return s;
}

// The solid layers below any water on top: where Love waves live.
inline Nstrc solid_part(const Model& m) {
    Nstrc s;
    for (std::size_t i = m.fluid_layers(); i < m.size(); ++i) {
        s.add(m[i].density, m[i].vp, m[i].vs, m[i].thickness);
        if (transversely_isotropic(m[i])) s.make_transverse(horizontal_vp(m[i]), horizontal_vs(m[i]), m[i].eta);
    }
    return s;
}

// The depth of the sea floor (m): the fluid layers' thickness.
inline double water_depth(const Model& m) {
    double d = 0.0;
    for (std::size_t i = 0; i < m.fluid_layers(); ++i) d += m[i].thickness;
    return d;
}

}  // namespace vemlari::detail

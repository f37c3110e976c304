#pragma once
// The depth grid of the eigenfunctions and the walk through the layers along it.
#include "model/nstrc.h"

namespace vemlari::detail {

struct DepthGrid {
    double dz = 0.0;   // grid step (m); point iz lies at dz * (iz - 1)
    double dep = 0.0;  // depth of the last point (m)
    int npts = 0;      // points evaluated, from the surface down
};

// Current layer with its top and bottom depth. A point exactly on an interface belongs to
// the layer above; the walk moves at most one layer per point and never leaves the
// half-space, whose bottom is put at udep + dep.
struct LayerWalk {
    int lay = 1;
    double udep = 0.0;
    double bdep = 0.0;

    void start(const Nstrc& s) {
        lay = 1;
        udep = 0.0;
        bdep = s.thk[1];
    }

    // True when the point at depth z makes the walk enter the next layer.
    bool step(double z, const Nstrc& s, double dep) {
        if (lay >= s.nl || !(z > bdep)) return false;
        ++lay;
        udep = bdep;
        bdep = lay == s.nl ? udep + dep : udep + s.thk[lay];
        return true;
    }
};

}  // namespace vemlari::detail

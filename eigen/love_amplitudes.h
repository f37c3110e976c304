#pragma once
// SH amplitudes of one Love mode, layer by layer from the surface: the one recursion that
// both the eigenfunctions on the grid and the energy integrals walk.
#include "kernels/kernel_records.h"

namespace vemlari {

class LoveAmplitudes {
public:
    LoveAmplitudes(double om, double wn, const Nstrc& s, const Grtlv& g)
        : om2_(om * om), wn2_(wn * wn), s_(s), g_(g) {}

    int j = 0;       // current layer
    cplx nu{};       // vertical wavenumber of layer j
    double mu = 0.0; // shear modulus of layer j
    cplx cds{};      // down-going amplitude, referred to the layer top
    cplx cus{};      // up-going amplitude, referred to the layer bottom (not in the half-space)

    // Layer 1: a down-going wave of one half and its reflection from the stack below.
    void start() {
        set_layer(1);
        cds = {0.5, 0.0};
        cus = g_.GRD[1] * cds;
    }

    void enter_layer(int jn) {
        set_layer(jn);
        cds = cds * g_.GTD[jn - 1];
        if (jn < s_.nl) cus = g_.GRD[jn] * cds;
    }

    bool in_half_space() const { return j == s_.nl; }

    // Complex displacement v and shear stress tau at depth z of the current layer.
    void field(double z, double udep, double bdep, cplx& v, cplx& tau) const {
        const cplx el21 = -(cplx{mu, 0.0} * nu);
        const cplx dd = phase_factor(nu, z - udep);
        if (in_half_space()) {
            v = dd * cds;
            tau = el21 * dd * cds;
            return;
        }
        const cplx el22 = cplx{mu, 0.0} * nu;
        const cplx du = phase_factor(nu, bdep - z);
        v = dd * cds + du * cus;
        tau = el21 * dd * cds + el22 * du * cus;
    }

private:
    void set_layer(int jn) {
        j = jn;
        const double vs2 = s_.vs[jn] * s_.vs[jn];
        nu = vertical_wavenumber(wn2_ - om2_ / vs2);
        mu = s_.rho[jn] * vs2;
    }

    double om2_, wn2_;
    const Nstrc& s_;
    const Grtlv& g_;
};

}  // namespace vemlari

#pragma once
// SH amplitudes of one Love mode, layer by layer: the one recursion that both the
// eigenfunctions on the grid and the energy integrals walk.
#include <vector>

#include "kernels/kernel_records.h"

namespace vemlari::detail {

class LoveAmplitudes {
public:
    // `top` is the layer at whose top the mode's secular function vanished (1: the free
    // surface); `above` holds the stack-above coefficients when top > 1.
    LoveAmplitudes(double om, double wn, const Nstrc& s, const Grtlv& g, int top, const Grulv& above)
        : om2_(om * om), wn2_(wn * wn), s_(s), g_(g), top_(top), above_(above) {}

    int j = 0;        // current layer
    cplx nu{};        // vertical wavenumber of layer j
    double mu = 0.0;  // shear modulus of layer j
    cplx cds{};       // down-going amplitude, referred to the layer top
    cplx cus{};       // up-going amplitude, referred to the layer bottom (not in the half-space)

    // Layer 1: a down-going wave of one half and its reflection from the stack below.
    void start() {
        if (top_ > 1) {
            anchor();
            set_layer(1);
            cds = down_[1];
            cus = up_[1];
            return;
        }
        set_layer(1);
        cds = {0.5, 0.0};
        cus = g_.GRD[1] * cds;
    }

    void enter_layer(int jn) {
        set_layer(jn);
        if (jn < top_) {
            cds = down_[jn];
            cus = up_[jn];
            return;
        }
        cds = jn == top_ ? down_[jn] : cds * g_.GTD[jn - 1];
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
        nu = vertical_wavenumber(wn2_, om2_ / vs2);
        mu = s_.rho[jn] * vs2;
    }

    // A mode trapped below the top of layer `top`: its field is built from that interface,
    // downwards with the stack below and upwards with the stack above, which holds the free
    // surface exactly. Built from the surface instead, the tiny mismatch of the root in the
    // surface function would be amplified through the evanescent layers. Scaled to unit
    // surface displacement, so the amplitudes are large in the slow layer.
    void anchor() {
        down_.resize(static_cast<std::size_t>(top_) + 1);
        up_.resize(static_cast<std::size_t>(top_) + 1);
        down_[top_] = {1.0, 0.0};
        up_[top_] = g_.GRD[top_] * down_[top_];
        for (int i = top_ - 1; i >= 1; --i) {
            up_[i] = above_.GTU[i] * up_[i + 1];
            down_[i] = above_.GRU[i - 1] * up_[i];
        }
        set_layer(1);
        const cplx v0 = down_[1] + phase_factor(nu, s_.thk[1]) * up_[1];
        for (int i = 1; i <= top_; ++i) {
            down_[i] = down_[i] / v0;
            up_[i] = up_[i] / v0;
        }
    }

    double om2_, wn2_;
    const Nstrc& s_;
    const Grtlv& g_;
    int top_;
    const Grulv& above_;
    // Only a trapped mode needs them.
    std::vector<cplx> down_, up_;
};

}  // namespace vemlari::detail

#pragma once
// P-SV amplitudes of one Rayleigh mode, layer by layer, normalised to unit vertical
// displacement and zero shear traction at the free surface. The eigenfunctions on the grid
// and the energy integrals walk this same recursion.
#include <vector>

#include "kernels/kernels.h"
#include "kernels/mat2.h"

namespace vemlari::detail {

class RayleighAmplitudes {
public:
    // `top` is the layer at whose top the mode's secular function vanished (1: the free
    // surface); `above` holds the stack-above coefficients when top > 1.
    RayleighAmplitudes(double om, double wn, const Nstrc& s, const Grtry& g, int top, const Grury& above)
        : om_(om), wn_(wn), s_(s), g_(g), top_(top), above_(above) {}

    int j = 0;
    Mat4 er{};          // layer matrix of layer j
    cplx cms{}, cmp{};  // S and P vertical wavenumbers of layer j
    cplx cdp{}, cds{};  // down-going P, S at the layer top
    cplx cup{}, cus{};  // up-going P, S at the layer bottom (none in the half-space)

    void start() {
        j = 1;
        mtxry(om_, wn_, 1, s_, cms, cmp, er);
        if (top_ > 1) {
            anchor();
            take(1);
            return;
        }
        if (s_.nl == 1) {
            const cplx b1 = -(er(3, 1) / er(3, 2));
            const cplx b2 = er(2, 1) + er(2, 2) * b1;
            cdp = cplx{1.0, 0.0} / b2;
            cds = b1 * cdp;
            return;
        }
        const Mat2& r = g_.GRD[1];
        const cplx ddp = phase_factor(cmp, s_.thk[1]);
        const cplx dds = phase_factor(cms, s_.thk[1]);
        const cplx a1 = er(3, 1) + er(3, 3) * ddp * r.m11 + er(3, 4) * dds * r.m21;
        const cplx a2 = er(3, 2) + er(3, 3) * ddp * r.m12 + er(3, 4) * dds * r.m22;
        // S-to-P ratio of the down-going waves that frees the surface of shear traction.
        const cplx b1 = -(a1 / a2);
        const cplx a3 = ddp * (r.m11 + r.m12 * b1);
        const cplx a4 = dds * (r.m21 + r.m22 * b1);
        const cplx vr20 = er(2, 1) + er(2, 2) * b1 + er(2, 3) * a3 + er(2, 4) * a4;
        cdp = cplx{1.0, 0.0} / vr20;
        cds = b1 * cdp;
        cup = r.m11 * cdp + r.m12 * cds;
        cus = r.m21 * cdp + r.m22 * cds;
    }

    void enter_layer(int jn) {
        j = jn;
        mtxry(om_, wn_, jn, s_, cms, cmp, er);
        if (jn <= top_) {
            take(jn);
            return;
        }
        const Mat2& t = g_.GTD[jn - 1];
        const cplx p = t.m11 * cdp + t.m12 * cds;
        const cplx q = t.m21 * cdp + t.m22 * cds;
        cdp = p;
        cds = q;
        if (jn < s_.nl) {
            const Mat2& r = g_.GRD[jn];
            cup = r.m11 * cdp + r.m12 * cds;
            cus = r.m21 * cdp + r.m22 * cds;
        }
    }

    bool in_half_space() const { return j == s_.nl; }

    // The four complex components (horizontal, vertical displacement; shear, normal
    // traction) at depth z of the current layer, r[0] .. r[3].
    void field(double z, double udep, double bdep, cplx r[4]) const {
        const cplx a1 = phase_factor(cmp, z - udep) * cdp;
        const cplx a2 = phase_factor(cms, z - udep) * cds;
        if (in_half_space()) {
            for (int k = 1; k <= 4; ++k) r[k - 1] = er(k, 1) * a1 + er(k, 2) * a2;
            return;
        }
        const cplx a3 = phase_factor(cmp, bdep - z) * cup;
        const cplx a4 = phase_factor(cms, bdep - z) * cus;
        for (int k = 1; k <= 4; ++k) r[k - 1] = er(k, 1) * a1 + er(k, 2) * a2 + er(k, 3) * a3 + er(k, 4) * a4;
    }

private:
    // A wave pair (P, S).
    struct Pair {
        cplx p, s;
    };
    static Pair apply(const Mat2& m, Pair a) { return {m.m11 * a.p + m.m12 * a.s, m.m21 * a.p + m.m22 * a.s}; }

    void take(int jn) {
        cdp = down_[jn].p;
        cds = down_[jn].s;
        cup = up_[jn].p;
        cus = up_[jn].s;
    }

    // A mode trapped below the top of layer `top`: its field is built from that interface,
    // downwards with the stack below and upwards with the stack above, which frees the
    // surface of traction exactly. Built from the surface instead, the tiny mismatch of the
    // root in the surface function would be amplified through the evanescent layers. The
    // down-going waves at the interface are the null vector of I - GRU GRD, taken from its
    // larger row; er is layer 1's matrix on entry.
    void anchor() {
        down_.resize(static_cast<std::size_t>(top_) + 1);
        up_.resize(static_cast<std::size_t>(top_) + 1);
        const Mat2 m = identity_minus_product(above_.GRU[top_ - 1], g_.GRD[top_]);
        down_[top_] =
            cabs(m.m11) + cabs(m.m12) >= cabs(m.m21) + cabs(m.m22) ? Pair{m.m12, -m.m11} : Pair{m.m22, -m.m21};
        up_[top_] = apply(g_.GRD[top_], down_[top_]);
        for (int i = top_ - 1; i >= 1; --i) {
            up_[i] = apply(above_.GTU[i], up_[i + 1]);
            down_[i] = apply(above_.GRU[i - 1], up_[i]);
        }
        const cplx ddp = phase_factor(cmp, s_.thk[1]);
        const cplx dds = phase_factor(cms, s_.thk[1]);
        const cplx vr20 =
            er(2, 1) * down_[1].p + er(2, 2) * down_[1].s + er(2, 3) * ddp * up_[1].p + er(2, 4) * dds * up_[1].s;
        for (int i = 1; i <= top_; ++i) {
            down_[i] = {down_[i].p / vr20, down_[i].s / vr20};
            up_[i] = {up_[i].p / vr20, up_[i].s / vr20};
        }
    }

    double om_, wn_;
    const Nstrc& s_;
    const Grtry& g_;
    int top_;
    const Grury& above_;
    // Only a trapped mode needs them.
    std::vector<Pair> down_, up_;
};

}  // namespace vemlari::detail

#pragma once
// The Love and Rayleigh secular functions of secular.cpp over the lanes of V, each lane the
// scalar kernels' operations in their order (mdrtlv, gnrtlv, gnrulv; mtxry, ddury, dcinva,
// mtrry, gnrtry, gnrury). What the scalar kernels compute and never read is left out:
// the half-space's up-going coefficients and phase factors, and the second layer-1 matrix
// of the free-surface term (the same operations on the same operands as the first).
// Included once per instruction set by a unit that defines V, W and VSQRT before it.
#include "kernels/lane_complex.h"
#include "kernels/lane_kernels.h"

namespace vemlari {
namespace {

using C = vc<V>;
using M2 = vm2<V>;

// vertical_wavenumber(k2, w2): at x = 0 exactly (the trial velocity is the layer's own) the
// wavenumber is taken a rounding error of k2 away from the branch point.
inline C wavenumber(V k2, double w2) {
    const V x = k2 - w2;
    return vertical_wavenumber_of<V, VSQRT>(select<V>(x != 0.0, x, k2 * 0x1p-52));
}
inline C phase(C nu, double h) { return phase_factor_of<V, W>(nu, h); }
inline C one() { return real_of<V>(1.0); }
inline C zero() { return real_of<V>(0.0); }

inline V load(const double* p) {
    V v;
    for (int i = 0; i < W; ++i) v[i] = p[i];
    return v;
}

inline void store(const LaneArgs& a, C f) {
    for (int i = 0; i < W; ++i) {
        a.re[i] = f.re[i];
        a.im[i] = f.im[i];
    }
}

// nu / k of layer j, as relative_wavenumber in secular.cpp (om^2 / v^2 is ws2 or wp2).
inline C relative(V wn, V wn2, double w2) {
    const C nu = wavenumber(wn2, w2);
    return {nu.re / wn, nu.im / wn};
}

// ---- SH ----

struct Sh {
    C e11, e21, e12, e22, nu;
};

inline Sh sh_layer(const LaneArgs& a, V wn2, int j) {
    const C nu = wavenumber(wn2, a.ws2[j]);
    const C mnu = real_of<V>(a.sm[j]) * nu;
    return {one(), -mnu, one(), mnu, nu};
}

unsigned love(const LaneArgs& a) {
    const V wn = load(a.wn);
    const V wn2 = wn * wn;
    // TD, TU, RD, RU of interface i at rec[4 i .. 4 i + 3].
    C* rec = static_cast<C*>(a.scratch);
    auto TD = [&](int i) -> C& { return rec[4 * i]; };
    auto TU = [&](int i) -> C& { return rec[4 * i + 1]; };
    auto RD = [&](int i) -> C& { return rec[4 * i + 2]; };
    auto RU = [&](int i) -> C& { return rec[4 * i + 3]; };

    Sh ea = sh_layer(a, wn2, 1);
    C dda = phase(ea.nu, a.thk[1]);
    RU(0) = dda;
    for (int i = 1; i <= a.nl - 2; ++i) {
        const Sh eb = sh_layer(a, wn2, i + 1);
        const C dub = phase(eb.nu, a.thk[i + 1]);
        const divisor<V> eab = divisor_of(eb.e21 * ea.e12 - eb.e11 * ea.e22);
        TD(i) = (ea.e12 * ea.e21 - ea.e11 * ea.e22) * dda / eab;
        RU(i) = (eb.e12 * ea.e22 - eb.e22 * ea.e12) * dub / eab;
        RD(i) = (eb.e11 * ea.e21 - ea.e11 * eb.e21) * dda / eab;
        TU(i) = (eb.e12 * eb.e21 - eb.e22 * eb.e11) * dub / eab;
        ea = eb;
        dda = dub;
    }
    const int last = a.nl - 1;
    {
        const Sh eb = sh_layer(a, wn2, a.nl);
        const divisor<V> eab = divisor_of(eb.e21 * ea.e12 - eb.e11 * ea.e22);
        TD(last) = (ea.e12 * ea.e21 - ea.e11 * ea.e22) * dda / eab;
        RD(last) = (eb.e11 * ea.e21 - ea.e11 * eb.e21) * dda / eab;
    }

    // The scalar kernel reports |d| < 1e-15; hypot(x, y) >= max(|x|, |y|), so every lane it
    // reports has both parts below the looser bound here.
    auto near = splat<V>(0.0) != splat<V>(0.0);
    C grd = RD(last), grd_top = grd;
    for (int i = a.nl - 2; i >= 1; --i) {
        const C d = one() - RU(i) * grd;
        near |= (abs_of(d.re) < 2.0E-15) & (abs_of(d.im) < 2.0E-15);
        const C gtd = TD(i) / d;
        grd = RD(i) + (TU(i) * grd) * gtd;
        if (i == a.top) grd_top = grd;
    }

    if (a.top == 1) {
        store(a, one() - RU(0) * grd);
    } else {
        C gru = RU(0);
        for (int i = 1; i <= a.top - 1; ++i) {
            const C d = one() - RD(i) * gru;
            const C gtu = TU(i) / d;
            gru = RU(i) + (TD(i) * gru) * gtu;
        }
        const C f = one() - gru * grd_top;
        store(a, f / relative(wn, wn2, a.ws2[a.top]));
    }
    unsigned bits = 0;
    for (int i = 0; i < W; ++i)
        if (near[i]) bits |= 1u << i;
    return bits;
}

// ---- P-SV ----

// Layer matrix ee[row][column] (0-based) and vertical wavenumbers, as mtxry for om != 0.
struct Psv {
    C cms, cmp;
    C ee[4][4];
};

inline Psv psv_layer(const LaneArgs& a, V wn, V wn2, int j) {
    Psv p;
    p.cms = wavenumber(wn2, a.ws2[j]);
    const C cmsg{p.cms.re / wn, p.cms.im / wn};
    p.cmp = wavenumber(wn2, a.wp2[j]);
    const C cmpg{p.cmp.re / wn, p.cmp.im / wn};
    const V x0 = (wn + wn) - a.ws2[j] / wn;
    const C smp = real_of<V>(a.sm2x[j]) * p.cmp;
    const C sms = real_of<V>(a.sm2x[j]) * p.cms;
    const V smx = a.sm[j] * x0;
    const C psmx{smx, splat<V>(0.0)}, msmx{-smx, splat<V>(0.0)};
    p.ee[0][0] = real_of<V>(-1.0);
    p.ee[0][1] = cmsg;
    p.ee[0][2] = real_of<V>(-1.0);
    p.ee[0][3] = cmsg;
    p.ee[1][0] = -cmpg;
    p.ee[1][1] = one();
    p.ee[1][2] = cmpg;
    p.ee[1][3] = real_of<V>(-1.0);
    p.ee[2][0] = smp;
    p.ee[2][1] = msmx;
    p.ee[2][2] = -smp;
    p.ee[2][3] = psmx;
    p.ee[3][0] = psmx;
    p.ee[3][1] = -sms;
    p.ee[3][2] = psmx;
    p.ee[3][3] = -sms;
    return p;
}

// ddury: P first.
inline M2 phase_block(const Psv& p, double thk) { return {phase(p.cmp, thk), zero(), zero(), phase(p.cms, thk)}; }

// dcinva on 1-based (r, c) through E(r, c).
struct Minors {
    C a1, a2, a3, b1, b2, b3, c1, c2, c3, d1, d2, d3;
};

inline void upper_minors(const C (&ee)[4][4], int p, int q, C& x1, C& x2, C& x3, C& y1, C& y2, C& y3) {
    auto E = [&](int r, int c) -> const C& { return ee[r - 1][c - 1]; };
    x1 = E(p, 4) * E(q, 1) - E(p, 1) * E(q, 4);
    x2 = E(p, 4) * E(q, 2) - E(p, 2) * E(q, 4);
    x3 = E(p, 4) * E(q, 3) - E(p, 3) * E(q, 4);
    y1 = E(p, 3) * E(q, 2) - E(p, 2) * E(q, 3);
    y2 = E(p, 1) * E(q, 3) - E(p, 3) * E(q, 1);
    y3 = E(p, 2) * E(q, 1) - E(p, 1) * E(q, 2);
}

inline void inverse_column(const C (&ee)[4][4], C (&e)[4][4], int i, const Minors& n) {
    auto E = [&](int r, int c) -> const C& { return ee[r - 1][c - 1]; };
    const int j = i % 4 + 1;
    const divisor<V> aa =
        divisor_of(n.a1 * n.c1 + n.a2 * n.c2 + n.a3 * n.c3 + n.b1 * n.d1 + n.b2 * n.d2 + n.b3 * n.d3);
    e[0][i - 1] = (-(E(j, 2) * n.d3) + E(j, 3) * n.d2 - E(j, 4) * n.c1) / aa;
    e[1][i - 1] = (E(j, 1) * n.d3 - E(j, 3) * n.d1 - E(j, 4) * n.c2) / aa;
    e[2][i - 1] = (-(E(j, 1) * n.d2) + E(j, 2) * n.d1 - E(j, 4) * n.c3) / aa;
    e[3][i - 1] = (E(j, 1) * n.c1 + E(j, 2) * n.c2 + E(j, 3) * n.c3) / aa;
}

inline void invert(const C (&ee)[4][4], C (&e)[4][4]) {
    Minors col[5];
    for (int i = 1; i <= 4; ++i) {
        Minors& n = col[i];
        if (i <= 2) {
            upper_minors(ee, i, i % 4 + 1, n.a1, n.a2, n.a3, n.b1, n.b2, n.b3);
            upper_minors(ee, i + 2, (i + 2) % 4 + 1, n.d1, n.d2, n.d3, n.c1, n.c2, n.c3);
        } else {
            const Minors& o = col[i - 2];
            n = {o.d1, o.d2, o.d3, o.c1, o.c2, o.c3, o.b1, o.b2, o.b3, o.a1, o.a2, o.a3};
        }
        inverse_column(ee, e, i, n);
    }
}

// mtrry at interface l; above the half-space only TD and RD, which are all that is read.
inline void interface(const Psv& ea, const Psv& eb, const M2& dda, const M2& dub, bool half_space, M2* r) {
    C e1[4][4], e2[4][4], inv[4][4];
    for (int q = 0; q < 4; ++q) {
        for (int c = 0; c < 2; ++c) {
            e1[q][c] = eb.ee[q][c];
            e2[q][c] = ea.ee[q][c];
        }
        for (int c = 2; c < 4; ++c) {
            e1[q][c] = -ea.ee[q][c];
            e2[q][c] = -eb.ee[q][c];
        }
    }
    invert(e1, inv);
    C e3[4][4];
    const int columns = half_space ? 2 : 4;
    for (int q = 0; q < 4; ++q) {
        for (int c = 0; c < columns; ++c) {
            C sum = zero();
            for (int k = 0; k < 4; ++k) sum = sum + inv[q][k] * e2[k][c];
            e3[q][c] = sum;
        }
    }
    auto block = [&](int q, int c) { return M2{e3[q][c], e3[q + 1][c], e3[q][c + 1], e3[q + 1][c + 1]}; };
    r[0] = block(0, 0) * dda;  // TD
    r[2] = block(2, 0) * dda;  // RD
    if (half_space) return;
    r[3] = block(0, 2) * dub;  // RU
    r[1] = block(2, 2) * dub;  // TU
}

void rayleigh(const LaneArgs& a) {
    const V wn = load(a.wn);
    const V wn2 = wn * wn;
    M2* rec = static_cast<M2*>(a.scratch);
    auto TD = [&](int i) -> M2& { return rec[4 * i]; };
    auto TU = [&](int i) -> M2& { return rec[4 * i + 1]; };
    auto RD = [&](int i) -> M2& { return rec[4 * i + 2]; };
    auto RU = [&](int i) -> M2& { return rec[4 * i + 3]; };

    const Psv top_layer = psv_layer(a, wn, wn2, 1);
    const M2 top_phase = phase_block(top_layer, a.thk[1]);
    {
        Psv ea = top_layer, eb;
        M2 dda = top_phase, dub{};
        for (int i = 1; i <= a.nl - 1; ++i) {
            const bool half_space = i + 1 == a.nl;
            eb = psv_layer(a, wn, wn2, i + 1);
            if (!half_space) dub = phase_block(eb, a.thk[i + 1]);
            interface(ea, eb, dda, dub, half_space, &rec[4 * i]);
            ea = eb;
            dda = dub;
        }
    }

    const int last = a.nl - 1;
    M2 grd = RD(last), grd_top = grd;
    for (int l = a.nl - 2; l >= 1; --l) {
        const M2 e2 = inverse(identity_minus_product(RU(l), grd));
        const M2 gtd = e2 * TD(l);
        grd = RD(l) + (TU(l) * grd) * gtd;
        if (l == a.top) grd_top = grd;
    }

    auto ER = [&](int r, int c) -> const C& { return top_layer.ee[r - 1][c - 1]; };
    if (a.top == 1) {
        const C ddp = top_phase.m11, dds = top_phase.m22;
        const M2& r = grd;
        const C aa11 = ER(3, 1) + ER(3, 3) * ddp * r.m11 + ER(3, 4) * dds * r.m21;
        const C aa21 = ER(4, 1) + ER(4, 3) * ddp * r.m11 + ER(4, 4) * dds * r.m21;
        const C aa12 = ER(3, 2) + ER(3, 3) * ddp * r.m12 + ER(3, 4) * dds * r.m22;
        const C aa22 = ER(4, 2) + ER(4, 3) * ddp * r.m12 + ER(4, 4) * dds * r.m22;
        store(a, (aa11 * aa22 - aa12 * aa21) / (top_layer.cms * top_layer.cmp * real_of<V>(a.sm2)));
        return;
    }
    const M2 td{ER(3, 1), ER(4, 1), ER(3, 2), ER(4, 2)};
    const M2 tu{ER(3, 3), ER(4, 3), ER(3, 4), ER(4, 4)};
    const M2 r = inverse(td) * tu * top_phase;
    M2 gru{-r.m11, -r.m21, -r.m12, -r.m22};
    for (int i = 1; i <= a.top - 1; ++i) {
        const M2 gtu = inverse(identity_minus_product(RD(i), gru)) * TU(i);
        gru = RU(i) + (TD(i) * gru) * gtu;
    }
    const C f = det(identity_minus_product(gru, grd_top));
    store(a, f / (relative(wn, wn2, a.ws2[a.top]) * relative(wn, wn2, a.wp2[a.top])));
}

}  // namespace
}  // namespace vemlari

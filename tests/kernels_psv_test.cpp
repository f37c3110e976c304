// P-SV kernels: the layer matrix against the elastic equations of motion, energy balance at
// an interface, the recursion's edge cases and the stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "kernels/kernels.h"
#include "records/run_stop.h"
#include "tests/kernels_support.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using namespace vemlari::testing;

using M4 = std::array<std::array<zc, 4>, 4>;

// d/dz (ux, -i uz, txz, -i tzz) = A (same) for fields ~ exp(i k x), z downwards.
M4 motion_stress_matrix(const Nstrc& s, int l, double om, double k) {
    const double mu = s.rho[l] * s.vs[l] * s.vs[l];
    const double l2m = s.rho[l] * s.vp[l] * s.vp[l];
    const double lam = l2m - 2 * mu;
    const double ro2 = s.rho[l] * om * om;
    M4 a{};
    a[0][1] = k;
    a[0][2] = 1 / mu;
    a[1][0] = -lam * k / l2m;
    a[1][3] = 1 / l2m;
    a[2][0] = k * k * 4 * mu * (lam + mu) / l2m - ro2;
    a[2][3] = k * lam / l2m;
    a[3][1] = -ro2;
    a[3][2] = -k;
    return a;
}

zc at(const Mat4& e, int r, int c) { return z(e(r + 1, c + 1)); }

TEST(KernelsPsv, LayerMatrixColumnsAreTheFourPlaneWaves) {
    const Nstrc s = lvl_model();
    const double om = 2 * pi * 1.1;
    const int l = 2;  // vs 1000, vp 2400
    for (double cv : {900.0, 1600.0, 3100.0}) {
        const double k = om / cv;
        cplx cms, cmp;
        Mat4 e;
        mtxry(om, k, l, s, cms, cmp, e);
        // Branch: evanescent waves decay (real positive), propagating ones are +i|nu|.
        if (cv < s.vs[l]) {
            EXPECT_GT(cms.re, 0.0);
            EXPECT_EQ(cms.im, 0.0);
        } else {
            EXPECT_EQ(cms.re, 0.0);
            EXPECT_GT(cms.im, 0.0);
        }
        if (cv < s.vp[l]) {
            EXPECT_GT(cmp.re, cms.re);
            EXPECT_EQ(cmp.im, 0.0);
        } else {
            EXPECT_GT(cmp.im, 0.0);
        }
        // Down-going waves vary as exp(-nu z), up-going ones as exp(+nu z).
        const M4 a = motion_stress_matrix(s, l, om, k);
        const zc lambda[4] = {-z(cmp), -z(cms), z(cmp), z(cms)};
        for (int col = 0; col < 4; ++col) {
            for (int r = 0; r < 4; ++r) {
                zc lhs = 0;
                double scale = std::abs(lambda[col] * at(e, r, col));
                for (int q = 0; q < 4; ++q) {
                    lhs += a[r][q] * at(e, q, col);
                    scale += std::abs(a[r][q] * at(e, q, col));
                }
                EXPECT_LE(std::abs(lhs - lambda[col] * at(e, r, col)), 1e-13 * scale)
                    << "c " << cv << " row " << r + 1 << " col " << col + 1;
            }
        }
        // Phase factors: P first although the arguments come S first.
        Mat2 du;
        ddury(s.thk[l], cms, cmp, du);
        EXPECT_NEAR(std::abs(z(du.m11) - std::exp(-z(cmp) * s.thk[l])), 0.0, 1e-15);
        EXPECT_NEAR(std::abs(z(du.m22) - std::exp(-z(cms) * s.thk[l])), 0.0, 1e-15);
        EXPECT_EQ(cabs(du.m12) + cabs(du.m21), 0.0);
    }
}

TEST(KernelsPsv, StaticLayerMatrixLeavesTheWavenumbersAlone) {
    const Nstrc s = lvl_model();
    cplx cms{3.0, 4.0}, cmp{5.0, 6.0};
    Mat4 e;
    mtxry(0.0, 0.002, 3, s, cms, cmp, e);
    EXPECT_EQ(cms.re, 3.0);
    EXPECT_EQ(cms.im, 4.0);
    EXPECT_EQ(cmp.re, 5.0);
    EXPECT_EQ(cmp.im, 6.0);
    for (int r = 1; r <= 4; ++r)
        for (int col = 1; col <= 4; ++col) {
            EXPECT_TRUE(std::isfinite(e(r, col).re));
            EXPECT_EQ(e(r, col).im, 0.0);
        }
}

// Vertical energy flux of a displacement-traction vector, up to a common factor.
zc flux_form(const Mat4& e, int j, int l) {
    zc ut = 0, tu = 0;
    for (int r = 0; r < 2; ++r) {
        ut += std::conj(at(e, r, j)) * at(e, r + 2, l);
        tu += std::conj(at(e, r + 2, j)) * at(e, r, l);
    }
    return (ut - tu) / zc(0, 2);
}

TEST(KernelsPsv, InterfaceScatteringConservesEnergyFlux) {
    // Zero thicknesses: every phase factor is 1, the blocks are the bare interface matrices.
    const Nstrc s = model({{2000, 2400, 1200, 0}, {2500, 4000, 2200, 0}, {2800, 6000, 3400, 0}});
    const double om = 2 * pi * 0.8;
    for (double cv : {4300.0, 7000.0, 20000.0}) {
        const double k = om / cv;
        Mat4 ea, eb;
        cplx cms, cmp;
        mtxry(om, k, 1, s, cms, cmp, ea);
        mtxry(om, k, 2, s, cms, cmp, eb);
        double wa[4], wb[4];
        for (int j = 0; j < 4; ++j) {
            for (int l = 0; l < 4; ++l) {
                if (l == j) continue;
                // Distinct propagating waves carry independent fluxes.
                EXPECT_LE(std::abs(flux_form(ea, j, l)), 1e-12 * std::abs(flux_form(ea, j, j)));
                EXPECT_LE(std::abs(flux_form(eb, j, l)), 1e-12 * std::abs(flux_form(eb, j, j)));
            }
            wa[j] = flux_form(ea, j, j).real();
            wb[j] = flux_form(eb, j, j).real();
        }
        // Down-going and up-going waves carry energy in opposite directions.
        EXPECT_GT(wa[0] * wa[1], 0.0);
        EXPECT_LT(wa[0] * wa[2], 0.0);
        EXPECT_GT(wa[2] * wa[3], 0.0);

        Mrtry m;
        mdrtry(om, k, s, m);
        const Mat2 blk[2][2] = {{m.TD[1], m.RU[1]}, {m.RD[1], m.TU[1]}};
        auto sij = [&](int i, int j) {
            const Mat2& b = blk[i / 2][j / 2];
            const cplx v[2][2] = {{b.m11, b.m12}, {b.m21, b.m22}};
            return z(v[i % 2][j % 2]);
        };
        // Incident: down-going in the upper layer, up-going in the lower; outgoing the reverse.
        const double win[4] = {wa[0], wa[1], wb[2], wb[3]};
        const double wout[4] = {wb[0], wb[1], wa[2], wa[3]};
        for (int p = 0; p < 4; ++p)
            for (int q = 0; q < 4; ++q) {
                zc g = 0;
                for (int i = 0; i < 4; ++i)
                    g += std::conj(sij(i, p)) * sij(i, q) * std::abs(wout[i]) / std::sqrt(std::abs(win[p] * win[q]));
                EXPECT_NEAR(std::abs(g - zc(p == q ? 1.0 : 0.0)), 0.0, 1e-12) << "c " << cv << " " << p << q;
            }
    }
}

double max_abs(const Mat2& a) { return std::max({cabs(a.m11), cabs(a.m21), cabs(a.m12), cabs(a.m22)}); }

Mat2 minus(const Mat2& a, const Mat2& b) { return {a.m11 - b.m11, a.m21 - b.m21, a.m12 - b.m12, a.m22 - b.m22}; }

TEST(KernelsPsv, IdenticalLayersAreTransparent) {
    const Nstrc s = model({{2200, 3000, 1500, 300}, {2200, 3000, 1500, 700}, {2600, 5200, 3000, 0}});
    const double om = 2 * pi * 1.7;
    for (double cv : {1300.0, 2000.0, 4000.0}) {
        const double k = om / cv;
        Mrtry m;
        mdrtry(om, k, s, m);
        cplx cms, cmp;
        Mat4 e;
        Mat2 d1, d2;
        mtxry(om, k, 1, s, cms, cmp, e);
        ddury(s.thk[1], cms, cmp, d1);
        mtxry(om, k, 2, s, cms, cmp, e);
        ddury(s.thk[2], cms, cmp, d2);
        EXPECT_LE(max_abs(m.RD[1]), 1e-14);
        EXPECT_LE(max_abs(m.RU[1]), 1e-14);
        EXPECT_LE(max_abs(minus(m.TD[1], d1)), 1e-14);
        EXPECT_LE(max_abs(minus(m.TU[1], d2)), 1e-14);
        // The real interface below does reflect.
        EXPECT_GT(max_abs(m.RD[2]), 1e-3);
    }
}

TEST(KernelsPsv, RecursionEdgeCases) {
    const double om = 2 * pi, k = om / 1700.0;
    // One layer: GTD, GRD are the interface blocks themselves.
    {
        const Nstrc s = model({{2000, 1732.0508, 1000, 500}, {2500, 3464.1016, 2000, 0}});
        Mrtry m;
        Grtry g;
        gnrtry(om, k, s, m, g);
        EXPECT_EQ(std::memcmp(&g.GTD[1], &m.TD[1], sizeof(Mat2)), 0);
        EXPECT_EQ(std::memcmp(&g.GRD[1], &m.RD[1], sizeof(Mat2)), 0);
        EXPECT_EQ(max_abs(g.GRD[2]), 0.0);
    }
    // A lone half-space: nothing is touched.
    {
        const Nstrc s = model({{2500, 3464.1016, 2000, 0}});
        Mrtry m;
        Grtry g;
        m.fit(1);
        g.fit(1);
        m.TD[1].m11 = g.GRD[1].m22 = cplx{9.0, 9.0};
        gnrtry(om, k, s, m, g);
        EXPECT_EQ(m.TD[1].m11.re, 9.0);
        EXPECT_EQ(g.GRD[1].m22.im, 9.0);
    }
    // Layers equal to the half-space: no reflection anywhere.
    {
        const LayerRow hs{2500, 3464.1016, 2000, 400};
        const Nstrc s = model({hs, hs, hs, {2500, 3464.1016, 2000, 0}});
        Mrtry m;
        Grtry g;
        gnrtry(om, k, s, m, g);
        for (int l = 1; l <= 3; ++l) {
            EXPECT_LE(max_abs(g.GRD[l]), 1e-14);
            EXPECT_LE(max_abs(minus(g.GTD[l], m.TD[l])), 1e-14);
        }
    }
}

}  // namespace
}  // namespace vemlari

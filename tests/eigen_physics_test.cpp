// Eigenvector stage against independent results: group velocities from finite differences of
// the dispersion curve, the half-space Rayleigh wave, free-surface conditions, continuity at
// interfaces and energy integrals by quadrature of the rebuilt wave field.
#include <gtest/gtest.h>

#include "eigen/love_amplitudes.h"
#include "eigen/love_mode.h"
#include "eigen/rayleigh_amplitudes.h"
#include "eigen/rayleigh_mode.h"
#include "model/frhf.h"
#include "tests/eigen_support.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using namespace vemlari::testing;

// U = c / (1 - (om / c) dc/dom), dc/dom by central differences of the roots.
template <class Near>
double fd_group_velocity(Near near, double om, double c) {
    const double eps = 1e-4;
    const double cp = near(om * (1 + eps), c), cm = near(om * (1 - eps), c);
    const double dcdw = (cp - cm) / (2 * eps * om);
    return c / (1 - om / c * dcdw);
}

TEST(EigenPhysics, GroupVelocitiesMatchFiniteDifferencesOfTheDispersionCurve) {
    for (const Nstrc& s : {love_pair(), lvl_model()}) {
        const double om = 2 * pi * 2.0;
        const double vsmax = s.vs[s.nl];
        const std::vector<double> cl = love_roots(s, om, s.vs[1] * 0.6 + 1.0, vsmax - 0.5);
        const std::vector<double> cr = rayleigh_roots(s, om, 700.0, vsmax - 0.5);
        ASSERT_GE(cl.size(), 3u);
        ASSERT_GE(cr.size(), 3u);
        StageRun sr(s, "eigen-grp");
        sr.run->freq = {om, 1, 1};
        put_love(*sr.run, 1, cl);
        put_rayleigh(*sr.run, 1, cr);
        enguu(700, *sr.run);
        for (std::size_t m = 0; m < cl.size(); ++m) {
            const double u = fd_group_velocity([&](double w, double c) { return love_root_near(s, w, c); }, om, cl[m]);
            EXPECT_NEAR(sr.run->uegl.ugl(1, int(m)) / u, 1.0, 1e-4) << "Love " << s.nl << " " << m;
            EXPECT_GT(sr.run->uegl.e1l(1, int(m)), 0.0);
        }
        for (std::size_t m = 0; m < cr.size(); ++m) {
            const double u =
                fd_group_velocity([&](double w, double c) { return rayleigh_root_near(s, w, c); }, om, cr[m]);
            EXPECT_NEAR(sr.run->uegr.ugr(1, int(m)) / u, 1.0, 1e-4) << "Rayleigh " << s.nl << " " << m;
        }
    }
}

double rayleigh_equation(double cv, double vp, double vs) {
    const double b2 = cv * cv / (vs * vs), a2 = cv * cv / (vp * vp);
    return (2 - b2) * (2 - b2) - 4 * std::sqrt(1 - a2) * std::sqrt(1 - b2);
}

TEST(EigenPhysics, HalfSpaceRayleighWaveIsNonDispersiveWithTheClosedFormEllipticity) {
    for (double ratio : {1.7320508, 2.0, 3.0}) {
        const double vs = 1000, vp = vs * ratio;
        const Nstrc s = model({{2000, vp, vs, 0}});
        const double c = bisect([&](double cv) { return rayleigh_equation(cv, vp, vs); }, 0.5 * vs, 0.9999 * vs);
        EXPECT_NEAR(frhf(vp, vs) / c, 1.0, 1e-6);
        StageRun sr(s, "eigen-hs");
        sr.run->freq = {2 * pi * 3.0, 1, 1};
        sr.run->ccmd.mdl[1] = 0;  // the dispersion table's one Love entry of a half-space, velocity 0
        put_rayleigh(*sr.run, 1, {c});
        enguu(700, *sr.run);
        EXPECT_NEAR(sr.run->uegr.ugr(1, 0) / c, 1.0, 1e-9) << ratio;
        // Potentials A exp(-a z), B exp(-b z): free shear traction and H/V = |u_x / u_z| at z = 0.
        const double k = 1.0, a = k * std::sqrt(1 - c * c / (vp * vp)), b = k * std::sqrt(1 - c * c / (vs * vs));
        const double hv = k * (k * k + b * b - 2 * a * b) / (a * (k * k - b * b));
        EXPECT_NEAR(sr.run->uegr.hvr(1, 0), std::fabs(hv), 1e-9) << ratio;
        EXPECT_EQ(sr.run->uegl.ugl(1, 0), 0.0);
        EXPECT_EQ(sr.run->uegl.e1l(1, 0), 0.0);
    }
}

// Simpson's rule on [a, b] with n (even) intervals.
template <class F>
auto simpson(F f, double a, double b, int n) {
    const double h = (b - a) / n;
    auto sum = f(a) + f(b);
    for (int i = 1; i < n; ++i) sum = sum + (i % 2 ? 4.0 : 2.0) * f(a + i * h);
    return sum * (h / 3.0);
}

std::complex<double> z_sq(cplx d) { return z(d) * z(d); }

struct Fixture {
    Nstrc s = lvl_model();
    double om = 2 * pi * 2.0;
    std::vector<double> cl = love_roots(s, om, 601.0, 2999.5);
    std::vector<double> cr = rayleigh_roots(s, om, 700.0, 2999.5);
};

TEST(EigenPhysics, LoveModesSatisfyTheFreeSurfaceContinuityAndQuadratureOfI1) {
    Fixture f;
    const Nstrc& s = f.s;
    ASSERT_GE(f.cl.size(), 3u);
    LoveCoefficients w;
    // Built from the free surface or from the top of the slow layer, the field is the same mode.
    for (int anchor : {1, 2})
        for (std::size_t m = 0; m < f.cl.size(); ++m) {
            const double c = f.cl[m], wn = f.om / c;
            love_coefficients(f.om, wn, anchor, s, w);
            // Points every 250 m: each interface falls on a grid point.
            const DepthGrid grid{250.0, 5000.0, 21};
            std::vector<double> vl1(21), vl2(21);
            love_eigenfunctions(f.om, wn, s, w, grid, vl1.data(), vl2.data());
            EXPECT_NEAR(vl1[0], 1.0, 1e-9) << m;
            EXPECT_NEAR(vl2[0] / (s.rho[1] * s.vs[1] * s.vs[1] * wn), 0.0, 1e-9) << m;

            // Across every interface the layer above and the layer below give the same field; the
            // grid point on the interface holds the upper layer's value.
            LoveAmplitudes a(f.om, wn, s, w.grtlv, w.top, w.grulv);
            a.start();
            double top = 0.0;
            std::complex<double> e1{};
            for (int j = 1; j <= s.nl; ++j) {
                if (j > 1) {
                    cplx v_up, t_up, v_dn, t_dn;
                    a.field(top, top - s.thk[j - 1], top, v_up, t_up);
                    a.enter_layer(j);
                    a.field(top, top, top + s.thk[j], v_dn, t_dn);
                    EXPECT_NEAR(v_dn.re, v_up.re, 1e-9);
                    EXPECT_NEAR(t_dn.re / (a.mu * wn), t_up.re / (a.mu * wn), 1e-9);
                    EXPECT_EQ(vl1[std::size_t(top / 250.0)], v_up.re);
                }
                const bool hs = a.in_half_space();
                const double bot = hs ? top + 40.0 / a.nu.re : top + s.thk[j];
                const double u = top;
                const auto v2 = [&](double z) {
                    cplx d, t;
                    a.field(z, u, bot, d, t);
                    if (hs) {
                        const cplx r = -(cplx{a.mu, 0} * a.nu) * d;
                        EXPECT_NEAR(t.re, r.re, 1e-12 * a.mu * a.nu.re);
                    }
                    return z_sq(d);
                };
                e1 += s.rho[j] * simpson(v2, top, bot, 4000);
                top = bot;
            }
            EXPECT_NEAR(love_energy(f.om, wn, c, s, w).e1 / (0.5 * e1.real()), 1.0, 1e-8) << m;
            EXPECT_LT(std::fabs(e1.imag()), 1e-8 * e1.real());
        }
}

TEST(EigenPhysics, RayleighModesSatisfyTheFreeSurfaceContinuityAndQuadratureOfI1) {
    Fixture f;
    const Nstrc& s = f.s;
    ASSERT_GE(f.cr.size(), 3u);
    RayleighCoefficients w;
    const double mu1 = s.rho[1] * s.vs[1] * s.vs[1];
    for (int anchor : {1, 2})
        for (std::size_t m = 0; m < f.cr.size(); ++m) {
            const double c = f.cr[m], wn = f.om / c;
            rayleigh_coefficients(f.om, wn, anchor, s, w);
            const DepthGrid grid{250.0, 5000.0, 21};
            std::vector<double> vr[4];
            for (auto& col : vr) col.resize(21);
            double* const out[4] = {vr[0].data(), vr[1].data(), vr[2].data(), vr[3].data()};
            rayleigh_eigenfunctions(f.om, wn, s, w, grid, out);
            EXPECT_NEAR(vr[1][0], 1.0, 1e-12) << m;
            EXPECT_NEAR(vr[2][0] / (mu1 * wn), 0.0, 1e-12) << m;
            EXPECT_NEAR(vr[3][0] / (mu1 * wn), 0.0, 1e-7) << m;

            RayleighAmplitudes a(f.om, wn, s, w.grtry, w.top, w.grury);
            a.start();
            double top = 0.0;
            std::complex<double> e1{};
            for (int j = 1; j <= s.nl; ++j) {
                if (j > 1) {
                    cplx up[4], dn[4];
                    a.field(top, top - s.thk[j - 1], top, up);
                    a.enter_layer(j);
                    a.field(top, top, top + s.thk[j], dn);
                    for (int k = 0; k < 4; ++k) {
                        const double scale = k < 2 ? 1.0 : mu1 * wn;
                        EXPECT_NEAR(dn[k].re / scale, up[k].re / scale, 1e-9) << m << " " << j << " " << k;
                    }
                    EXPECT_EQ(vr[0][std::size_t(top / 250.0)], up[0].re);
                    EXPECT_EQ(vr[3][std::size_t(top / 250.0)], up[3].re);
                }
                const bool hs = a.in_half_space();
                const double decay = std::fmin(a.cmp.re, a.cms.re);
                const double bot = hs ? top + 40.0 / decay : top + s.thk[j];
                const double u = top;
                const auto r2 = [&](double z) {
                    cplx r[4];
                    a.field(z, u, bot, r);
                    return z_sq(r[0]) + z_sq(r[1]);
                };
                e1 += s.rho[j] * simpson(r2, top, bot, 4000);
                top = bot;
            }
            EXPECT_NEAR(rayleigh_energy(f.om, wn, c, s, w).e1 / (0.5 * e1.real()), 1.0, 1e-8) << m;
            EXPECT_LT(std::fabs(e1.imag()), 1e-8 * e1.real());
        }
}

}  // namespace
}  // namespace vemlari

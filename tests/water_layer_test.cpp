// Water on top: Rayleigh modes of a fluid-solid stack against a propagator written here (a
// 2 x 2 fluid propagator on a 4 x 4 solid one, roots by bisection in long double), the
// Scholte wave of a fluid half-space over a solid one, the clamped count of a fluid slab,
// and the invariance under splitting the water.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "kernels/mode_count.h"
#include "model/nstrc.h"
#include "vemlari/sensitivity.h"
#include "vemlari/vemlari.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using Ld = long double;

// cosh(sqrt(l) s) and sinh(sqrt(l) s) / sqrt(l), entire in l.
Ld ch(Ld l, Ld s) { return l >= 0 ? std::cosh(std::sqrt(l) * s) : std::cos(std::sqrt(-l) * s); }
Ld sh(Ld l, Ld s) {
    if (l == 0) return s;
    return l > 0 ? std::sinh(std::sqrt(l) * s) / std::sqrt(l) : std::sin(std::sqrt(-l) * s) / std::sqrt(-l);
}

Ld det4(Ld m[4][4]) {
    Ld a[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) a[i][j] = m[i][j];
    Ld d = 1;
    for (int k = 0; k < 4; ++k) {
        int p = k;
        for (int i = k + 1; i < 4; ++i)
            if (std::fabs(a[i][k]) > std::fabs(a[p][k])) p = i;
        if (a[p][k] == 0) return 0;
        if (p != k) {
            for (int j = 0; j < 4; ++j) std::swap(a[p][j], a[k][j]);
            d = -d;
        }
        d *= a[k][k];
        for (int i = k + 1; i < 4; ++i) {
            const Ld f = a[i][k] / a[k][k];
            for (int j = k; j < 4; ++j) a[i][j] -= f * a[k][j];
        }
    }
    return d;
}

// The Rayleigh secular determinant at (om, wn) in (u_x, u_z / i, tau_xz, tau_zz / i) with
// displacements in units of 1/wn: the water column from a pressure-free surface, then the
// solid layers by propagators, matched at the half-space's top to its two decaying waves.
// Continuous in c below the half-space's S velocity (no poles). The sublayers are those of
// wavenumber `at` (0: wn), so that the function is smooth in om and wn about it.
Ld secular(const std::vector<Layer>& m, Ld om, Ld wn, Ld at = 0) {
    if (at == 0) at = wn;
    const Ld c2 = (om / wn) * (om / wn);
    // Water: (W, Tz) with W = -f', Tz = w f, f'' = lambda f; Tz = 0 at the surface.
    Ld W = 1, Tz = 0;
    std::size_t l = 0;
    for (; l + 1 < m.size() && m[l].vs == 0.0; ++l) {
        const Ld lam = 1 - c2 / (Ld(m[l].vp) * m[l].vp), w = Ld(m[l].density) * c2, h = wn * m[l].thickness;
        const Ld C = ch(lam, h), S = sh(lam, h);
        const Ld W1 = C * W - lam * S / w * Tz, T1 = -w * S * W + C * Tz;
        W = W1;
        Tz = T1;
    }
    // The solid's free u_x at its top (or at the free surface) and the water's (W, Tz).
    Ld v[2][4] = {{1, 0, 0, 0}, {0, W, 0, Tz}};
    if (l == 0) v[1][3] = 0;
    if (l == 0) v[1][1] = 1;
    for (; l + 1 < m.size(); ++l) {
        const Ld mu = Ld(m[l].density) * m[l].vs * m[l].vs, g = 2 * mu - Ld(m[l].density) * c2;
        const Ld lp = 1 - c2 / (Ld(m[l].vp) * m[l].vp), ls = 1 - c2 / (Ld(m[l].vs) * m[l].vs);
        const Ld h = wn * m[l].thickness;
        // Partial solutions f = C_p, S_p (P) and g = C_s, S_s (S): (f, -f', 2 mu f', -g f) and
        // (-g', g, -g g, 2 mu g').
        auto basis = [&](Ld s, Ld b[4][4]) {
            const Ld cp = ch(lp, s), sp = sh(lp, s), cs = ch(ls, s), ss = sh(ls, s);
            const Ld cols[4][4] = {{cp, -lp * sp, 2 * mu * lp * sp, -g * cp},
                                   {sp, -cp, 2 * mu * cp, -g * sp},
                                   {-ls * ss, cs, -g * cs, 2 * mu * ls * ss},
                                   {-cs, ss, -g * ss, 2 * mu * cs}};
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) b[i][j] = cols[j][i];
        };
        // Sublayers of phase at most 1, the two solutions orthonormalized after each (which
        // keeps the sign of the determinant and the subspace they span).
        const int parts =
            1 + static_cast<int>(at * m[l].thickness * std::sqrt(std::fmax(std::fabs(lp), std::fabs(ls))));
        Ld b0[4][4], bh[4][4], inv[4][4], pm[4][4];
        basis(0, b0);
        basis(h / parts, bh);
        const Ld d = det4(b0);
        for (int j = 0; j < 4; ++j)
            for (int r = 0; r < 4; ++r) {
                Ld t[4][4];
                for (int i = 0; i < 4; ++i)
                    for (int k = 0; k < 4; ++k) t[i][k] = k == j ? (i == r ? 1 : 0) : b0[i][k];
                inv[j][r] = det4(t) / d;
            }
        for (int i = 0; i < 4; ++i)
            for (int r = 0; r < 4; ++r) {
                pm[i][r] = 0;
                for (int j = 0; j < 4; ++j) pm[i][r] += bh[i][j] * inv[j][r];
            }
        for (int part = 0; part < parts; ++part) {
            for (auto& x : v) {
                Ld y[4];
                for (int i = 0; i < 4; ++i)
                    y[i] = pm[i][0] * x[0] + pm[i][1] * x[1] + pm[i][2] * x[2] + pm[i][3] * x[3];
                for (int i = 0; i < 4; ++i) x[i] = y[i];
            }
            Ld n0 = 0;
            for (Ld x : v[0]) n0 += x * x;
            n0 = std::sqrt(n0);
            for (Ld& x : v[0]) x /= n0;
            Ld dot = 0;
            for (int i = 0; i < 4; ++i) dot += v[0][i] * v[1][i];
            for (int i = 0; i < 4; ++i) v[1][i] -= dot * v[0][i];
            Ld n1 = 0;
            for (Ld x : v[1]) n1 += x * x;
            n1 = std::sqrt(n1);
            for (Ld& x : v[1]) x /= n1;
        }
    }
    const Layer& hs = m.back();
    const Ld mu = Ld(hs.density) * hs.vs * hs.vs, g = 2 * mu - Ld(hs.density) * c2;
    const Ld p = std::sqrt(1 - c2 / (Ld(hs.vp) * hs.vp)), q = std::sqrt(1 - c2 / (Ld(hs.vs) * hs.vs));
    Ld M[4][4] = {{v[0][0], v[1][0], 1, q},
                  {v[0][1], v[1][1], p, 1},
                  {v[0][2], v[1][2], -2 * mu * p, -g},
                  {v[0][3], v[1][3], -g, -2 * mu * q}};
    return det4(M);
}

Ld bisect(const std::vector<Layer>& m, Ld om, Ld lo, Ld hi) {
    const bool neg = secular(m, om, om / lo) < 0;
    for (int n = 0; n < 200; ++n) {
        const Ld c = 0.5L * (lo + hi);
        if (c <= lo || c >= hi) break;
        ((secular(m, om, om / c) < 0) == neg ? lo : hi) = c;
    }
    return 0.5L * (lo + hi);
}

// Every root of the determinant in (lo, hi): sign changes on a fine grid, bisected.
std::vector<double> reference_modes(const std::vector<Layer>& m, double hz, double lo, double hi, int points) {
    const Ld om = 2 * std::numbers::pi_v<long double> * hz;
    std::vector<double> roots;
    Ld a = lo, fa = secular(m, om, om / a);
    for (int i = 1; i <= points; ++i) {
        const Ld b = lo + (Ld(hi) - lo) * i / points, fb = secular(m, om, om / b);
        if ((fa < 0) != (fb < 0)) roots.push_back(static_cast<double>(bisect(m, om, a, b)));
        a = b;
        fa = fb;
    }
    return roots;
}

// Group velocity d om / d wn by Richardson-extrapolated central differences of the roots
// near c at om (1 +- d) (the determinant itself is far too steep about a root for
// differences).
double reference_group(const std::vector<Layer>& m, double hz, double c) {
    const Ld om = 2 * std::numbers::pi_v<long double> * hz;
    auto slope = [&](Ld d) {
        Ld k[2];
        for (int side = 0; side < 2; ++side) {
            const Ld o = om * (1 + (side == 0 ? d : -d));
            k[side] = o / bisect(m, o, c * (1 - 20 * d), c * (1 + 20 * d));
        }
        return 2 * om * d / (k[0] - k[1]);
    };
    const Ld d1 = slope(4e-5L), d2 = slope(2e-5L), d3 = slope(1e-5L);
    const Ld r1 = (4 * d2 - d1) / 3, r2 = (4 * d3 - d2) / 3;
    return static_cast<double>((16 * r2 - r1) / 15);
}

// A sea floor: 2 km of water over sediments, a crust and a mantle half-space (kg/m^3).
std::vector<Layer> sea_floor() {
    return {{2000.0, 1500.0, 0.0, 1030.0},
            {500.0, 1800.0, 500.0, 1800.0},
            {5000.0, 5500.0, 3200.0, 2700.0},
            {0.0, 8000.0, 4600.0, 3300.0}};
}

// The water splitting in two changes nothing.
std::vector<Layer> sea_floor_split() {
    std::vector<Layer> m = sea_floor();
    m[0].thickness = 700.0;
    m.insert(m.begin() + 1, Layer{1300.0, 1500.0, 0.0, 1030.0});
    return m;
}

// A shallow lake: 20 m of water over a soft bottom on rock, mode branches crossing the water's
// sound speed.
std::vector<Layer> lake() {
    return {{20.0, 1480.0, 0.0, 1000.0}, {30.0, 1700.0, 250.0, 1900.0}, {0.0, 4000.0, 2200.0, 2500.0}};
}

// Phase and group velocities of every Rayleigh mode against the propagator; the worst
// relative differences go to the log (phase velocities some 1e-14, group velocities some
// 1e-12, the lake's near 25 Hz among them, where two branches nearly meet).
TEST(WaterLayer, RayleighModesMatchAPropagator) {
    double worst_c = 0.0, worst_u = 0.0;
    for (const auto& [layers, hz, points] : {std::tuple{sea_floor(), 0.3, 4000}, std::tuple{sea_floor(), 2.0, 20000},
                                             std::tuple{lake(), 25.0, 20000}, std::tuple{lake(), 3.0, 4000}}) {
        const Model model(layers);
        SearchOptions o;
        o.love = false;
        const Modes m = find_modes(model, Frequencies::hertz({hz}), o);
        const Properties p = mode_properties(model, m);
        const std::vector<double>& c = m.rayleigh.phase_velocity[0];
        const std::vector<double> ref = reference_modes(layers, hz, 0.5 * c.front(), layers.back().vs, points);
        ASSERT_EQ(c.size(), ref.size()) << hz;
        for (std::size_t i = 0; i < c.size(); ++i) {
            EXPECT_NEAR(c[i], ref[i], 1e-10 * ref[i]) << hz << " mode " << i;
            const double u = reference_group(layers, hz, ref[i]), got = p.rayleigh.modes[0][i].group_velocity;
            EXPECT_NEAR(got, u, 1e-10 * u) << hz << " mode " << i;
            worst_c = std::fmax(worst_c, std::fabs(c[i] / ref[i] - 1.0));
            worst_u = std::fmax(worst_u, std::fabs(got / u - 1.0));
        }
    }
    RecordProperty("worst_phase_velocity", std::to_string(worst_c));
    RecordProperty("worst_group_velocity", std::to_string(worst_u));
    std::printf("worst relative difference: phase velocity %.3g, group velocity %.3g\n", worst_c, worst_u);
}

// Splitting the water in two changes no mode, no property and no summed kernel.
TEST(WaterLayer, SplitWaterChangesNothing) {
    const Model whole(sea_floor()), split(sea_floor_split());
    const Frequencies f = Frequencies::hertz({0.5, 1.5});
    const Sensitivities a = sensitivities(whole, f), b = sensitivities(split, f);
    for (Wave wave : {Wave::love, Wave::rayleigh})
        for (std::size_t k = 0; k < 2; ++k) {
            const std::vector<double>&ca = a.modes[wave].phase_velocity[k], &cb = b.modes[wave].phase_velocity[k];
            ASSERT_EQ(ca.size(), cb.size());
            for (std::size_t i = 0; i < ca.size(); ++i) {
                EXPECT_NEAR(ca[i], cb[i], 1e-12 * ca[i]);
                const ModeProperties &pa = a.properties[wave].modes[k][i], &pb = b.properties[wave].modes[k][i];
                EXPECT_NEAR(pa.group_velocity, pb.group_velocity, 1e-9 * pa.group_velocity);
                EXPECT_NEAR(pa.energy_integral, pb.energy_integral, 1e-7 * pa.energy_integral);
                const ModeKernels &ka = a.kernels[wave].modes[k][i], &kb = b.kernels[wave].modes[k][i];
                const double scale = 1e-6 * std::fabs(ka.dc_dvp[0]) + 1e-12;
                EXPECT_NEAR(ka.dc_dvp[0], kb.dc_dvp[0] + kb.dc_dvp[1], scale);
                EXPECT_NEAR(ka.dc_drho[0], kb.dc_drho[0] + kb.dc_drho[1], 1e-6 * std::fabs(ka.dc_drho[0]) + 1e-12);
                EXPECT_NEAR(ka.dc_dvs[2], kb.dc_dvs[3], 1e-6 * std::fabs(ka.dc_dvs[2]) + 1e-12);
            }
        }
}

// At high frequency the fundamental mode is the Scholte wave of a water half-space on the
// sea floor's solid: 4 p q - (2 - x)^2 = (rho_w / rho) x^2 p / p_w, x = (c / vs)^2, p, q, p_w
// the vertical slownesses over the horizontal one of the solid's P and S and the water's P.
TEST(WaterLayer, FundamentalTendsToTheScholteWave) {
    const double vp = 1800.0, vs = 400.0, rho = 1800.0, vw = 1500.0, rw = 1000.0;
    const auto f = [&](Ld x) {
        const Ld p = std::sqrt(1 - x * vs * vs / (vp * vp)), q = std::sqrt(1 - x),
                 pw = std::sqrt(1 - x * vs * vs / (vw * vw));
        return 4 * p * q - (2 - x) * (2 - x) - (rw / rho) * x * x * p / pw;
    };
    Ld lo = 0.5, hi = 1.0;
    for (int n = 0; n < 100; ++n) ((f(0.5L * (lo + hi)) < 0) == (f(lo) < 0) ? lo : hi) = 0.5L * (lo + hi);
    const double scholte = vs * static_cast<double>(std::sqrt(0.5L * (lo + hi)));
    const Model model({{100.0, vw, 0.0, rw}, {0.0, vp, vs, rho}});
    SearchOptions o;
    o.love = false;
    o.highest_mode = 0;
    // Wavelengths of 100 / 5.6 m: the wave decays by e^-34 through the water to its surface.
    const Modes m = find_modes(model, Frequencies::hertz({20.0}), o);
    EXPECT_NEAR(m.rayleigh.phase_velocity[0][0], scholte, 1e-12 * scholte);
    EXPECT_LT(scholte, 0.9 * vs);
    // Without dispersion there: the group velocity is the phase velocity, the wave grows
    // from the water's surface to the sea floor, and it can be followed in frequency.
    const Sensitivities k = sensitivities(model, Frequencies::hertz({20.0}), o);
    EXPECT_NEAR(k.properties.rayleigh.modes[0][0].group_velocity, scholte, 1e-10 * scholte);
    EXPECT_TRUE(k.kernels.rayleigh.modes[0][0].du_defined);
    const std::vector<double> z{0.0, 50.0, 100.0};
    const Eigenfunctions e = eigenfunctions(model, k.modes, Wave::rayleigh, 0, 0, z);
    EXPECT_GT(e.vertical[2], 1e14);
    EXPECT_NEAR(std::log(e.vertical[2] / e.vertical[1]), std::log(e.vertical[1]) + std::log(2.0), 1e-6);
}

// A water slab with both faces clamped (u_z = 0) has its eigenfrequencies at om^2 =
// vp^2 (wn^2 + (n pi / h)^2), n >= 0: the layer's clamped count; with a free surface over a
// rigid floor at om^2 = vp^2 (wn^2 + ((n + 1/2) pi / h)^2): the whole count.
TEST(WaterLayer, CountsOfAWaterSlab) {
    const double h = 100.0, vp = 1500.0;
    Nstrc s;
    s.add(1000.0, vp, 0.0, h);
    s.add(1e8, 1e6, 5e5, 0.0);  // all but rigid
    CountWork w(s);
    for (double hz : {0.5, 3.0, 7.4, 15.0, 40.0})
        for (double c : {1400.0, 1499.0, 1500.0, 1501.0, 1600.0, 2500.0, 9000.0, 40000.0}) {
            const double om = 2.0 * std::numbers::pi * hz, wn = om / c;
            const int n = rayleigh_count(om, wn, s, w);
            int clamped = 0, free = 0;
            for (int j = 0; j < 1000; ++j) {
                const double kz = j * std::numbers::pi / h, kf = (j + 0.5) * std::numbers::pi / h;
                clamped += vp * vp * (wn * wn + kz * kz) < om * om || (j == 0 && c == vp);
                free += vp * vp * (wn * wn + kf * kf) < om * om;
            }
            EXPECT_EQ(w.elements[1].j0, clamped) << hz << " Hz, c = " << c;
            EXPECT_EQ(n, free) << hz << " Hz, c = " << c;
        }
}

// Kernels against central differences of the search's own phase and group velocities,
// the water's vp, density and thickness among them; the eigenfunctions' energy integral
// against the property; H/V 0 at the water's surface.
TEST(WaterLayer, KernelsEigenfunctionsAndEnergy) {
    const std::vector<Layer> layers = lake();
    const Model model(layers);
    const Frequencies f = Frequencies::hertz({12.0});
    SearchOptions o;
    o.love = false;
    const Sensitivities base = sensitivities(model, f, o);
    const std::size_t modes = base.modes.rayleigh.phase_velocity[0].size();
    ASSERT_GE(modes, 2u);
    for (std::size_t md = 0; md < modes; ++md) {
        const ModeKernels& k = base.kernels.rayleigh.modes[0][md];
        ASSERT_TRUE(k.du_defined);
        double largest_c = 0.0, largest_u = 0.0;
        std::vector<double> fd_c, fd_u, got_c, got_u;
        for (std::size_t l = 0; l < layers.size(); ++l)
            for (int q = 0; q < 4; ++q) {
                if ((q == 0 && layers[l].vs == 0.0) || (q == 3 && l + 1 == layers.size())) continue;
                double Layer::*field = q == 0   ? &Layer::vs
                                       : q == 1 ? &Layer::vp
                                       : q == 2 ? &Layer::density
                                                : &Layer::thickness;
                const double v = layers[l].*field, dv = 1e-5 * v;
                double c2[2], u2[2];
                for (int side = 0; side < 2; ++side) {
                    std::vector<Layer> moved = layers;
                    moved[l].*field = v + (side == 0 ? dv : -dv);
                    const Sensitivities r = sensitivities(Model(moved), f, o);
                    c2[side] = r.modes.rayleigh.phase_velocity[0][md];
                    u2[side] = r.properties.rayleigh.modes[0][md].group_velocity;
                }
                const std::vector<double>* dc[] = {&k.dc_dvs, &k.dc_dvp, &k.dc_drho, &k.dc_dh};
                const std::vector<double>* du[] = {&k.du_dvs, &k.du_dvp, &k.du_drho, &k.du_drho};
                fd_c.push_back((c2[0] - c2[1]) / (2.0 * dv) * v);
                got_c.push_back((*dc[q])[l] * v);
                largest_c = std::fmax(largest_c, std::fabs(got_c.back()));
                if (q < 3) {
                    fd_u.push_back((u2[0] - u2[1]) / (2.0 * dv) * v);
                    got_u.push_back((*du[q])[l] * v);
                    largest_u = std::fmax(largest_u, std::fabs(got_u.back()));
                }
            }
        for (std::size_t i = 0; i < fd_c.size(); ++i)
            EXPECT_NEAR(got_c[i], fd_c[i], 1e-5 * largest_c) << md << " " << i;
        for (std::size_t i = 0; i < fd_u.size(); ++i)
            EXPECT_NEAR(got_u[i], fd_u[i], 1e-5 * largest_u) << md << " " << i;

        // I1 = 1/2 integral rho (u_x^2 + u_z^2) dz by Simpson's rule on the eigenfunctions.
        const ModeProperties& p = base.properties.rayleigh.modes[0][md];
        EXPECT_EQ(p.ellipticity, 0.0);
        double energy = 0.0, top = 0.0;
        for (std::size_t l = 0; l < layers.size(); ++l) {
            const bool half_space = l + 1 == layers.size();
            const double thickness = half_space ? 400.0 : layers[l].thickness;
            const int n = 4000;
            std::vector<double> z(n + 1);
            for (int i = 0; i <= n; ++i) z[static_cast<std::size_t>(i)] = top + thickness * i / n;
            z[0] = std::nextafter(top, HUGE_VAL);  // the layer's own side of its top
            const Eigenfunctions e = eigenfunctions(model, base.modes, Wave::rayleigh, 0, static_cast<int>(md), z);
            for (int i = 0; i <= n; ++i) {
                const auto j = static_cast<std::size_t>(i);
                const double w = (i == 0 || i == n) ? 1.0 : (i % 2 ? 4.0 : 2.0);
                energy += w * layers[l].density * (e.horizontal[j] * e.horizontal[j] + e.vertical[j] * e.vertical[j]) *
                          thickness / (3.0 * n) * 0.5;
            }
            if (l == 0) {
                EXPECT_NEAR(e.vertical[0], 1.0, 1e-9);
                EXPECT_NEAR(e.normal[0], 0.0, 1e-6 * std::fabs(e.normal[n]));
                EXPECT_EQ(e.shear[n / 2], 0.0);
            }
            if (l == 1) {
                // The solid's H/V at the sea floor.
                EXPECT_NEAR(std::fabs(e.horizontal[0] / e.vertical[0]), p.seafloor_ellipticity,
                            1e-6 * p.seafloor_ellipticity);
            }
            top += thickness;
        }
        EXPECT_NEAR(energy, p.energy_integral, 1e-6 * p.energy_integral) << md;
    }
}

}  // namespace
}  // namespace vemlari

// Transversely isotropic layers (radial anisotropy): the counted search against the roots of
// a secular function built in the test from the 4 x 4 (Love: 2 x 2) system matrix, its layer
// propagators by scaling and squaring in long double and the half-space's decaying solutions
// by the matrix sign function, water on top by its own 2 x 2 system; isotropic layers given
// as anisotropic ones; the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

using Ld = long double;
template <std::size_t n>
using Mat = std::array<std::array<Ld, n>, n>;

template <std::size_t n>
Mat<n> identity() {
    Mat<n> r{};
    for (std::size_t i = 0; i < n; ++i) r[i][i] = 1;
    return r;
}

template <std::size_t n>
Mat<n> mul(const Mat<n>& x, const Mat<n>& y) {
    Mat<n> r{};
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            for (std::size_t q = 0; q < n; ++q) r[i][j] += x[i][q] * y[q][j];
    return r;
}

template <std::size_t n>
Ld norm(const Mat<n>& x) {
    Ld r = 0;
    for (const auto& row : x) {
        Ld s = 0;
        for (Ld v : row) s += std::fabs(v);
        r = std::fmax(r, s);
    }
    return r;
}

// exp(x) by scaling and squaring of a Taylor series.
template <std::size_t n>
Mat<n> expm(Mat<n> x) {
    int squarings = 0;
    while (norm(x) > 0.125L) {
        for (auto& row : x)
            for (Ld& v : row) v *= 0.5L;
        ++squarings;
    }
    Mat<n> r = identity<n>(), term = identity<n>();
    for (int k = 1; k <= 30; ++k) {
        term = mul(term, x);
        for (auto& row : term)
            for (Ld& v : row) v /= k;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) r[i][j] += term[i][j];
    }
    for (int s = 0; s < squarings; ++s) r = mul(r, r);
    return r;
}

// Gauss-Jordan with partial pivoting.
template <std::size_t n>
Mat<n> inverse(Mat<n> a) {
    Mat<n> r = identity<n>();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t i = c + 1; i < n; ++i)
            if (std::fabs(a[i][c]) > std::fabs(a[p][c])) p = i;
        std::swap(a[c], a[p]);
        std::swap(r[c], r[p]);
        const Ld d = a[c][c];
        for (std::size_t j = 0; j < n; ++j) {
            a[c][j] /= d;
            r[c][j] /= d;
        }
        for (std::size_t i = 0; i < n; ++i)
            if (i != c) {
                const Ld f = a[i][c];
                for (std::size_t j = 0; j < n; ++j) {
                    a[i][j] -= f * a[c][j];
                    r[i][j] -= f * r[c][j];
                }
            }
    }
    return r;
}

template <std::size_t n>
Ld det(Mat<n> a) {
    Ld d = 1;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t i = c + 1; i < n; ++i)
            if (std::fabs(a[i][c]) > std::fabs(a[p][c])) p = i;
        if (p != c) {
            std::swap(a[c], a[p]);
            d = -d;
        }
        d *= a[c][c];
        for (std::size_t i = c + 1; i < n; ++i) {
            const Ld f = a[i][c] / a[c][c];
            for (std::size_t j = c; j < n; ++j) a[i][j] -= f * a[c][j];
        }
    }
    return d;
}

// The projector onto the solutions decaying with depth, (I - sign(M)) / 2, by Newton's
// iteration for the matrix sign with determinant scaling.
template <std::size_t n>
Mat<n> decaying_projector(Mat<n> s) {
    for (int k = 0; k < 100; ++k) {
        const Ld g = std::pow(std::fabs(det(s)), -1.0L / static_cast<Ld>(n));
        const Mat<n> inv = inverse(s);
        Ld change = 0;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) {
                const Ld next = 0.5L * (g * s[i][j] + inv[i][j] / g);
                change = std::fmax(change, std::fabs(next - s[i][j]));
                s[i][j] = next;
            }
        if (change < 1e-17L) break;
    }
    Mat<n> p{};
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) p[i][j] = 0.5L * ((i == j ? 1 : 0) - s[i][j]);
    return p;
}

struct Ti {
    Ld h, rho, a, c, f, l, n;
    bool fluid() const { return l == 0; }
};

Ti constants(const Layer& x) {
    const Ld vph = x.vph != 0 ? x.vph : x.vp, vsh = x.vsh != 0 ? x.vsh : x.vs;
    const Ld rho = x.density, a = rho * vph * vph, l = rho * Ld(x.vs) * x.vs;
    return {x.thickness, rho, a, rho * Ld(x.vp) * x.vp, x.eta * (a - 2 * l), l, rho * vsh * vsh};
}

// d/dz of (u_x, u_z / i, sigma_xz, sigma_zz / i) for exp(i (k x - om t)).
Mat<4> psv_matrix(const Ti& m, Ld k, Ld om) {
    Mat<4> r{};
    r[0][1] = k;
    r[0][2] = 1 / m.l;
    r[1][0] = -k * m.f / m.c;
    r[1][3] = 1 / m.c;
    r[2][0] = k * k * (m.a - m.f * m.f / m.c) - m.rho * om * om;
    r[2][3] = k * m.f / m.c;
    r[3][1] = -m.rho * om * om;
    r[3][2] = -k;
    return r;
}

// d/dz of (u_y, sigma_yz).
Mat<2> sh_matrix(const Ti& m, Ld k, Ld om) {
    Mat<2> r{};
    r[0][1] = 1 / m.l;
    r[1][0] = k * k * m.n - m.rho * om * om;
    return r;
}

// The half-space's decaying solutions: two (one) independent columns of the projector's range.
template <std::size_t n>
Mat<n> decaying_solutions(const Mat<n>& m) {
    const Mat<n> p = decaying_projector(m);
    const Ld mix[4][2] = {{1.0L, 0.3L}, {0.2L, 1.0L}, {0.7L, -0.5L}, {-0.4L, 0.9L}};
    Mat<n> y{};
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n / 2; ++j)
            for (std::size_t q = 0; q < n; ++q) y[i][j] += p[i][q] * mix[q][j];
    return y;
}

// The secular functions: the surface tractions of the solutions decaying in the half-space,
// propagated up, over their displacements at the half-space's top (a ratio that does not
// depend on which decaying solutions are taken). Continuous in c; its zeros are the modes.
Ld love_secular(const std::vector<Ti>& model, Ld c, Ld om) {
    const Ld k = om / c;
    Mat<2> y = decaying_solutions(sh_matrix(model.back(), k, om));
    const Ld u = y[0][0];
    for (std::size_t l = model.size() - 1; l-- > 0 && !model[l].fluid();) {
        Mat<2> x = sh_matrix(model[l], k, om);
        for (auto& row : x)
            for (Ld& v : row) v *= -model[l].h;
        y = mul(expm(x), y);
    }
    return y[1][0] / u;
}

// P-SV: the 2 x 2 minors of the two solutions, rows (i, j) in the order below, carried up by
// the second compound of the system matrix, so that the faster-growing wave does not swamp
// the slower one in a thick layer.
constexpr int pairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};

Mat<6> compound(const Mat<4>& m) {
    Mat<6> r{};
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b) {
            const int i1 = pairs[a][0], i2 = pairs[a][1], j1 = pairs[b][0], j2 = pairs[b][1];
            Ld v = 0;
            if (a == b)
                v = m[i1][i1] + m[i2][i2];
            else if (i1 == j1)
                v = m[i2][j2];
            else if (i2 == j2)
                v = m[i1][j1];
            else if (i1 == j2)
                v = -m[i2][j1];
            else if (i2 == j1)
                v = -m[i1][j2];
            r[a][b] = v;
        }
    return r;
}

Ld rayleigh_secular(const std::vector<Ti>& model, Ld c, Ld om) {
    const Ld k = om / c;
    const Mat<4> y = decaying_solutions(psv_matrix(model.back(), k, om));
    std::array<Ld, 6> minors{};
    for (int a = 0; a < 6; ++a) {
        const int i = pairs[a][0], j = pairs[a][1];
        minors[a] = y[i][0] * y[j][1] - y[j][0] * y[i][1];
    }
    const Ld u = minors[0];
    for (std::size_t l = model.size() - 1; l-- > 0 && !model[l].fluid();) {
        Mat<6> x = compound(psv_matrix(model[l], k, om));
        for (auto& row : x)
            for (Ld& v : row) v *= -model[l].h;
        const Mat<6> e = expm(x);
        std::array<Ld, 6> next{};
        for (int a = 0; a < 6; ++a)
            for (int b = 0; b < 6; ++b) next[a] += e[a][b] * minors[b];
        minors = next;
    }
    // Water on top: d/dz (u_z / i, sigma_zz / i) = [[0, 1 / lambda - k^2 / (rho om^2)],
    // [-rho om^2, 0]] (u_x = k sigma_zz / (i rho om^2), no shear), from (1, 0) at its
    // surface down to the sea floor, where the solid's sigma_xz vanishes and its (u_z, sigma_zz)
    // is the water's: W minor(sigma_xz, sigma_zz) + S minor(u_z, sigma_xz) = 0.
    Ld w = 1, s = 0;
    for (std::size_t l = 0; l < model.size() && model[l].fluid(); ++l) {
        Mat<2> x{};
        x[0][1] = model[l].h * (1 / model[l].c - k * k / (model[l].rho * om * om));
        x[1][0] = -model[l].h * model[l].rho * om * om;
        const Mat<2> e = expm(x);
        const Ld next = e[0][0] * w + e[0][1] * s;
        s = e[1][0] * w + e[1][1] * s;
        w = next;
    }
    return (w * minors[5] + s * minors[3]) / u;
}

struct Reference {
    std::vector<Ti> model;
    Ld om;
    bool love;
    Ld operator()(Ld c) const { return love ? love_secular(model, c, om) : rayleigh_secular(model, c, om); }
};

// Checks one wave at one frequency: every mode found is a root of the reference within
// 1e-9 (the reference bisected in a bracket of 1e-7 around it), and the reference changes
// sign as often as there are modes on a fine grid of phase velocities.
void check_wave(const std::vector<Layer>& layers, double hz, bool love, const std::vector<double>& found, Ld top) {
    std::vector<Ti> m;
    for (const Layer& l : layers) m.push_back(constants(l));
    const Reference f{m, 2 * 3.141592653589793238462643383279503L * hz, love};
    for (double c : found) {
        Ld lo = c * (1 - 1e-7L), hi = c * (1 + 1e-7L);
        const Ld flo = f(lo);
        ASSERT_LT(flo * f(hi), 0) << (love ? "Love" : "Rayleigh") << " mode at " << c << " m/s, " << hz << " Hz";
        for (int i = 0; i < 80; ++i) {
            const Ld mid = 0.5L * (lo + hi);
            ((f(mid) < 0) == (flo < 0) ? lo : hi) = mid;
        }
        EXPECT_NEAR(c, static_cast<double>(0.5L * (lo + hi)), 1e-9 * c)
            << (love ? "Love" : "Rayleigh") << " " << hz << " Hz";
    }
    const int points = 3000;
    const Ld floor = 0.5L * found.front();
    int changes = 0;
    Ld before = f(floor);
    for (int i = 1; i < points; ++i) {
        const Ld now = f(floor + (top - floor) * i / points);
        if ((now < 0) != (before < 0)) ++changes;
        before = now;
    }
    EXPECT_EQ(changes, static_cast<int>(found.size())) << (love ? "Love" : "Rayleigh") << " " << hz << " Hz";
}

Layer ti(double h, double vpv, double vph, double vsv, double vsh, double eta, double rho) {
    Layer l;
    l.thickness = h;
    l.vp = vpv;
    l.vs = vsv;
    l.density = rho;
    l.vph = vph;
    l.vsh = vsh;
    l.eta = eta;
    return l;
}

Layer iso(double h, double vp, double vs, double rho) { return ti(h, vp, 0.0, vs, 0.0, 1.0, rho); }

// The qP and qSV vertical wavenumbers of a layer at phase velocity c are complex conjugates.
bool complex_wavenumbers(const Layer& x, double c) {
    const Ti m = constants(x);
    const Ld w = m.rho * c * c, b = m.l * (w - m.l) + m.c * (w - m.a) + (m.f + m.l) * (m.f + m.l);
    return b * b < 4 * m.l * m.c * (w - m.a) * (w - m.l);
}

TEST(TransverseIsotropy, ModesAreRootsOfTheSystemMatrixPropagator) {
    // A sediment and an anisotropic crust whose qP and qSV waves are complex-conjugate at
    // the fundamental modes, over an isotropic mantle; an anisotropic mantle over an
    // anisotropic half-space, with a thin layer and a strongly anisotropic one (eta 0.7).
    const std::vector<std::vector<Layer>> models = {
        {iso(800.0, 2500.0, 1200.0, 2100.0), ti(8000.0, 6000.0, 6600.0, 3500.0, 3800.0, 0.9, 2800.0),
         iso(0.0, 7800.0, 4400.0, 3300.0)},
        {ti(40.0, 3000.0, 4500.0, 1800.0, 2000.0, 0.7, 2300.0),
         ti(20000.0, 6200.0, 6500.0, 3550.0, 3700.0, 1.05, 2900.0),
         ti(0.0, 8000.0, 8300.0, 4450.0, 4700.0, 0.9, 3400.0)},
        // Water over the first.
        {iso(1200.0, 1500.0, 0.0, 1000.0), iso(800.0, 2500.0, 1200.0, 2100.0),
         ti(8000.0, 6000.0, 6600.0, 3500.0, 3800.0, 0.9, 2800.0), iso(0.0, 7800.0, 4400.0, 3300.0)},
    };
    bool complex_seen = false;
    for (const auto& layers : models) {
        const Model model(layers);
        const std::vector<double> hz = {0.05, 0.3, 1.5};
        const Modes modes = find_modes(model, Frequencies::hertz(hz));
        const Layer& h = layers.back();
        const double love_top = h.vsh != 0.0 ? h.vsh : h.vs,
                     rayleigh_top = std::fmin(h.vs, h.vph != 0.0 ? h.vph : h.vp);
        for (std::size_t k = 0; k < hz.size(); ++k) {
            ASSERT_FALSE(modes.love.phase_velocity[k].empty());
            ASSERT_FALSE(modes.rayleigh.phase_velocity[k].empty());
            check_wave(layers, hz[k], true, modes.love.phase_velocity[k], love_top);
            check_wave(layers, hz[k], false, modes.rayleigh.phase_velocity[k], rayleigh_top);
            for (double c : modes.rayleigh.phase_velocity[k])
                for (const Layer& l : layers) complex_seen = complex_seen || complex_wavenumbers(l, c);
        }
    }
    EXPECT_TRUE(complex_seen);
    // Under water, the group velocities of both fundamentals are c(omega) differentiated.
    const Model wet(models.back());
    SearchOptions o;
    o.mode_set = {0};
    const double hz = 0.3, d = 1e-4 * hz;
    const Modes m = find_modes(wet, Frequencies::hertz({hz - d, hz, hz + d}), o);
    const Properties p = mode_properties(wet, m);
    for (Wave w : {Wave::love, Wave::rayleigh}) {
        const double c = m[w].phase_velocity[1][0],
                     dc = (m[w].phase_velocity[2][0] - m[w].phase_velocity[0][0]) / (2 * d);
        EXPECT_NEAR(p[w].modes[1][0].group_velocity, c / (1 - hz / c * dc), 1e-7 * c);
    }
}

TEST(TransverseIsotropy, IsotropicLayersGivenAsAnisotropicOnes) {
    std::vector<Layer> layers = {iso(800.0, 2500.0, 1200.0, 2100.0), iso(8000.0, 6000.0, 3500.0, 2800.0),
                                 iso(0.0, 7800.0, 4400.0, 3300.0)};
    const Frequencies hz = Frequencies::hertz({0.0, 0.05, 0.4, 2.0});
    const Modes isotropic = find_modes(Model(layers), hz);
    for (Layer& l : layers) {
        l.vph = l.vp;
        l.vsh = l.vs;
    }
    const Model given(layers);
    EXPECT_FALSE(given.transversely_isotropic());
    const Modes same = find_modes(given, hz);
    EXPECT_EQ(same.love.phase_velocity, isotropic.love.phase_velocity);
    EXPECT_EQ(same.rayleigh.phase_velocity, isotropic.rayleigh.phase_velocity);
    // Through the anisotropic computation, a hair away from isotropy.
    for (Layer& l : layers) l.eta = 1.0 - 1e-15;
    const Modes near = find_modes(Model(layers), hz);
    for (std::size_t k = 0; k < hz.size(); ++k) {
        ASSERT_EQ(near.love.phase_velocity[k].size(), isotropic.love.phase_velocity[k].size());
        ASSERT_EQ(near.rayleigh.phase_velocity[k].size(), isotropic.rayleigh.phase_velocity[k].size());
        for (std::size_t i = 0; i < near.love.phase_velocity[k].size(); ++i)
            EXPECT_NEAR(near.love.phase_velocity[k][i], isotropic.love.phase_velocity[k][i],
                        1e-14 * isotropic.love.phase_velocity[k][i]);
        for (std::size_t i = 0; i < near.rayleigh.phase_velocity[k].size(); ++i)
            EXPECT_NEAR(near.rayleigh.phase_velocity[k][i], isotropic.rayleigh.phase_velocity[k][i],
                        1e-13 * isotropic.rayleigh.phase_velocity[k][i]);
    }
}

TEST(TransverseIsotropy, PropertiesAndKernelsOfIsotropicLayersAgreeWithTheIsotropicStage) {
    std::vector<Layer> layers = {iso(800.0, 2500.0, 1200.0, 2100.0), iso(8000.0, 6000.0, 3500.0, 2800.0),
                                 iso(0.0, 7800.0, 4400.0, 3300.0)};
    const Model model(layers);
    const Frequencies hz = Frequencies::hertz({0.05, 0.4, 2.0});
    const Modes modes = find_modes(model, hz);
    const Properties p = mode_properties(model, modes);
    const Kernels k = sensitivity_kernels(model, modes);
    // The isotropic layers as transversely isotropic ones, a hair away from isotropy.
    for (Layer& l : layers) l.eta = 1.0 - 1e-15;
    const Model near(layers);
    const Modes near_modes = find_modes(near, hz);
    const Properties q = mode_properties(near, near_modes);
    const TransverseKernels t = transverse_kernels(model, modes);
    // Eigenfunctions from the surface through both layers (their interfaces too) into the
    // half-space, 1e-9 of their largest value apart.
    const std::vector<double> depths = {0.0, 300.0, 800.0, 2000.0, 8800.0, 12000.0, 40000.0};
    for (Wave w : {Wave::love, Wave::rayleigh})
        for (std::size_t f = 0; f < 3; ++f)
            for (int md = 0; md < std::min<int>(3, static_cast<int>(modes[w].phase_velocity[f].size())); ++md) {
                const Eigenfunctions a = eigenfunctions(model, modes, w, f, md, depths);
                const Eigenfunctions b = eigenfunctions(near, near_modes, w, f, md, depths);
                for (const auto field :
                     {&Eigenfunctions::displacement, &Eigenfunctions::stress, &Eigenfunctions::horizontal,
                      &Eigenfunctions::vertical, &Eigenfunctions::shear, &Eigenfunctions::normal}) {
                    double largest = 0.0;
                    for (double v : a.*field) largest = std::fmax(largest, std::fabs(v));
                    ASSERT_EQ((b.*field).size(), (a.*field).size());
                    for (std::size_t i = 0; i < depths.size() && i < (a.*field).size(); ++i)
                        EXPECT_NEAR((b.*field)[i], (a.*field)[i], 1e-9 * largest) << depths[i] << " m, mode " << md;
                }
            }
    for (Wave w : {Wave::love, Wave::rayleigh})
        for (std::size_t f = 0; f < 3; ++f)
            for (std::size_t md = 0; md < modes[w].phase_velocity[f].size(); ++md) {
                const ModeProperties &a = p[w].modes[f][md], &b = q[w].modes[f][md];
                EXPECT_NEAR(b.group_velocity, a.group_velocity, 1e-9 * a.group_velocity);
                EXPECT_NEAR(b.energy_integral, a.energy_integral, 1e-9 * a.energy_integral);
                if (w == Wave::rayleigh) {
                    EXPECT_NEAR(b.ellipticity, a.ellipticity, 1e-9 * a.ellipticity);
                    EXPECT_NEAR(b.ellipticity_signed, a.ellipticity_signed, 1e-9 * a.ellipticity);
                }
                const ModeKernels& i = k[w].modes[f][md];
                const TransverseModeKernels& x = (w == Wave::love ? t.love : t.rayleigh)[f][md];
                double largest = 0.0;
                for (double v : i.dc_dvs) largest = std::fmax(largest, std::fabs(v));
                for (std::size_t l = 0; l < layers.size(); ++l) {
                    EXPECT_NEAR(x.dc_dvsv[l] + x.dc_dvsh[l], i.dc_dvs[l], 1e-8 * largest);
                    EXPECT_NEAR(x.dc_dvpv[l] + x.dc_dvph[l], i.dc_dvp[l], 1e-8 * largest);
                    EXPECT_NEAR(x.dc_drho_velocities[l] * layers[l].density, i.dc_drho[l] * layers[l].density,
                                1e-8 * largest * layers[l].vs);
                }
            }
}

// c of one mode after a change of one layer value.
double phase_velocity(std::vector<Layer> layers, std::size_t l, double Layer::*field, double step, Wave w, double hz,
                      int mode) {
    layers[l].*field += step;
    SearchOptions o;
    o.mode_set = {mode};
    const Modes m = find_modes(Model(layers), Frequencies::hertz({hz}), o);
    return m[w].phase_velocity[0].at(0);
}

TEST(TransverseIsotropy, KernelsAgainstFiniteDifferencesAndSumRules) {
    const std::vector<Layer> layers = {ti(3000.0, 5800.0, 6100.0, 3300.0, 3500.0, 0.85, 2700.0),
                                       ti(30000.0, 6500.0, 6800.0, 3700.0, 3850.0, 0.9, 2900.0),
                                       ti(0.0, 8000.0, 8300.0, 4450.0, 4650.0, 0.95, 3400.0)};
    const Model model(layers);
    const double hz = 0.08;
    const Modes modes = find_modes(model, Frequencies::hertz({hz}));
    const Properties p = mode_properties(model, modes);
    const TransverseKernels t = transverse_kernels(model, modes);
    const Kernels general = sensitivity_kernels(model, modes);
    for (Wave w : {Wave::love, Wave::rayleigh})
        for (int md = 0; md < std::min<int>(2, static_cast<int>(modes[w].phase_velocity[0].size())); ++md) {
            const double c = modes[w].phase_velocity[0][static_cast<std::size_t>(md)];
            const TransverseModeKernels& x = (w == Wave::love ? t.love : t.rayleigh)[0][static_cast<std::size_t>(md)];
            const ModeKernels& g = general[w].modes[0][static_cast<std::size_t>(md)];
            // Sum rules: scaling every constant and density together leaves c, and so does
            // scaling density at fixed velocities; scaling every velocity by (1 + e) at fixed
            // density, eta and thicknesses is c(omega / (1 + e)) (1 + e): sum v dc/dv =
            // c - omega dc/domega = c^2 / U.
            double moduli = 0.0, velocities = 0.0, density = 0.0, scale = 0.0;
            for (std::size_t l = 0; l < layers.size(); ++l) {
                const TransverseModuli m = transverse_moduli(layers[l]);
                const double rho = layers[l].density;
                moduli += m.a * x.dc_da[l] + m.c * x.dc_dc[l] + m.f * x.dc_df[l] + m.l * x.dc_dl[l] + m.n * x.dc_dn[l] +
                          rho * x.dc_drho[l];
                scale += std::fabs(m.l * x.dc_dl[l]) + std::fabs(rho * x.dc_drho[l]);
                velocities += layers[l].vp * x.dc_dvpv[l] + layers[l].vph * x.dc_dvph[l] + layers[l].vs * x.dc_dvsv[l] +
                              layers[l].vsh * x.dc_dvsh[l];
                density += rho * x.dc_drho_velocities[l];
            }
            EXPECT_NEAR(moduli, 0.0, 1e-9 * scale);
            const double u = p[w].modes[0][static_cast<std::size_t>(md)].group_velocity;
            EXPECT_NEAR(velocities, c * c / u, 1e-9 * c);
            EXPECT_NEAR(density, 0.0, 1e-9 * c);
            // Group velocity from c(omega): U = c / (1 - (omega / c) dc/domega).
            const double d = 1e-4 * hz;
            SearchOptions o;
            o.mode_set = {md};
            const Modes around = find_modes(model, Frequencies::hertz({hz - d, hz + d}), o);
            const double dc = (around[w].phase_velocity[1][0] - around[w].phase_velocity[0][0]) / (2.0 * d);
            EXPECT_NEAR(u, c / (1.0 - hz / c * dc), 1e-7 * c);
            // Central differences of c, one layer value at a time, within 1e-5 of the largest
            // entry of the velocity kernels (of the eta or density kernel for those), as the
            // general kernels give them (dc_dvs and dc_dvp: vsv and vpv).
            double largest = 0.0;
            for (const auto* kernel : {&g.dc_dvp, &g.dc_dvph, &g.dc_dvs, &g.dc_dvsh})
                for (double v : *kernel) largest = std::fmax(largest, std::fabs(v));
            const std::vector<std::pair<double Layer::*, const std::vector<double>*>> fields = {
                {&Layer::vp, &g.dc_dvp},   {&Layer::vph, &g.dc_dvph}, {&Layer::vs, &g.dc_dvs},
                {&Layer::vsh, &g.dc_dvsh}, {&Layer::eta, &g.dc_deta}, {&Layer::density, &g.dc_drho}};
            for (const auto& [field, kernel] : fields)
                for (std::size_t l = 0; l < layers.size(); ++l) {
                    double own = largest;
                    if (field == &Layer::eta || field == &Layer::density) {
                        own = 0.0;
                        for (double v : *kernel) own = std::fmax(own, std::fabs(v));
                    }
                    const double h = 1e-6 * std::fabs(layers[l].*field);
                    const double fd = (phase_velocity(layers, l, field, h, w, hz, md) -
                                       phase_velocity(layers, l, field, -h, w, hz, md)) /
                                      (2.0 * h);
                    EXPECT_NEAR((*kernel)[l], fd, 1e-5 * own)
                        << (w == Wave::love ? "Love" : "Rayleigh") << " mode " << md << " layer " << l;
                }
        }
}

TEST(TransverseIsotropy, RefusedWhereNotComputed) {
    const auto rule = [](const std::vector<Layer>& layers) {
        try {
            Model m(layers);
        } catch (const Error& e) {
            return e.rule();
        }
        return Error::Rule::no_layers;
    };
    const Layer mantle = iso(0.0, 7800.0, 4400.0, 3300.0);
    // F^2 >= C (A - N): no stable solid.
    EXPECT_EQ(rule({ti(1000.0, 6000.0, 6600.0, 3500.0, 3800.0, 2.5, 2800.0), mantle}), Error::Rule::not_a_solid);
    // A half-space with a qSV wave slower horizontally than vsv.
    EXPECT_EQ(rule({iso(1000.0, 6000.0, 3500.0, 2800.0), ti(0.0, 8000.0, 8000.0, 4500.0, 4500.0, 1.9, 3300.0)}),
              Error::Rule::not_a_solid);
    // A fluid is isotropic.
    EXPECT_EQ(rule({ti(1000.0, 1500.0, 1600.0, 0.0, 0.0, 1.0, 1000.0), mantle}), Error::Rule::not_a_solid);
    const Model model({ti(1000.0, 6000.0, 6600.0, 3500.0, 3800.0, 0.9, 2800.0), mantle});
    SearchOptions scan;
    scan.method = SearchMethod::scan;
    EXPECT_THROW(find_modes(model, Frequencies::hertz({1.0}), scan), Error);
    // Kernels under water.
    const Model wet({iso(500.0, 1500.0, 0.0, 1000.0), ti(1000.0, 6000.0, 6600.0, 3500.0, 3800.0, 0.9, 2800.0), mantle});
    EXPECT_THROW(sensitivity_kernels(wet, find_modes(wet, Frequencies::hertz({1.0}))), Error);
}

}  // namespace
}  // namespace vemlari

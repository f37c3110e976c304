// Sensitivity kernels against what they must reproduce without their formulas: finite
// differences of the engine's own phase and group velocities, the scaling laws of an
// elastic medium, a layer split in two, and the attenuation of an independent complex-root
// computation and of the half-space's closed form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "io/model_formats.h"
#include "tests/complex_propagator.h"
#include "vemlari/vemlari.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using namespace vemlari::testing;

constexpr double pi = 3.14159265358979323846;

std::vector<Layer> example(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return io::read_program_file(io::split_lines(text.str())).layers;
}

std::vector<std::filesystem::path> example_files() {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(std::string(VEMLARI_SOURCE_DIR) + "/examples"))
        if (e.path().extension() == ".csv") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Roots exact to about 1e-11 relative.
SearchOptions tight(Wave wave, int highest) {
    SearchOptions o;
    o.tolerance = 1e-11;
    o.max_iterations = 300;
    o.love = wave == Wave::love;
    o.rayleigh = wave == Wave::rayleigh;
    o.highest_mode = highest;
    return o;
}

// A frequency with several modes of both waves: a wavelength of about a sixth of the
// layering at the slowest S velocity.
double frequency_of(const std::vector<Layer>& layers) {
    double depth = 0.0, vs = layers.back().vs;
    for (std::size_t j = 0; j + 1 < layers.size(); ++j) {
        depth += layers[j].thickness;
        vs = std::min(vs, layers[j].vs);
    }
    return depth > 0.0 ? 6.0 * vs / depth : 1.0;
}

struct Velocities {
    double c, u, hv;  // hv: the signed H/V
};

// Phase and group velocity and H/V of the mode nearest c0.
Velocities nearest(const std::vector<Layer>& layers, Wave wave, double f, int highest, double c0) {
    const Model m(layers);
    const Modes modes = find_modes(m, Frequencies::hertz({f}), tight(wave, highest));
    const Properties p = mode_properties(m, modes);
    const std::vector<double>& cs = modes[wave].phase_velocity[0];
    std::size_t best = 0;
    for (std::size_t i = 1; i < cs.size(); ++i)
        if (std::fabs(cs[i] - c0) < std::fabs(cs[best] - c0)) best = i;
    return {cs[best], p[wave].modes[0][best].group_velocity, p[wave].modes[0][best].ellipticity_signed};
}

struct Parameter {
    double Layer::*field;
    std::vector<double> ModeKernels::*dc;
    std::vector<double> ModeKernels::*du;
    std::vector<double> ModeKernels::*dhv;
};
const Parameter parameters[] = {{&Layer::vs, &ModeKernels::dc_dvs, &ModeKernels::du_dvs, &ModeKernels::dhv_dvs},
                                {&Layer::vp, &ModeKernels::dc_dvp, &ModeKernels::du_dvp, &ModeKernels::dhv_dvp},
                                {&Layer::density, &ModeKernels::dc_drho, &ModeKernels::du_drho, &ModeKernels::dhv_drho},
                                {&Layer::thickness, &ModeKernels::dc_dh, &ModeKernels::du_dh, &ModeKernels::dhv_dh}};

// The largest relative kernel entry p dq/dp of a mode, the scale of its errors.
double largest(const std::vector<Layer>& layers, const ModeKernels& k,
               std::vector<double> ModeKernels::*Parameter::*q) {
    double a = 0.0;
    for (const Parameter& p : parameters)
        for (std::size_t j = 0; j < layers.size(); ++j) a = std::max(a, std::fabs(layers[j].*p.field * (k.*(p.*q))[j]));
    return a;
}

TEST(SensitivityKernels, MatchFiniteDifferencesOfPhaseAndGroupVelocitiesOnEveryExample) {
    int trapped = 0;
    for (const auto& file : example_files()) {
        const std::vector<Layer> layers = example(file);
        const double f = frequency_of(layers);
        for (Wave wave : {Wave::love, Wave::rayleigh}) {
            if (wave == Wave::love && layers.size() == 1) continue;
            const Model model(layers);
            const Modes modes = find_modes(model, Frequencies::hertz({f}), tight(wave, -1));
            const Kernels kernels = sensitivity_kernels(model, modes, 1, true);
            const std::vector<double>& cs = modes[wave].phase_velocity[0];
            // The fundamental, a higher mode, and a mode trapped in a slow layer if any.
            std::vector<std::size_t> picked{0};
            if (cs.size() > 2) picked.push_back(2);
            for (std::size_t m = 0; m < cs.size(); ++m) {
                if (modes[wave].found_at[0][m] > 1) {
                    if (m != 0 && m != 2) picked.push_back(m);
                    ++trapped;
                    break;
                }
            }
            for (std::size_t m : picked) {
                const ModeKernels& k = kernels[wave].modes[0][m];
                const int highest = static_cast<int>(std::min(cs.size() - 1, m + 1));
                std::ostringstream where;
                where << file.filename().string() << (wave == Wave::love ? " Love" : " Rayleigh") << " mode " << m;
                const double dc_scale = largest(layers, k, &Parameter::dc),
                             du_scale = largest(layers, k, &Parameter::du);
                const bool rayleigh = wave == Wave::rayleigh;
                const double hv_scale = rayleigh ? largest(layers, k, &Parameter::dhv) : 0.0;
                // Each parameter of each layer moved by 1e-4 of itself both ways.
                for (const Parameter& p : parameters) {
                    for (std::size_t j = 0; j < layers.size(); ++j) {
                        if (p.field == &Layer::thickness && j + 1 == layers.size()) {
                            EXPECT_TRUE(k.dc_dh[j] == 0.0 && k.du_dh[j] == 0.0) << where.str();
                            EXPECT_TRUE(rayleigh ? k.dhv_dh[j] == 0.0 : std::isnan(k.dhv_dh[j])) << where.str();
                            continue;
                        }
                        std::vector<Layer> up = layers, down = layers;
                        const double v = layers[j].*p.field, h = 1e-4 * v;
                        up[j].*p.field += h;
                        down[j].*p.field -= h;
                        const Velocities a = nearest(up, wave, f, highest, cs[m]);
                        const Velocities b = nearest(down, wave, f, highest, cs[m]);
                        EXPECT_NEAR((k.*p.dc)[j], (a.c - b.c) / (2 * h), 1e-4 * dc_scale / v)
                            << where.str() << " layer " << j + 1;
                        EXPECT_NEAR((k.*p.du)[j], (a.u - b.u) / (2 * h), 1e-5 * du_scale / v)
                            << where.str() << " layer " << j + 1;
                        if (rayleigh) {
                            EXPECT_NEAR((k.*p.dhv)[j], (a.hv - b.hv) / (2 * h), 1e-5 * hv_scale / v)
                                << where.str() << " H/V, layer " << j + 1;
                        } else {
                            EXPECT_TRUE(std::isnan((k.*p.dhv)[j])) << where.str();
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(trapped, 0);  // the low-velocity example's
}

bool same(const ModeKernels& a, const ModeKernels& b) {
    return a.dc_dvs == b.dc_dvs && a.dc_dvp == b.dc_dvp && a.dc_drho == b.dc_drho && a.dc_dh == b.dc_dh &&
           a.du_dvs == b.du_dvs && a.du_dvp == b.du_dvp && a.du_drho == b.du_drho && a.inverse_q == b.inverse_q;
}

// Scaling every velocity and thickness by one factor scales c by it at the same frequency;
// scaling every density changes nothing. Threads change nothing either.
TEST(SensitivityKernels, ScalingSumRulesHoldForEveryModeAndThreadsChangeNothing) {
    for (const auto& file : example_files()) {
        const std::vector<Layer> layers = example(file);
        const Model model(layers);
        const double f = frequency_of(layers);
        SearchOptions o = tight(Wave::love, -1);
        o.rayleigh = true;
        const Modes modes = find_modes(model, Frequencies::hertz({0.5 * f, f}), o);
        const Kernels kernels = sensitivity_kernels(model, modes);
        const Kernels threaded = sensitivity_kernels(model, modes, 2);
        int checked = 0;
        for (Wave wave : {Wave::love, Wave::rayleigh}) {
            for (std::size_t i = 0; i < 2; ++i) {
                for (std::size_t m = 0; m < modes[wave].phase_velocity[i].size(); ++m) {
                    const ModeKernels& k = kernels[wave].modes[i][m];
                    double scale = 0.0, density = 0.0;
                    for (std::size_t j = 0; j < layers.size(); ++j) {
                        scale +=
                            layers[j].vp * k.dc_dvp[j] + layers[j].vs * k.dc_dvs[j] + layers[j].thickness * k.dc_dh[j];
                        density += layers[j].density * k.dc_drho[j];
                    }
                    const double c = modes[wave].phase_velocity[i][m];
                    EXPECT_NEAR(scale / c, 1.0, 1e-9) << file.filename() << " mode " << m;
                    // The kernels hold at the secular function's root, polished to 1e-12 c.
                    EXPECT_NEAR(density / c, 0.0, 1e-11) << file.filename() << " mode " << m;
                    EXPECT_TRUE(same(k, threaded[wave].modes[i][m]));
                    ++checked;
                }
            }
        }
        EXPECT_GE(checked, 2) << file.filename();
    }
}

// Two halves of a layer, of the same material, share its kernels out between them; moving
// the interface between them changes nothing, so each half's thickness kernel is the
// layer's.
TEST(SensitivityKernels, SplittingALayerSplitsItsKernels) {
    for (const char* name : {"crust", "low_velocity"}) {
        const std::vector<Layer> layers = example(std::string(VEMLARI_SOURCE_DIR) + "/examples/" + name + ".csv");
        std::vector<Layer> split = layers;
        split[1].thickness *= 0.5;
        split.insert(split.begin() + 1, split[1]);
        const double f = frequency_of(layers);
        SearchOptions o = tight(Wave::love, 3);
        o.rayleigh = true;
        const Model a(layers), b(split);
        const Modes ma = find_modes(a, Frequencies::hertz({f}), o), mb = find_modes(b, Frequencies::hertz({f}), o);
        const Kernels ka = sensitivity_kernels(a, ma), kb = sensitivity_kernels(b, mb);
        for (Wave wave : {Wave::love, Wave::rayleigh}) {
            ASSERT_EQ(ma[wave].phase_velocity[0].size(), 4u);
            ASSERT_EQ(mb[wave].phase_velocity[0].size(), 4u);
            for (std::size_t m = 0; m < 4; ++m) {
                const ModeKernels &whole = ka[wave].modes[0][m], &halves = kb[wave].modes[0][m];
                for (const Parameter& p : parameters) {
                    const double dc = 1e-8 * largest(layers, whole, &Parameter::dc),
                                 du = 1e-7 * largest(layers, whole, &Parameter::du);
                    for (std::size_t j = 0; j < layers.size(); ++j) {
                        // Layer j of the whole model is layer j + (j > 1) of the split one.
                        const std::size_t i = j < 2 ? j : j + 1;
                        const double v = layers[j].*p.field;
                        double dc_split = (halves.*p.dc)[i], du_split = p.du ? (halves.*p.du)[i] : 0.0;
                        if (j == 1 && p.field != &Layer::thickness) {
                            dc_split += (halves.*p.dc)[2];
                            du_split += (halves.*p.du)[2];
                        }
                        if (j == 1 && p.field == &Layer::thickness) {
                            EXPECT_NEAR((halves.*p.dc)[2], (whole.*p.dc)[1], dc / v) << name << " mode " << m;
                        }
                        EXPECT_NEAR(dc_split, (whole.*p.dc)[j], dc / std::max(v, 1.0)) << name << " mode " << m;
                        if (p.du) {
                            EXPECT_NEAR(du_split, (whole.*p.du)[j], du / v) << name << " mode " << m;
                        }
                    }
                }
            }
        }
    }
}

// Velocities v (1 + i / (2 Q)), with every Q of the file times `stiffer`.
std::vector<AnelasticLayer> anelastic(const std::vector<Layer>& layers, double stiffer) {
    std::vector<AnelasticLayer> m;
    for (const Layer& l : layers)
        m.push_back(
            {l.thickness, l.density, l.vp * zd(1.0, 0.5 / (stiffer * l.qp)), l.vs * zd(1.0, 0.5 / (stiffer * l.qs))});
    return m;
}

// The complex root of an anelastic model's secular function at fixed real frequency is
// c (1 + i Q^-1 / 2) with the mode's own c, up to terms of second order in 1/Q, whose
// imaginary part is of third order: Im c and gamma = -om Im(1/c) agree to about (1/Q)^2.
TEST(ModalAttenuation, IsTheImaginaryPartOfTheComplexRootOfAnelasticLayers) {
    int trapped = 0;
    for (const char* name : {"two_layer", "low_velocity"}) {
        std::vector<Layer> layers = example(std::string(VEMLARI_SOURCE_DIR) + "/examples/" + name + ".csv");
        const double stiffer = 20.0;  // 1/Q of about 1e-3
        for (Layer& l : layers) {
            l.qp *= stiffer;
            l.qs *= stiffer;
        }
        const double f = frequency_of(layers), om = 2 * pi * f;
        SearchOptions o = tight(Wave::love, 2);
        o.rayleigh = true;
        const Model model(layers);
        const Modes modes = find_modes(model, Frequencies::hertz({f}), o);
        const Kernels kernels = sensitivity_kernels(model, modes);
        const std::vector<AnelasticLayer> elastic = anelastic(layers, INFINITY), lossy = anelastic(layers, 1.0);
        for (Wave wave : {Wave::love, Wave::rayleigh}) {
            auto secular = [&](const std::vector<AnelasticLayer>& m) {
                return [&, wave](zd c) {
                    return wave == Wave::love ? love_surface(m, om, c) : rayleigh_surface(m, om, c);
                };
            };
            for (std::size_t m = 0; m < modes[wave].phase_velocity[0].size(); ++m) {
                const ModeKernels& k = kernels[wave].modes[0][m];
                const zd c0 = newton_root(secular(elastic), modes[wave].phase_velocity[0][m]);
                ASSERT_NEAR(c0.real() / modes[wave].phase_velocity[0][m], 1.0, 1e-10) << name << " mode " << m;
                const zd cq = newton_root(secular(lossy), c0);
                EXPECT_GT(k.inverse_q, 5e-4);
                EXPECT_NEAR(k.inverse_q, 2.0 * cq.imag() / c0.real(), 1e-5 * k.inverse_q) << name << " mode " << m;
                EXPECT_NEAR(k.gamma, -om * (1.0 / cq).imag(), 1e-5 * k.gamma) << name << " mode " << m;
                trapped += modes[wave].found_at[0][m] > 1;
            }
        }
    }
    EXPECT_GT(trapped, 0);
}

// A homogeneous half-space's Rayleigh velocity c(vp, vs) is homogeneous of degree one and
// solves R = (2 - b)^2 - 4 sqrt(1 - a) sqrt(1 - b) = 0, a = c^2 / vp^2, b = c^2 / vs^2:
// (vp / c) dc/dvp = a R_a / (a R_a + b R_b), (vs / c) dc/dvs = 1 - that.
TEST(ModalAttenuation, OfTheHalfSpaceRayleighWaveHasItsClosedForm) {
    const std::vector<Layer> layers = example(std::string(VEMLARI_SOURCE_DIR) + "/examples/halfspace.csv");
    const Model model(layers);
    const Layer& l = layers[0];
    const Modes modes = find_modes(model, Frequencies::hertz({0.5, 4.0}));
    const Kernels kernels = sensitivity_kernels(model, modes);
    for (std::size_t i = 0; i < 2; ++i) {
        const double c = modes.rayleigh.phase_velocity[i][0];
        const double a = c * c / (l.vp * l.vp), b = c * c / (l.vs * l.vs);
        const double ra = 2 * std::sqrt(1 - b) / std::sqrt(1 - a),
                     rb = -2 * (2 - b) + 2 * std::sqrt(1 - a) / std::sqrt(1 - b);
        const double p_share = a * ra / (a * ra + b * rb);
        const double inverse_q = p_share / l.qp + (1 - p_share) / l.qs;
        const ModeKernels& k = kernels.rayleigh.modes[i][0];
        EXPECT_NEAR(k.inverse_q, inverse_q, 1e-8 * inverse_q);
        EXPECT_NEAR(k.gamma, 2 * pi * modes.frequencies.frequency(i) * inverse_q / (2 * c), 1e-8 * k.gamma);
        // No length scale: the group velocity kernels are the phase velocity kernels.
        EXPECT_NEAR(k.du_dvs[0], k.dc_dvs[0], 1e-12);
        EXPECT_NEAR(k.dc_dvp[0] * l.vp / c, p_share, 1e-8);
    }
}

// Constant-Q dispersion moves each velocity from v to v (1 + ln(f / f_ref) / (pi Q)); along
// that straight path c changes by the integral of sum_j dc/dv_j v_j ln(f / f_ref) / (pi Q_j),
// which the trapezoidal rule on the kernels of the two ends (the elastic model's, the
// dispersed one's) gives to second order. Each frequency's kernels are those of its
// dispersed model, whose sum rule gives its own c, and so are its properties.
TEST(ModalAttenuation, PhysicalDispersionMovesEachModeAlongItsKernels) {
    const std::vector<Layer> layers = example(std::string(VEMLARI_SOURCE_DIR) + "/examples/crust.csv");
    const Model model(layers);
    const Frequencies f = Frequencies::hertz({0.1, 0.4});
    SearchOptions o = tight(Wave::love, 1);
    o.rayleigh = true;
    const Sensitivities plain = sensitivities(model, f, o), dispersed = sensitivities(model, f, o, true);
    for (Wave wave : {Wave::love, Wave::rayleigh}) {
        for (std::size_t i = 0; i < f.size(); ++i) {
            const Model at = dispersed_model(model, f.frequency(i));
            ASSERT_EQ(plain.modes[wave].phase_velocity[i].size(), 2u);
            ASSERT_EQ(dispersed.modes[wave].phase_velocity[i].size(), 2u);
            for (std::size_t m = 0; m < 2; ++m) {
                const double c = plain.modes[wave].phase_velocity[i][m],
                             cd = dispersed.modes[wave].phase_velocity[i][m];
                const ModeKernels &k0 = plain.kernels[wave].modes[i][m], &k = dispersed.kernels[wave].modes[i][m];
                double shift = 0.0;
                for (std::size_t j = 0; j < layers.size(); ++j) {
                    const Layer& l = layers[j];
                    shift += 0.5 * std::log(f.frequency(i) / l.fs) / (pi * l.qs) * l.vs * (k0.dc_dvs[j] + k.dc_dvs[j]);
                    shift += 0.5 * std::log(f.frequency(i) / l.fp) / (pi * l.qp) * l.vp * (k0.dc_dvp[j] + k.dc_dvp[j]);
                }
                EXPECT_NEAR(cd - c, shift, 3e-4 * std::fabs(shift));
                double sum = 0.0;
                for (std::size_t j = 0; j < at.size(); ++j)
                    sum += at[j].vp * k.dc_dvp[j] + at[j].vs * k.dc_dvs[j] + at[j].thickness * k.dc_dh[j];
                EXPECT_NEAR(sum / cd, 1.0, 1e-9);
                const Modes alone = find_modes(at, Frequencies::hertz({f.frequency(i)}), o);
                EXPECT_EQ(dispersed.properties[wave].modes[i][m].group_velocity,
                          mode_properties(at, alone)[wave].modes[0][m].group_velocity);
            }
        }
    }
    EXPECT_THROW(sensitivities(model, Frequencies::hertz({0.0, 0.1}), o, true), Error);
}

}  // namespace
}  // namespace vemlari

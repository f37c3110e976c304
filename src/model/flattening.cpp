// The earth-flattening transformation: a spherical model as flat sublayers, and the flat
// model's kernels and eigenfunctions back on the sphere.
#include <cmath>
#include <cstddef>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "vemlari/flattening.h"

namespace vemlari {

namespace {

// The flat density is (r / a)^p rho. Love waves, exact: with X = W / r the toroidal
// equation of order l, L = (l - 1)(l + 2), is (mu r^4 X')' = (L mu r^2 - omega^2 rho r^4) X;
// d/dr = -(a / r) d/dz_f turns it into (mu (r/a)^3 X_z)_z = (L / a^2 mu (r/a)^3 - omega^2
// rho (r/a)^5) X, the flat SH equation of V = a X = (a / r) W with mu_f = (r/a)^3 mu and
// rho_f = (r/a)^5 rho (so v_f = (a / r) v) at k^2 a^2 = L; the surface traction mu r X'
// vanishes with V_z. Rayleigh waves: the exponent that brings the flat fundamental mode of
// a sphere closest to the spheroidal one.
constexpr double love_exponent = 5.0;
constexpr double rayleigh_exponent = 2.275;
// Sublayers, in flat depth over the radius (in ln(a / r)): from `thinnest` at a layer's top,
// each `growth` times the one above, up to `thickest`, then equal and at most that. Thick
// ones follow the gradients of a long wave to second order in their thickness; the thin
// ones at a layer's top serve a wave shorter than they are thick, which would see a
// sublayer's middle as its top, and keep the flat model the spherical one as a grows.
constexpr double thinnest = 1e-7;
constexpr double growth = 1.25;
constexpr double thickest = 2.5e-4;

std::string number(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

void check_radius(double radius) {
    if (!(std::isfinite(radius) && radius > 0.0))
        throw Error(Error::Rule::option, "radius = " + number(radius) + " must be a positive finite number (m)", 0,
                    "radius", radius);
}

double exponent_of(Wave wave) { return wave == Wave::love ? love_exponent : rayleigh_exponent; }

Layer transformed(const Layer& l, double thickness, double velocity_factor, double p) {
    Layer f = l;
    f.thickness = thickness;
    f.vp = l.vp * velocity_factor;
    f.vs = l.vs * velocity_factor;
    // A radially anisotropic layer's horizontal velocities alike (0, "as vp, vs", stays 0);
    // eta, a ratio of constants, is kept.
    f.vph = l.vph * velocity_factor;
    f.vsh = l.vsh * velocity_factor;
    f.density = l.density * std::pow(velocity_factor, -p);
    return f;
}

}  // namespace

double flat_depth(double depth, double radius) {
    check_radius(radius);
    if (!(depth >= 0.0 && depth < radius))
        throw Error(
            Error::Rule::request,
            "depth = " + number(depth) + " m must lie between 0 and the radius " + number(radius) + " m (excluded)", 0,
            "depth", depth);
    return -radius * std::log1p(-depth / radius);
}

double spherical_depth(double flat_depth, double radius) {
    check_radius(radius);
    if (!(std::isfinite(flat_depth) && flat_depth >= 0.0))
        throw Error(Error::Rule::request, "flat depth = " + number(flat_depth) + " m must be a finite number >= 0", 0,
                    "depth", flat_depth);
    return -radius * std::expm1(-flat_depth / radius);
}

FlatModel flatten(const Model& spherical, Wave wave, double radius) {
    check_radius(radius);
    const double a = radius;
    const double p = exponent_of(wave);
    const std::size_t n = spherical.size();
    // Flat depths of the layer tops.
    std::vector<double> top(n, 0.0);
    double depth = 0.0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        depth += spherical[i].thickness;
        if (!(depth < a))
            throw Error(Error::Rule::request,
                        "layer " + std::to_string(i + 1) + ": its bottom at depth " + number(depth) +
                            " m reaches the radius " + number(a) + " m",
                        static_cast<int>(i + 1), "thickness", spherical[i].thickness);
        top[i + 1] = -a * std::log1p(-depth / a);
    }
    std::vector<Layer> layers;
    std::vector<int> from;
    std::vector<double> factors, weights;
    auto add = [&](std::size_t i, double thickness, double mid, double weight) {
        const double f = std::exp(mid / a);
        layers.push_back(transformed(spherical[i], thickness, f, p));
        from.push_back(static_cast<int>(i));
        factors.push_back(f);
        weights.push_back(weight);
    };
    for (std::size_t i = 0; i < n; ++i) {
        const bool last = i + 1 == n;
        // The last layer spans ln 2 (to half the radius of its top) and moves as a whole.
        const double span = last ? a * std::log(2.0) : top[i + 1] - top[i];
        double above = 0.0, t = 0.0, h = thinnest * a;
        auto sublayer = [&](double bottom, double weight) {
            add(i, bottom - above, top[i] + 0.5 * (above + bottom), last ? 0.0 : weight);
            above = bottom;
        };
        for (; h < thickest * a && t + h < span; h *= growth) {
            t += h;
            sublayer(t, 0.0);
        }
        if (h < thickest * a) {
            sublayer(span, 1.0);
        } else {
            const double rest = span - t;
            const double count = std::fmax(1.0, std::ceil(rest / (thickest * a)));
            for (double k = 1.0; k < count; k += 1.0) sublayer(t + rest * (k / count), k / count);
            sublayer(span, 1.0);
        }
        if (last) add(i, 0.0, top[i] + span, 0.0);
    }
    return FlatModel{Model(std::move(layers)), wave, a, p, std::move(from), std::move(factors), std::move(weights)};
}

namespace {

// One quantity's kernels (c, U or H/V) with respect to S velocity, P velocity, density and
// thickness.
struct Quantity {
    std::vector<double> ModeKernels::*dvs;
    std::vector<double> ModeKernels::*dvp;
    std::vector<double> ModeKernels::*drho;
    std::vector<double> ModeKernels::*dh;
};
constexpr Quantity quantities[] = {
    {&ModeKernels::dc_dvs, &ModeKernels::dc_dvp, &ModeKernels::dc_drho, &ModeKernels::dc_dh},
    {&ModeKernels::du_dvs, &ModeKernels::du_dvp, &ModeKernels::du_drho, &ModeKernels::du_dh},
    {&ModeKernels::dhv_dvs, &ModeKernels::dhv_dvp, &ModeKernels::dhv_drho, &ModeKernels::dhv_dh}};

// The chain rule for one quantity q, from `k` (flat layers) into `out` (spherical layers).
void sum_back(const FlatModel& flat, const Quantity& q, const ModeKernels& k, ModeKernels& out) {
    const Model& m = flat.model;
    const std::size_t nf = m.size();
    const double a = flat.radius;
    const double p = flat.density_exponent;
    const auto n = static_cast<std::size_t>(flat.spherical_layer.back()) + 1;
    for (auto f : {q.dvs, q.dvp, q.drho, q.dh}) (out.*f).assign(n, 0.0);
    const std::vector<double>&dvs = k.*q.dvs, &dvp = k.*q.dvp, &drho = k.*q.drho, &dh = k.*q.dh;
    // moved[i]: dq/dZ for the flat depth Z of layer i's top moved alone, every flat boundary
    // following it by its weight; stretch[i] = dZ/dz = a / r there.
    std::vector<double> moved(n, 0.0), stretch(n, 1.0);
    double z = 0.0, above = 0.0;  // flat depth and weight of the current flat layer's top
    for (std::size_t j = 0; j < nf; ++j) {
        const auto i = static_cast<std::size_t>(flat.spherical_layer[j]);
        if (j == 0 || flat.spherical_layer[j - 1] != flat.spherical_layer[j]) {
            stretch[i] = std::exp(z / a);
            above = 0.0;
        }
        const double vf = flat.velocity_factor[j];
        (out.*q.dvs)[i] += dvs[j] * vf;
        (out.*q.dvp)[i] += dvp[j] * vf;
        (out.*q.drho)[i] += drho[j] * std::pow(vf, -p);
        // The values follow the flat layer's middle (d ln v_f / dZ = 1 / a, d ln rho_f / dZ =
        // -p / a), its thickness the difference of its boundaries' moves.
        const double shift = (m[j].vs * dvs[j] + m[j].vp * dvp[j] - p * m[j].density * drho[j]) / a;
        const double below = flat.bottom_weight[j], middle = 0.5 * (above + below), thicker = below - above;
        moved[i] += (1.0 - middle) * shift - thicker * dh[j];
        if (i + 1 < n) moved[i + 1] += middle * shift + thicker * dh[j];
        above = below;
        z += m[j].thickness;
    }
    // Layer j's thickness moves every interface below it by the same radial length.
    double sum = 0.0;
    for (std::size_t j = n - 1; j-- > 0;) {
        sum += stretch[j + 1] * moved[j + 1];
        (out.*q.dh)[j] = sum;
    }
}

}  // namespace

ModeKernels spherical_kernels(const FlatModel& flat, const ModeKernels& k) {
    const std::size_t nf = flat.model.size();
    if (flat.spherical_layer.size() != nf || flat.velocity_factor.size() != nf || flat.bottom_weight.size() != nf)
        throw Error(Error::Rule::request, "a flat model whose tables do not have one entry per flat layer");
    for (const Quantity& q : quantities)
        for (auto f : {q.dvs, q.dvp, q.drho, q.dh})
            if ((k.*f).size() != nf)
                throw Error(Error::Rule::request, "kernels of " + std::to_string((k.*f).size()) +
                                                      " layers given for a flat model of " + std::to_string(nf));
    ModeKernels out;
    out.inverse_q = k.inverse_q;
    out.gamma = k.gamma;
    out.du_defined = k.du_defined;
    for (const Quantity& q : quantities) sum_back(flat, q, k, out);
    // Radially anisotropic layers: the horizontal velocities scale as the vertical ones, eta
    // is the same in the flat layers.
    if (!k.dc_deta.empty()) {
        const auto n = static_cast<std::size_t>(flat.spherical_layer.back()) + 1;
        for (auto* v : {&out.dc_dvsh, &out.dc_dvph, &out.dc_deta}) v->assign(n, 0.0);
        for (std::size_t j = 0; j < nf; ++j) {
            const auto i = static_cast<std::size_t>(flat.spherical_layer[j]);
            out.dc_dvsh[i] += k.dc_dvsh[j] * flat.velocity_factor[j];
            out.dc_dvph[i] += k.dc_dvph[j] * flat.velocity_factor[j];
            out.dc_deta[i] += k.dc_deta[j];
        }
    }
    return out;
}

Eigenfunctions spherical_eigenfunctions(const FlatModel& flat, const Eigenfunctions& e) {
    if (e.wave != flat.wave)
        throw Error(Error::Rule::request, "eigenfunctions of the other wave than the flat model's");
    const std::size_t nd = e.depth.size();
    const bool love = e.wave == Wave::love;
    for (const std::vector<double>* v :
         love ? std::vector{&e.displacement, &e.stress} : std::vector{&e.horizontal, &e.vertical, &e.shear, &e.normal})
        if (v->size() != nd)
            throw Error(Error::Rule::request, "eigenfunctions with " + std::to_string(v->size()) + " values at " +
                                                  std::to_string(nd) + " depths");
    const double a = flat.radius;
    const double p = flat.density_exponent;
    // u = (r / a)^m u_f keeps the kinetic energy (rho u^2 r^2 dr = a^2 rho_f u_f^2 dz_f) for
    // m = (p - 3) / 2; a traction, mu du/dz with mu = (a / r)^(p - 2) mu_f and
    // d/dz = (a / r) d/dz_f, takes (a / r)^(p - 1 - m).
    const double displacement_power = (p - 3.0) / 2.0;
    const double traction_power = -(p + 1.0) / 2.0;
    Eigenfunctions out = e;
    for (std::size_t i = 0; i < nd; ++i) {
        const double zf = e.depth[i];
        const double q = std::exp(-zf / a);  // r / a
        out.depth[i] = -a * std::expm1(-zf / a);
        const double su = std::pow(q, displacement_power), st = std::pow(q, traction_power);
        if (love) {
            out.displacement[i] *= su;
            out.stress[i] *= st;
        } else {
            out.horizontal[i] *= su;
            out.vertical[i] *= su;
            out.shear[i] *= st;
            out.normal[i] *= st;
        }
    }
    return out;
}

}  // namespace vemlari

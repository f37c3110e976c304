// Modes of transversely isotropic models by slices, doubling and quadrature.
#include "eigen/transverse_mode.h"

#include <array>
#include <cmath>

#include "kernels/rayleigh_transverse.h"

namespace vemlari::detail {

namespace {

// A small dense matrix, row major.
template <int R, int C>
struct M {
    std::array<double, R * C> v{};
    double& operator()(int i, int j) { return v[static_cast<std::size_t>(i * C + j)]; }
    double operator()(int i, int j) const { return v[static_cast<std::size_t>(i * C + j)]; }
};

template <int R, int K, int C>
M<R, C> operator*(const M<R, K>& x, const M<K, C>& y) {
    M<R, C> r;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) {
            double s = 0.0;
            for (int q = 0; q < K; ++q) s += x(i, q) * y(q, j);
            r(i, j) = s;
        }
    return r;
}

template <int R, int C>
M<R, C> operator+(M<R, C> x, const M<R, C>& y) {
    for (std::size_t i = 0; i < x.v.size(); ++i) x.v[i] += y.v[i];
    return x;
}

template <int R, int C>
M<R, C> operator-(M<R, C> x, const M<R, C>& y) {
    for (std::size_t i = 0; i < x.v.size(); ++i) x.v[i] -= y.v[i];
    return x;
}

template <int R, int C>
M<R, C> scaled(M<R, C> x, double f) {
    for (double& e : x.v) e *= f;
    return x;
}

template <int R, int C>
M<C, R> transpose(const M<R, C>& x) {
    M<C, R> r;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) r(j, i) = x(i, j);
    return r;
}

template <int N>
M<N, N> identity() {
    M<N, N> r;
    for (int i = 0; i < N; ++i) r(i, i) = 1.0;
    return r;
}

template <int N>
M<N, N> symmetric(const M<N, N>& x) {
    return scaled(x + transpose(x), 0.5);
}

// Inverses of 1 x 1 and 2 x 2 matrices.
M<1, 1> inverse(const M<1, 1>& x) {
    M<1, 1> r;
    r(0, 0) = 1.0 / x(0, 0);
    return r;
}
M<2, 2> inverse(const M<2, 2>& x) {
    const double d = x(0, 0) * x(1, 1) - x(0, 1) * x(1, 0);
    M<2, 2> r;
    r(0, 0) = x(1, 1) / d;
    r(0, 1) = -x(0, 1) / d;
    r(1, 0) = -x(1, 0) / d;
    r(1, 1) = x(0, 0) / d;
    return r;
}

template <int R, int C, int R0, int C0, int RS, int CS>
M<RS, CS> block(const M<R, C>& x) {
    M<RS, CS> r;
    for (int i = 0; i < RS; ++i)
        for (int j = 0; j < CS; ++j) r(i, j) = x(R0 + i, C0 + j);
    return r;
}

template <int R, int C, int RS, int CS>
void place(M<R, C>& x, const M<RS, CS>& b, int r0, int c0) {
    for (int i = 0; i < RS; ++i)
        for (int j = 0; j < CS; ++j) x(r0 + i, c0 + j) = b(i, j);
}

template <int R, int C>
double largest(const M<R, C>& x) {
    double r = 0.0;
    for (double e : x.v) r = std::fmax(r, std::fabs(e));
    return r;
}

constexpr double slice_norm = 0.5;
constexpr int max_doublings = 1100;
constexpr int forms = 6;  // U U, W W, W' W', U W', X X, X W (Love: V V, -, -, -, Y Y, -)

// Gauss-Legendre nodes and weights on [-1, 1], 8 points: exact for the slices' fields to a
// rounding error (their propagators' series converge like 0.5^n / n!).
constexpr double gauss_x[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
constexpr double gauss_w[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};

// One layer's scaled constants: A, C, F, L, N and w = rho c^2, over mu_N.
struct Scaled {
    double a, c, f, l, n, w;
};

// The system matrix d/ds of the state (displacements, tractions over L) in s = wn z, and the
// linear functionals the energy forms are products of (on the state with tractions over mu_N).
template <int D>
struct Motion;

template <>
struct Motion<2> {
    static M<4, 4> system(const Scaled& k) {
        const double a = k.a / k.l, c = k.c / k.l, f = k.f / k.l, v = k.w / k.l;
        M<4, 4> m;
        m(0, 1) = 1.0;
        m(0, 2) = 1.0;
        m(1, 0) = -f / c;
        m(1, 3) = 1.0 / c;
        m(2, 0) = (a * c - f * f) / c - v;
        m(2, 3) = f / c;
        m(3, 1) = -v;
        m(3, 2) = -1.0;
        return m;
    }
    // U, W, W' = (Z - f U) / c, X / l.
    static std::array<std::array<double, 4>, 4> functionals(const Scaled& k) {
        return {{{1.0, 0.0, 0.0, 0.0},
                 {0.0, 1.0, 0.0, 0.0},
                 {-k.f / k.c, 0.0, 0.0, 1.0 / k.c},
                 {0.0, 0.0, 1.0 / k.l, 0.0}}};
    }
    static constexpr int pairs[forms][2] = {{0, 0}, {1, 1}, {2, 2}, {0, 2}, {3, 3}, {3, 1}};
    static M<2, 2> half_space(const Scaled& k) {
        const Sym2 z = transverse_half_space_stiffness({k.a, k.c, k.f, k.l, k.n}, k.w);
        M<2, 2> r;
        r(0, 0) = z.xx;
        r(0, 1) = r(1, 0) = z.xz;
        r(1, 1) = z.zz;
        return r;
    }
};

template <>
struct Motion<1> {
    static M<2, 2> system(const Scaled& k) {
        M<2, 2> m;
        m(0, 1) = 1.0;
        m(1, 0) = (k.n - k.w) / k.l;
        return m;
    }
    // V, Y / l.
    static std::array<std::array<double, 2>, 2> functionals(const Scaled& k) {
        return {{{1.0, 0.0}, {0.0, 1.0 / k.l}}};
    }
    static constexpr int pairs[forms][2] = {{0, 0}, {-1, -1}, {-1, -1}, {-1, -1}, {1, 1}, {-1, -1}};
    static M<1, 1> half_space(const Scaled& k) {
        M<1, 1> r;
        r(0, 0) = std::sqrt(std::fmax(0.0, k.l * (k.n - k.w)));
        return r;
    }
};

// exp(s M) in the state with tractions over mu_N, from the system matrix in the layer's own
// unit L (h |M| <= slice_norm).
template <int S>
M<S, S> propagator(const M<S, S>& m, double s, double unit) {
    M<S, S> p = identity<S>(), term = identity<S>();
    for (int n = 1; n <= 30; ++n) {
        term = scaled(term * m, s / n);
        p = p + term;
        if (largest(term) < 1e-18) break;
    }
    // y = diag(1, unit) y_own
    for (int i = 0; i < S; ++i)
        for (int j = 0; j < S; ++j) {
            if (i >= S / 2) p(i, j) *= unit;
            if (j >= S / 2) p(i, j) /= unit;
        }
    return p;
}

// A layer's stiffness blocks and its energy forms over (u_top, u_bottom).
template <int D>
struct Element {
    bool empty = false;
    M<D, D> tt, tb, bb;
    std::array<M<2 * D, 2 * D>, forms> q;
};

// The stiffness blocks of one doubling level.
template <int D>
struct Blocks {
    M<D, D> tt, tb, bb;
};

// A layer: its element, and for its field inside, the slice (thickness, system matrix) and
// the stiffness of every level from the slice (0) up.
template <int D>
struct Layered {
    Element<D> e;
    double slice = 0.0;
    M<2 * D, 2 * D> m;
    std::vector<Blocks<D>> levels;
};

template <int D>
double norm_of(const M<2 * D, 2 * D>& m) {
    double r = 0.0;
    for (int i = 0; i < 2 * D; ++i) {
        double s = 0.0;
        for (int j = 0; j < 2 * D; ++j) s += std::fabs(m(i, j));
        r = std::fmax(r, s);
    }
    return r;
}

// The slice of thickness h: stiffness from its propagator, forms by quadrature of the field
// y(s) = P(s) [u_t; t_t] with t_t = -(K_tt u_t + K_tb u_b).
template <int D>
Element<D> slice(const Scaled& k, const M<2 * D, 2 * D>& m, double h) {
    constexpr int S = 2 * D;
    const M<S, S> p = propagator<S>(m, h, k.l);
    const M<D, D> inv12 = inverse(block<S, S, 0, D, D, D>(p));
    Element<D> e;
    e.tt = inv12 * block<S, S, 0, 0, D, D>(p);
    e.tb = scaled(inv12, -1.0);
    e.bb = block<S, S, D, D, D, D>(p) * inv12;
    // [u_t; t_t] = R [u_t; u_b]
    M<S, S> r;
    place(r, identity<D>(), 0, 0);
    place(r, scaled(e.tt, -1.0), D, 0);
    place(r, scaled(e.tb, -1.0), D, D);
    const auto fn = Motion<D>::functionals(k);
    for (M<S, S>& q : e.q) q = M<S, S>{};
    for (int g = 0; g < 8; ++g) {
        const double x = g < 4 ? -gauss_x[3 - g] : gauss_x[g - 4], wt = gauss_w[g < 4 ? 3 - g : g - 4];
        const M<S, S> b = propagator<S>(m, 0.5 * h * (1.0 + x), k.l) * r;
        // The functionals on [u_t; u_b].
        std::array<std::array<double, S>, S> phi{};
        for (int f = 0; f < S; ++f)
            for (int j = 0; j < S; ++j) {
                double v = 0.0;
                for (int i = 0; i < S; ++i) v += fn[static_cast<std::size_t>(f)][static_cast<std::size_t>(i)] * b(i, j);
                phi[static_cast<std::size_t>(f)][static_cast<std::size_t>(j)] = v;
            }
        for (int n = 0; n < forms; ++n) {
            const int p1 = Motion<D>::pairs[n][0], p2 = Motion<D>::pairs[n][1];
            if (p1 < 0) continue;
            for (int i = 0; i < S; ++i)
                for (int j = 0; j < S; ++j)
                    e.q[static_cast<std::size_t>(n)](i, j) +=
                        0.5 * h * wt * phi[static_cast<std::size_t>(p1)][static_cast<std::size_t>(i)] *
                        phi[static_cast<std::size_t>(p2)][static_cast<std::size_t>(j)];
        }
    }
    for (M<S, S>& q : e.q) q = symmetric(q);
    return e;
}

// The layer of scaled thickness h: a slice doubled, its middle node condensed.
template <int D>
Layered<D> element(const Scaled& k, double h) {
    constexpr int S = 2 * D;
    Layered<D> x;
    Element<D>& e = x.e;
    e.empty = h == 0.0;
    if (e.empty) return x;
    x.m = Motion<D>::system(k);
    const double size = norm_of<D>(x.m);
    double part = h;
    int doublings = 0;
    while (part * size > slice_norm && doublings < max_doublings) {
        part *= 0.5;
        ++doublings;
    }
    x.slice = part;
    e = slice<D>(k, x.m, part);
    for (int d = 0; d < doublings; ++d) {
        x.levels.push_back({e.tt, e.tb, e.bb});
        const M<D, D> inv = inverse(e.bb + e.tt), bt = transpose(e.tb);
        const M<D, D> gt = scaled(inv * bt, -1.0), gb = scaled(inv * e.tb, -1.0);
        M<S, S> e1, e2;
        place(e1, identity<D>(), 0, 0);
        place(e1, gt, D, 0);
        place(e1, gb, D, D);
        place(e2, gt, 0, 0);
        place(e2, gb, 0, D);
        place(e2, identity<D>(), D, D);
        for (M<S, S>& q : e.q) q = symmetric(transpose(e1) * q * e1 + transpose(e2) * q * e2);
        const M<D, D> tt = e.tt - e.tb * inv * bt, bb = e.bb - bt * inv * e.tb;
        e.tb = scaled(e.tb * inv * e.tb, -1.0);
        e.tt = symmetric(tt);
        e.bb = symmetric(bb);
    }
    x.levels.push_back({e.tt, e.tb, e.bb});
    return x;
}

// The middle node's displacement of a piece with these blocks and face displacements.
template <int D>
M<D, 1> middle(const Blocks<D>& half, const M<D, 1>& top, const M<D, 1>& bottom) {
    return scaled(inverse(half.bb + half.tt) * (transpose(half.tb) * top + half.tb * bottom), -1.0);
}

// The state (displacements, tractions over mu_N) at s within a slice of these blocks.
template <int D>
M<2 * D, 1> in_slice(const M<2 * D, 2 * D>& m, double unit, const Blocks<D>& b, const M<D, 1>& top,
                     const M<D, 1>& bottom, double s) {
    M<2 * D, 1> y;
    place(y, top, 0, 0);
    place(y, scaled(b.tt * top + b.tb * bottom, -1.0), D, 0);
    return propagator<2 * D>(m, s, unit) * y;
}

// The state at s (scaled, from the layer's top) inside a layer, from its faces' displacements.
template <int D>
M<2 * D, 1> in_layer(const Layered<D>& x, double unit, M<D, 1> top, M<D, 1> bottom, double s) {
    double length = x.slice * std::ldexp(1.0, static_cast<int>(x.levels.size()) - 1);
    for (std::size_t level = x.levels.size() - 1; level-- > 0;) {
        length *= 0.5;
        const M<D, 1> mid = middle<D>(x.levels[level], top, bottom);
        if (s <= length) {
            bottom = mid;
        } else {
            top = mid;
            s -= length;
        }
    }
    return in_slice<D>(x.m, unit, x.levels.front(), top, bottom, std::fmin(s, x.slice));
}

// The half-space: its stiffness and its energy forms over the displacement of its top.
template <int D>
struct HalfSpace {
    M<D, D> z;
    std::array<M<D, D>, forms> x;
    // Its slices: thickness, system matrix, stiffness, and G carrying u from one to the next.
    double slice = 0.0;
    M<2 * D, 2 * D> m;
    Blocks<D> blocks;
    M<D, D> g;
};

template <int D>
HalfSpace<D> half_space(const Scaled& k) {
    constexpr int S = 2 * D;
    HalfSpace<D> hs;
    hs.z = Motion<D>::half_space(k);
    const M<S, S> m = Motion<D>::system(k);
    hs.m = m;
    hs.slice = slice_norm / norm_of<D>(m);
    const Element<D> e = slice<D>(k, m, hs.slice);
    hs.blocks = {e.tt, e.tb, e.bb};
    // u_(n+1) = G u_n
    const M<D, D> g = scaled(inverse(e.bb + hs.z) * transpose(e.tb), -1.0);
    hs.g = g;
    M<S, D> lift;
    place(lift, identity<D>(), 0, 0);
    place(lift, g, D, 0);
    for (int n = 0; n < forms; ++n) {
        M<D, D> x = symmetric(transpose(lift) * e.q[static_cast<std::size_t>(n)] * lift);
        M<D, D> power = g;
        for (int i = 0; i < 200 && largest(power) > 1e-18; ++i) {
            x = symmetric(x + transpose(power) * x * power);
            power = power * power;
        }
        hs.x[static_cast<std::size_t>(n)] = x;
    }
    return hs;
}

template <int D>
double form(const M<2 * D, 2 * D>& q, const M<D, 1>& top, const M<D, 1>& bottom) {
    M<2 * D, 1> v;
    place(v, top, 0, 0);
    place(v, bottom, D, 0);
    return (transpose(v) * q * v)(0, 0);
}

template <int D>
M<D, 1> null_vector(const M<D, D>& z) {
    M<D, 1> u;
    if constexpr (D == 1) {
        u(0, 0) = 1.0;
    } else {
        if (std::fabs(z(0, 0)) + std::fabs(z(0, 1)) >= std::fabs(z(1, 0)) + std::fabs(z(1, 1))) {
            u(0, 0) = -z(0, 1);
            u(1, 0) = z(0, 0);
        } else {
            u(0, 0) = z(1, 1);
            u(1, 0) = -z(1, 0);
        }
    }
    return u;
}

// The mode's stack: every layer's slices, the half-space and the interface displacements,
// normalised to unit surface displacement (vertical for Rayleigh waves); false where the
// surface does not move.
template <int D>
struct Field {
    double wn = 0.0, mu_n = 0.0;
    std::vector<Scaled> k;
    std::vector<Layered<D>> layers;
    HalfSpace<D> hs;
    std::vector<M<D, 1>> u;
    bool build(double om, double c, int at, const Nstrc& s);
    // The state at depth z (m) in physical tractions.
    M<2 * D, 1> at_depth(double z, const Nstrc& s) const;
};

template <int D>
bool Field<D>::build(double om, double c, int at, const Nstrc& s) {
    const int nl = s.nl;
    wn = om / c;
    mu_n = layer_moduli(s, nl).l;
    k.assign(static_cast<std::size_t>(nl) + 1, {});
    for (int l = 1; l <= nl; ++l) {
        const LayerModuli m = layer_moduli(s, l);
        const auto j = static_cast<std::size_t>(l);
        k[j] = {m.a / mu_n, m.c / mu_n, m.f / mu_n, m.l / mu_n, m.n / mu_n, s.rho[j] / mu_n * c * c};
    }
    layers.assign(static_cast<std::size_t>(nl), {});
    for (int l = 1; l < nl; ++l)
        layers[static_cast<std::size_t>(l)] =
            element<D>(k[static_cast<std::size_t>(l)], wn * s.thk[static_cast<std::size_t>(l)]);
    hs = half_space<D>(k[static_cast<std::size_t>(nl)]);
    std::vector<Element<D>> e(static_cast<std::size_t>(nl));
    for (int l = 1; l < nl; ++l) e[static_cast<std::size_t>(l)] = layers[static_cast<std::size_t>(l)].e;
    // The stacks below and above every interface j (the top of layer j).
    std::vector<M<D, D>> below(static_cast<std::size_t>(nl) + 1), above(static_cast<std::size_t>(nl) + 1);
    below[static_cast<std::size_t>(nl)] = hs.z;
    for (int j = nl - 1; j >= 1; --j) {
        const Element<D>& x = e[static_cast<std::size_t>(j)];
        const M<D, D>& z = below[static_cast<std::size_t>(j + 1)];
        below[static_cast<std::size_t>(j)] = x.empty ? z : symmetric(x.tt - x.tb * inverse(x.bb + z) * transpose(x.tb));
    }
    for (int j = 1; j < nl; ++j) {
        const Element<D>& x = e[static_cast<std::size_t>(j)];
        const M<D, D>& z = above[static_cast<std::size_t>(j)];
        above[static_cast<std::size_t>(j + 1)] =
            x.empty ? z : symmetric(x.bb - transpose(x.tb) * inverse(x.tt + z) * x.tb);
    }
    const int i = at >= 1 && at < nl ? at : 1;
    u.assign(static_cast<std::size_t>(nl) + 1, {});
    u[static_cast<std::size_t>(i)] =
        null_vector<D>(below[static_cast<std::size_t>(i)] + above[static_cast<std::size_t>(i)]);
    for (int j = i; j < nl; ++j) {
        const Element<D>& x = e[static_cast<std::size_t>(j)];
        u[static_cast<std::size_t>(j + 1)] = x.empty ? u[static_cast<std::size_t>(j)]
                                                     : scaled(inverse(x.bb + below[static_cast<std::size_t>(j + 1)]) *
                                                                  transpose(x.tb) * u[static_cast<std::size_t>(j)],
                                                              -1.0);
    }
    for (int j = i - 1; j >= 1; --j) {
        const Element<D>& x = e[static_cast<std::size_t>(j)];
        u[static_cast<std::size_t>(j)] =
            x.empty
                ? u[static_cast<std::size_t>(j + 1)]
                : scaled(inverse(x.tt + above[static_cast<std::size_t>(j)]) * x.tb * u[static_cast<std::size_t>(j + 1)],
                         -1.0);
    }
    const double surface = u[1](D - 1, 0);
    if (!(std::isfinite(surface) && surface != 0.0)) return false;
    for (M<D, 1>& x : u) x = scaled(x, 1.0 / surface);
    return true;
}

template <int D>
M<2 * D, 1> Field<D>::at_depth(double z, const Nstrc& s) const {
    double top = 0.0;
    M<2 * D, 1> y;
    int l = 1;
    // A depth on an interface belongs to the layer above.
    while (l < s.nl && z > top + s.thk[static_cast<std::size_t>(l)]) top += s.thk[static_cast<std::size_t>(l++)];
    const auto j = static_cast<std::size_t>(l);
    const double unit = k[j].l, depth = wn * (z - top);
    if (l < s.nl) {
        y = layers[j].e.empty ? M<2 * D, 1>{} : in_layer<D>(layers[j], unit, u[j], u[j + 1], depth);
        if (layers[j].e.empty) place(y, u[j], 0, 0);
    } else {
        // Whole slices below the half-space's top, by squaring G.
        const double n = std::floor(depth / hs.slice);
        M<D, 1> at = u[j];
        M<D, D> power = hs.g;
        for (double left = n; left >= 1.0; left = std::floor(left / 2.0)) {
            if (std::fmod(left, 2.0) == 1.0) at = power * at;
            power = power * power;
        }
        y = in_slice<D>(hs.m, unit, hs.blocks, at, hs.g * at, std::fmin(depth - n * hs.slice, hs.slice));
    }
    // Tractions over mu_N wn to stresses.
    for (int i = D; i < 2 * D; ++i) y(i, 0) *= mu_n * wn;
    return y;
}

template <int D>
TransverseMode mode(double om, double c, int at, const Nstrc& s) {
    TransverseMode r;
    Field<D> field;
    if (!field.build(om, c, at, s)) return r;
    const int nl = s.nl;
    const double wn = field.wn;
    const std::vector<M<D, 1>>& u = field.u;
    const std::vector<Layered<D>>& layers = field.layers;
    const HalfSpace<D>& hs = field.hs;
    r.horizontal = u[1](0, 0);
    r.layer.assign(static_cast<std::size_t>(nl) + 1, {});
    for (int l = 1; l <= nl; ++l) {
        const auto j = static_cast<std::size_t>(l);
        std::array<double, forms> v{};
        for (int n = 0; n < forms; ++n) {
            const auto f = static_cast<std::size_t>(n);
            if (l == nl)
                v[f] = (transpose(u[j]) * hs.x[f] * u[j])(0, 0);
            else if (!layers[j].e.empty)
                v[f] = form<D>(layers[j].e.q[f], u[j], u[j + 1]);
        }
        LayerEnergy& x = r.layer[j];
        // Back from s = wn z to depth: int g dz = int g ds / wn, d/dz = wn d/ds.
        if constexpr (D == 2) {
            x.rho = (v[0] + v[1]) / wn;
            x.a = wn * v[0];
            x.c = wn * v[2];
            x.f = 2.0 * wn * v[3];
            x.l = wn * v[4];
            x.lw = v[5];
        } else {
            x.rho = v[0] / wn;
            x.n = wn * v[0];
            x.l = wn * v[4];
        }
        const LayerModuli m = layer_moduli(s, l);
        r.inertia += s.rho[j] * x.rho;
        r.de_dk += (2.0 * (m.a * x.a + m.n * x.n) + m.f * x.f) / wn - 2.0 * m.l * x.lw;
    }
    r.group_velocity = r.de_dk / (2.0 * om * r.inertia);
    r.valid = std::isfinite(r.group_velocity) && r.inertia > 0.0;
    return r;
}

}  // namespace

LayerModuli layer_moduli(const Nstrc& s, int l) {
    const auto j = static_cast<std::size_t>(l);
    const double rho = s.rho[j];
    const double a = rho * s.vph[j] * s.vph[j], lm = rho * s.vs[j] * s.vs[j];
    return {a, rho * s.vp[j] * s.vp[j], s.eta[j] * (a - 2.0 * lm), lm, rho * s.vsh[j] * s.vsh[j]};
}

TransverseMode transverse_mode(Wave wave, double om, double c, int at, const Nstrc& s) {
    return wave == Wave::love ? mode<1>(om, c, at, s) : mode<2>(om, c, at, s);
}

bool transverse_eigenfunctions(double om, double c, int at, const Nstrc& s, std::span<const double> depths,
                               Eigenfunctions& out) {
    if (out.wave == Wave::love) {
        Field<1> f;
        if (!f.build(om, c, at, s)) return false;
        for (double z : depths) {
            const M<2, 1> y = f.at_depth(z, s);
            out.displacement.push_back(y(0, 0));
            out.stress.push_back(y(1, 0));
        }
        return true;
    }
    Field<2> f;
    if (!f.build(om, c, at, s)) return false;
    for (double z : depths) {
        const M<4, 1> y = f.at_depth(z, s);
        out.horizontal.push_back(y(0, 0));
        out.vertical.push_back(y(1, 0));
        out.shear.push_back(y(2, 0));
        out.normal.push_back(y(3, 0));
    }
    return true;
}

}  // namespace vemlari::detail

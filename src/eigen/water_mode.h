#pragma once
// Rayleigh modes of a model with water on top (fluid layers, vs = 0), from the dynamic
// stiffness of the layer stack that the mode count builds (kernels/mode_count.h).
//
// At a mode the stiffness Z_i = Z_below + Z_above at an interface i is singular; its null
// vector x is the mode's displacement there (u_x, u_z / i). The quadratic form
// Q = x^T K x of the physical stiffness K = mu_N wn Z(om, wn, model) vanishes at the mode and,
// Z being the exact condensation of the stack, is stationary in the displacement of every
// other depth, so that with x held fixed
//   group velocity        U = d om / d wn = -Q_wn / Q_om,
//   energy integral       I1 = 1/2 integral rho |u|^2 dz = -1/2 x^T dK/d(om^2) x,
//   phase-velocity kernel dc/dp = -Q_p / Q_c at fixed om, for any layer parameter p;
// the derivatives by central differences of sixth order (the group velocity on the step and
// at the interface where successive halvings agree best), taken of det Z / tr Z in place of
// Q: the two have equal first derivatives at the mode, and the former needs no null vector,
// whose rounding would enter them to first order. The displacement at every other interface
// follows from x by the elimination that condensed the stack, and a field inside a layer by
// splitting the layer there. Love modes of such a model are those of its solid layers
// (the calls strip the water).
#include <span>
#include <vector>

#include "eigen/phase_kernels.h"
#include "kernels/mode_count.h"
#include "model/nstrc.h"
#include "vemlari/results.h"

namespace vemlari::detail {

struct WaterModeProperties {
    double u = 0.0;   // group velocity (m/s)
    double e1 = 0.0;  // I1 with unit vertical displacement at the water's surface
    // |u_x / u_z| of the solid at the sea floor (the top of the first solid layer)
    double seafloor_hv = 0.0;
};

class WaterMode {
public:
    explicit WaterMode(const Nstrc& s);

    // The mode of phase velocity c (a root of the count's root function) at om, read at the
    // interface where its root function changes sign most gently (`at`, the one the search
    // refined it at, where none does).
    WaterModeProperties properties(double om, double c, int at);

    // Horizontal u_x and vertical u_z / i displacement, shear and normal traction (Pa per
    // unit vertical displacement at the water's surface) at the given depths (m, >= 0,
    // non-decreasing; a depth on an interface belongs to the layer above).
    void eigenfunctions(double om, double c, int at, std::span<const double> depths, Eigenfunctions& out);

    // Phase-velocity kernels (entries per layer, dvs of a fluid layer 0) and the group
    // velocity.
    void kernels(double om, double c, int at, PhaseKernels& out);

    // The root within `reach` of c0 at om, refined at interface `at`; false if none.
    bool polish(double om, double c0, double reach, int at, double& c);

private:
    struct Read {
        int i = 1;
        double x[2] = {0.0, 1.0};
    };
    Read read_at(double om, double c, int at);
    Read null_vector(int i) const;
    double group(double om, double wn, const Read& r, double h, double& q_om);
    double best_group(double om, double c, const Read& r, double& q_om);
    double form(const Nstrc& s, CountWork& w, double om, double wn, const Read& r);
    void displacements(const Nstrc& s, CountWork& w, double om, double wn, const Read& r, std::vector<double>& ux,
                       std::vector<double>& uz);

    const Nstrc& s_;
    CountWork work_;
    int fluid_ = 0;
    std::vector<double> ux_, uz_;
};

}  // namespace vemlari::detail

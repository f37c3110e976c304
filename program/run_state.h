#pragma once
// Run-state records of the program: filled once by the model reader, read by every later
// stage. Layer arrays are indexed from 1 (entry 1 is the top layer, entry nl the half-space).
#include <vector>

namespace vemlari {

constexpr int nml = 20;      // largest number of layers, half-space included
constexpr int mom = 700;     // largest frequency index the driver allows
constexpr int nfreq = 702;   // frequency indices the stages can hold: 0 .. 701
constexpr int nmode = 231;   // modes the stages can hold: 0 .. 230
constexpr int ndepth = 702;  // depth points of the eigenfunction files

// The model file's layers as read (entry 0 unused); nl is the count the file announces
// until its layers are read.
struct LayerTable {
    std::vector<double> rho{0.0};
    std::vector<double> vp{0.0};
    std::vector<double> vs{0.0};
    std::vector<double> thk{0.0};
    int nl = 0;

    // Appends a layer below the others.
    void add(double density, double p, double s, double thickness) {
        rho.push_back(density);
        vp.push_back(p);
        vs.push_back(s);
        thk.push_back(thickness);
        ++nl;
    }
};

struct Freq {
    double dom = 0.0;  // angular-frequency step (rad/s); 2*pi*fchk in check mode
    int iom = 0;
    int nom = 0;
};

struct Minmax {
    double vsmin = 0.0;
    double vsmax = 0.0;
    double ccmin = 0.0;
    double ccmax = 0.0;
    double cmin = 0.0;
    double cmax = 0.0;
    double tol = 0.0;
    int itmax = 0;
    int ncc = 0;
};

struct Nintg {
    double dep = 0.0;
    int nzint = 0;
};

struct Output {
    int isec = 0;  // 1: check mode with more than one layer, secular-function traces
    int ieig = 0;  // 1: single-frequency run, eigenfunctions against depth
};

}  // namespace vemlari

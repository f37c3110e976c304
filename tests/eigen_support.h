#pragma once
// Runs of the eigenvector stage on hand-filled tables, with phase velocities found here on the
// secular functions (independently of the dispersion search).
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "program/run.h"
#include "tests/kernels_support.h"
#include "tests/run_helpers.h"

namespace vemlari::testing {

struct StageRun {
    std::istringstream keyboard;
    std::ostringstream console, error;
    std::filesystem::path dir;
    std::unique_ptr<Run> run;
    explicit StageRun(const Nstrc& s, const std::string& tag) : dir(scratch_dir(tag)) {
        run = std::make_unique<Run>(keyboard, console, error, dir, 1);
        for (int l = 1; l <= s.nl; ++l) run->layers.add(s.rho[l], s.vp[l], s.vs[l], s.thk[l]);
        derive_scan_range(*run);
        run->nintg = {1.0, 1};
        run->ccmd.resize(3, 40);  // frequency indices 0 .. 2
    }
    // A single-frequency run at `om`, frequency index 1.
    void check_run(double om, double dep, int nzint) {
        run->freq = {om, 1, 1};
        run->nintg = {dep, nzint};
        run->output.ieig = 1;
    }
    std::string file(const std::string& name) const { return read_file(dir / name); }
    bool has(const std::string& name) const { return std::filesystem::exists(dir / name); }
};

// Mode roots on [lo, hi], slowest first.
inline std::vector<double> love_roots(const Nstrc& s, double om, double lo, double hi) {
    return modulus_zeros([&](double cv) { return love_abs(s, om, cv); }, lo, hi, 0.37);
}
inline std::vector<double> rayleigh_roots(const Nstrc& s, double om, double lo, double hi) {
    return modulus_zeros([&](double cv) { return rayleigh_abs(s, om, cv); }, lo, hi, 0.37);
}

// The root of the same mode near c0 at a neighbouring frequency.
inline double love_root_near(const Nstrc& s, double om, double c0) {
    return golden_min([&](double cv) { return love_abs(s, om, cv); }, c0 - 1.0, c0 + 1.0);
}
inline double rayleigh_root_near(const Nstrc& s, double om, double c0) {
    return golden_min([&](double cv) { return rayleigh_abs(s, om, cv); }, c0 - 1.0, c0 + 1.0);
}

inline void put_love(Run& r, int io, const std::vector<double>& cs) {
    r.ccmd.mdl[io] = static_cast<int>(cs.size()) - 1;
    for (std::size_t m = 0; m < cs.size(); ++m) r.ccmd.ccl(io, static_cast<int>(m)) = cs[m];
}
inline void put_rayleigh(Run& r, int io, const std::vector<double>& cs) {
    r.ccmd.mdr[io] = static_cast<int>(cs.size()) - 1;
    for (std::size_t m = 0; m < cs.size(); ++m) r.ccmd.ccr(io, static_cast<int>(m)) = cs[m];
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

// Comma-separated fields of a row, without the empty one after the final comma.
inline std::vector<std::string> fields(const std::string& row) {
    std::vector<std::string> out;
    std::istringstream in(row);
    for (std::string f; std::getline(in, f, ',');) out.push_back(f);
    return out;
}

}  // namespace vemlari::testing

// The eigenvector stage: the library computes every mode's group velocity, energy integral,
// medium response and H/V ratio from the dispersion table; the stage writes them, and in a
// single-frequency run also the eigenfunctions against depth.
#include <algorithm>
#include <vector>

#include "program/run.h"
#include "records/diagnostic_records.h"
#include "records/eigen_files.h"
#include "records/free_form.h"
#include "records/run_stop.h"
#include "records/summary_files.h"
#include "vemlari/compute.h"
#include "vemlari/grid_eigenfunctions.h"

namespace vemlari {

namespace {

[[noreturn]] void stop(Streams& st, const char* text) {
    write_free(st, unit::console, {text});
    write_free(st, unit::log, {text});
    throw RunStop();
}

void check_limits(Streams& st, const Run& run, int mom_limit) {
    if (run.layers.nl > nml) stop(st, " FROM ENGUU: NL.GT.20 !!!!!!!!!!!!!!!");
    if (run.nintg.nzint + 2 > ndepth) stop(st, " FROM ENGUU: NZINT+2.GT.702 !!!!!!!!!!!!!!!");
    if (mom_limit > nfreq - 1) stop(st, " FROM ENGUU: MOM.GT.701 !!!!!!!!!!!!!!!");
}

// The dispersion table as the library's modes: rows iom .. nom, modes 0 .. md of each.
Modes modes_of(const Run& run) {
    Modes m{Frequencies::regular(run.freq.dom, run.freq.iom, run.freq.nom), {}, {}, {}};
    const std::size_t n = m.frequencies.size();
    for (WaveModes* w : {&m.love, &m.rayleigh}) {
        w->phase_velocity.assign(n, {});
        w->found_at.assign(n, {});
    }
    m.love.wave = Wave::love;
    m.rayleigh.wave = Wave::rayleigh;
    const Ccmd& t = run.ccmd;
    for (std::size_t k = 0; k < n; ++k) {
        const int io = run.freq.iom + static_cast<int>(k);
        const auto row = static_cast<std::size_t>(io);
        // A half-space has no Love modes, whatever its table holds.
        for (int md = 0; run.layers.nl != 1 && md <= t.mdl[row]; ++md) {
            m.love.phase_velocity[k].push_back(t.ccl(io, md));
            m.love.found_at[k].push_back(t.ltop(io, md));
        }
        for (int md = 0; md <= t.mdr[row]; ++md) {
            m.rayleigh.phase_velocity[k].push_back(t.ccr(io, md));
            m.rayleigh.found_at[k].push_back(t.rtop(io, md));
        }
    }
    return m;
}

void fill_tables(Run& run, const Properties& p) {
    const int rows = run.ccmd.ccl.rows(), cols = run.ccmd.ccl.modes();
    for (FreqModeTable* t :
         {&run.uegl.ugl, &run.uegl.e1l, &run.uegl.rsl, &run.uegr.ugr, &run.uegr.e1r, &run.uegr.rsr, &run.uegr.hvr})
        t->resize(rows, cols);
    for (std::size_t k = 0; k < p.love.modes.size(); ++k) {
        const int io = run.freq.iom + static_cast<int>(k);
        // At zero frequency a missing mode 0 shows the largest velocity of its wave type.
        if (io == 0) {
            if (run.layers.nl != 1) run.uegl.ugl(0, 0) = run.minmax.vsmax;
            run.uegr.ugr(0, 0) = run.minmax.ccmax;
        }
        for (std::size_t md = 0; md < p.love.modes[k].size(); ++md) {
            const ModeProperties& q = p.love.modes[k][md];
            run.uegl.ugl(io, static_cast<int>(md)) = q.group_velocity;
            run.uegl.e1l(io, static_cast<int>(md)) = q.energy_integral;
            run.uegl.rsl(io, static_cast<int>(md)) = q.response;
        }
        for (std::size_t md = 0; md < p.rayleigh.modes[k].size(); ++md) {
            const ModeProperties& q = p.rayleigh.modes[k][md];
            run.uegr.ugr(io, static_cast<int>(md)) = q.group_velocity;
            run.uegr.e1r(io, static_cast<int>(md)) = q.energy_integral;
            run.uegr.rsr(io, static_cast<int>(md)) = q.response;
            run.uegr.hvr(io, static_cast<int>(md)) = q.ellipticity;
        }
    }
}

// The eigenfunction files of a single-frequency run: raw values mode by mode, then the plot
// tables with every mode normalised to a largest magnitude of 1.
void eigen_files(Run& run, const Model& model, const Modes& m) {
    Streams& st = run.streams;
    const int nz = run.nintg.nzint + 1;
    const double dz = run.nintg.dep / run.nintg.nzint;
    const RegularDepths grid{dz, run.nintg.dep, nz};
    namespace f = eigen_file;
    const auto column = [](const std::vector<double>& v, DepthModeTable& t, int md) {
        std::copy(v.begin(), v.end(), &t(0, md));
    };

    const std::vector<double>& cl = m.love.phase_velocity[0];
    const int mdl = static_cast<int>(cl.size()) - 1;
    DepthModeTable vl1, vl2;
    vl1.resize(nz, mdl + 1);
    vl2.resize(nz, mdl + 1);
    for (int md = 0; md <= mdl; ++md) {
        const Eigenfunctions e = grid_eigenfunctions(model, m, Wave::love, 0, md, grid);
        column(e.displacement, vl1, md);
        column(e.stress, vl2, md);
        write_raw(st, f::vl1.unit, &vl1(0, md), nz);
        write_raw(st, f::vl2.unit, &vl2(0, md), nz);
    }

    const std::vector<double>& cr = m.rayleigh.phase_velocity[0];
    const int mdr = static_cast<int>(cr.size()) - 1;
    DepthModeTable vr[4];
    for (DepthModeTable& t : vr) t.resize(nz, mdr + 1);
    for (int md = 0; md <= mdr; ++md) {
        const Eigenfunctions e = grid_eigenfunctions(model, m, Wave::rayleigh, 0, md, grid);
        column(e.horizontal, vr[0], md);
        column(e.vertical, vr[1], md);
        column(e.shear, vr[2], md);
        column(e.normal, vr[3], md);
        for (int q = 0; q < 4; ++q) write_raw(st, f::vr[q].unit, &vr[q](0, md), nz);
    }

    for (int md = 0; md <= mdl; ++md) {
        normalise(vl1, nullptr, md, nz);
        normalise(vl2, nullptr, md, nz);
    }
    for (int md = 0; md <= mdr; ++md) {
        normalise(vr[0], &vr[1], md, nz);
        normalise(vr[2], &vr[3], md, nz);
    }
    if (run.layers.nl != 1)
        for (int iz = 0; iz < nz; ++iz) {
            write_plot_row(st, f::ldis.unit, dz * iz, iz, mdl, vl1, nullptr);
            write_plot_row(st, f::lstr.unit, dz * iz, iz, mdl, vl2, nullptr);
        }
    for (int iz = 0; iz < nz; ++iz) {
        write_plot_row(st, f::rdis.unit, dz * iz, iz, mdr, vr[0], &vr[1]);
        write_plot_row(st, f::rstr.unit, dz * iz, iz, mdr, vr[2], &vr[3]);
    }
}

}  // namespace

void enguu(int mom_limit, Run& run) {
    Streams& st = run.streams;
    check_limits(st, run, mom_limit);
    const bool eig = run.output.ieig == 1;
    if (eig) {
        write_depth_grid(st, run.nintg.dep, run.nintg.nzint, run.layers.thk, run.layers.nl);
        open_eigen_files(st, run.ccmd.mdl[static_cast<std::size_t>(run.freq.nom)],
                         run.ccmd.mdr[static_cast<std::size_t>(run.freq.nom)]);
    }
    const Modes m = modes_of(run);
    const Model model = model_of(run.layers);
    const Properties p = mode_properties(model, m, run.threads);
    for (const std::vector<Diagnostic>& at : p.love.diagnostics)
        for (const Diagnostic& d : at) write_diagnostic(st, d);
    fill_tables(run, p);
    if (eig) {
        eigen_files(run, model, m);
        close_eigen_files(st);
    }
    write_summary_files(st, {run.freq.dom, run.freq.iom, run.freq.nom, run.minmax.cmin, run.minmax.vsmax}, run.ccmd,
                        run.uegl, run.uegr);
}

}  // namespace vemlari

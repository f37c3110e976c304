// The eigenvector stage: for every frequency and every mode of the dispersion table, the
// mode's wave field, energy integrals, group velocity and H/V ratio; in a single-frequency
// run also the eigenfunctions against depth.
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "driver/run.h"
#include "eigen/love_mode.h"
#include "eigen/rayleigh_mode.h"
#include "eigen/row_buffer.h"
#include "eigen/summary_files.h"
#include "kernels/kernels.h"
#include "records/free_form.h"
#include "records/layout.h"
#include "records/run_stop.h"
#include "records/transcript.h"
#include "driver/worker_pool.h"

namespace vemlari {

namespace {

enum Unit { vzn = 9, vl1 = 19, vl2 = 11, vr1 = 20, vr2, vr3, vr4, ldis = 24, lstr, rdis, rstr };

// Kernel records and row buffers, created once per stage.
struct StageWork {
    LoveCoefficients love;
    RayleighCoefficients rayleigh;
    Row row;
};

[[noreturn]] void stop(Streams& st, const char* text) {
    write_free(st, unit::console, {text});
    throw RunStop();
}

void check_limits(Streams& st, const Run& run, int mom_limit) {
    if (run.nstrc.nl > nml) stop(st, " FROM ENGUU: NL.GT.20 !!!!!!!!!!!!!!!");
    if (run.nintg.nzint + 2 > ndepth) stop(st, " FROM ENGUU: NZINT+2.GT.702 !!!!!!!!!!!!!!!");
    if (mom_limit > nfreq - 1) stop(st, " FROM ENGUU: MOM.GT.701 !!!!!!!!!!!!!!!");
}

void write_vzn(Streams& st, const Run& run) {
    static const Layout real("(E15.7)");
    static const Layout count("(I5)");
    st.open(vzn, "vzn_dat", OpenStatus::unk);
    real.write(st, vzn, {run.nintg.dep});
    count.write(st, vzn, {run.nintg.nzint});
    count.write(st, vzn, {run.nstrc.nl});
    for (int l = 1; l <= run.nstrc.nl; ++l) real.write(st, vzn, {run.nstrc.thk[l]});
    st.close(vzn);
}

void open_eigen_files(Streams& st, const Run& run, Row& row) {
    static const Layout love_head("('depth (km)',400(',',I3,' mode'))");
    static const Layout rayleigh_head("('depth (km)',400(',',I3,' mode (h),',I3,' mode (v)'))");
    st.open(vl1, "vl1_dat", OpenStatus::unk);
    st.open(vl2, "vl2_dat", OpenStatus::unk);
    st.open(vr1, "vr1_dat", OpenStatus::unk);
    st.open(vr2, "vr2_dat", OpenStatus::unk);
    st.open(vr3, "vr3_dat", OpenStatus::unk);
    st.open(vr4, "vr4_dat", OpenStatus::unk);
    st.open(ldis, "Ldis.csv", OpenStatus::unk);
    st.open(lstr, "Lstr.csv", OpenStatus::unk);
    st.open(rdis, "Rdis.csv", OpenStatus::unk);
    st.open(rstr, "Rstr.csv", OpenStatus::unk);
    int n = 0;
    for (int md = run.ccmd.mdl[run.freq.nom]; md >= 0; --md) row[n++] = LayoutValue(md);
    love_head.write(st, ldis, first(row, n));
    love_head.write(st, lstr, first(row, n));
    n = 0;
    for (int md = run.ccmd.mdr[run.freq.nom]; md >= 0; --md) {
        row[n++] = LayoutValue(md);
        row[n++] = LayoutValue(md);
    }
    rayleigh_head.write(st, rdis, first(row, n));
    rayleigh_head.write(st, rstr, first(row, n));
}

void write_raw(Streams& st, int u, const DepthModeTable& t, int md, int npts) {
    static const Layout real("(E15.7)");
    for (int iz = 1; iz <= npts; ++iz) real.write(st, u, {t(iz, md)});
}

// Scales the columns of one mode to a largest magnitude of 1; the floor keeps an all-zero
// eigenfunction from a division by zero.
void normalise(DepthModeTable& a, DepthModeTable* b, int md, int npts) {
    double vmax = 0.001;
    for (int iz = 1; iz <= npts; ++iz) {
        vmax = std::fmax(vmax, std::fabs(a(iz, md)));
        if (b) vmax = std::fmax(vmax, std::fabs((*b)(iz, md)));
    }
    for (int iz = 1; iz <= npts; ++iz) {
        a(iz, md) /= vmax;
        if (b) (*b)(iz, md) /= vmax;
    }
}

// One plot row: depth in km, then md + v / 2 for the modes from the highest down to 0, so
// that mode md's curve stays within md - 0.5 .. md + 0.5.
void write_plot_row(Streams& st, int u, double z, int iz, int mdmax, const DepthModeTable& a,
                    const DepthModeTable* b, Row& row) {
    static const Layout rows("(F8.4,500(',',E12.4))");
    int n = 0;
    row[n++] = LayoutValue(z / 1000.0);
    for (int md = mdmax; md >= 0; --md) {
        row[n++] = LayoutValue(md + a(iz, md) / 2.0);
        if (b) row[n++] = LayoutValue(md + (*b)(iz, md) / 2.0);
    }
    rows.write(st, u, first(row, n));
}

void love_frequency(Run& run, StageWork& w, int io, double om, double dz) {
    Streams& st = run.streams;
    const Nstrc& s = run.nstrc;
    const bool eig = run.output.ieig == 1;
    const int nz = run.nintg.nzint + 1;
    const int mdmax = run.ccmd.mdl[io];
    const DepthGrid grid{dz, run.nintg.dep, nz};
    if (io == 0) run.uegl.ugl(0, 0) = run.minmax.vsmax;
    for (int md = 0; md <= mdmax; ++md) {
        const double c = run.ccmd.ccl(io, md);
        const double wn = om / c;
        love_coefficients(om, wn, run.ccmd.ltop(io, md), s, w.love);
        if (w.love.grtlv.nwarn > 0) write_gnrtlv_warnings(st, w.love.grtlv, om, wn);
        if (eig) {
            love_eigenfunctions(om, wn, s, w.love, grid, md, run.vctl);
            write_raw(st, vl1, run.vctl.vl1, md, nz);
            write_raw(st, vl2, run.vctl.vl2, md, nz);
        }
        love_energy(om, wn, c, s, w.love, io, md, run.uegl);
    }
    for (int md = 0; md <= mdmax; ++md) {
        normalise(run.vctl.vl1, nullptr, md, nz);
        normalise(run.vctl.vl2, nullptr, md, nz);
    }
    if (!eig) return;
    for (int iz = 1; iz <= nz; ++iz) {
        const double z = dz * (iz - 1);
        write_plot_row(st, ldis, z, iz, mdmax, run.vctl.vl1, nullptr, w.row);
        write_plot_row(st, lstr, z, iz, mdmax, run.vctl.vl2, nullptr, w.row);
    }
}

void rayleigh_frequency(Run& run, StageWork& w, int io, double om, double dz) {
    Streams& st = run.streams;
    const Nstrc& s = run.nstrc;
    const bool eig = run.output.ieig == 1;
    const int nz = run.nintg.nzint + 1;
    const int mdmax = run.ccmd.mdr[io];
    // Without eigenfunction files only the surface point is needed, for the H/V ratio.
    const DepthGrid grid{dz, run.nintg.dep, eig ? nz : 1};
    Vclr& v = run.vclr;
    if (io == 0) run.uegr.ugr(0, 0) = run.minmax.ccmax;
    for (int md = 0; md <= mdmax; ++md) {
        const double c = run.ccmd.ccr(io, md);
        const double wn = om / c;
        rayleigh_coefficients(om, wn, run.ccmd.rtop(io, md), s, w.rayleigh);
        rayleigh_eigenfunctions(om, wn, s, w.rayleigh, grid, md, v);
        if (eig) {
            write_raw(st, vr1, v.vr1, md, nz);
            write_raw(st, vr2, v.vr2, md, nz);
            write_raw(st, vr3, v.vr3, md, nz);
            write_raw(st, vr4, v.vr4, md, nz);
        }
        rayleigh_energy(om, wn, c, s, w.rayleigh, io, md, run.uegr);
        rayleigh_hv(io, md, v, run.uegr);
    }
    for (int md = 0; md <= mdmax; ++md) {
        normalise(v.vr1, &v.vr2, md, nz);
        normalise(v.vr3, &v.vr4, md, nz);
    }
    if (!eig) return;
    for (int iz = 1; iz <= nz; ++iz) {
        const double z = dz * (iz - 1);
        write_plot_row(st, rdis, z, iz, mdmax, v.vr1, &v.vr2, w.row);
        write_plot_row(st, rstr, z, iz, mdmax, v.vr3, &v.vr4, w.row);
    }
}

// Without eigenfunction files every frequency's modes depend only on the dispersion table,
// so frequencies are computed side by side; each job writes its own frequency's entries, and
// the log records the kernels ask for are written afterwards in frequency order. The plot
// normalisation is left out here: it changes only depth tables that no file shows then.
void results_in_parallel(Run& run) {
    struct Slot {
        LoveCoefficients love;
        RayleighCoefficients rayleigh;
        Vclr surface;  // the surface point of each mode, for the H/V ratio
    };
    struct Job {
        Run& run;
        std::vector<std::unique_ptr<Slot>> slots;
        std::vector<int> free;
        std::mutex mutex;
        std::vector<Transcript> log;
    } job{run, {}, {}, {}, std::vector<Transcript>(static_cast<std::size_t>(run.freq.nom - run.freq.iom + 1))};
    for (int k = 0; k < run.threads; ++k) {
        job.slots.push_back(std::make_unique<Slot>());
        job.free.push_back(k);
    }
    auto frequency = [](void* context, int k) {
        Job& j = *static_cast<Job*>(context);
        int slot;
        {
            std::lock_guard<std::mutex> lock(j.mutex);
            slot = j.free.back();
            j.free.pop_back();
        }
        Slot& w = *j.slots[static_cast<std::size_t>(slot)];
        Run& r = j.run;
        const Nstrc& s = r.nstrc;
        const int io = r.freq.iom + k;
        const double om = io == 0 ? r.freq.dom / 1000.0 : r.freq.dom * io;
        if (s.nl != 1) {
            if (io == 0) r.uegl.ugl(0, 0) = r.minmax.vsmax;
            for (int md = 0; md <= r.ccmd.mdl[io]; ++md) {
                const double c = r.ccmd.ccl(io, md);
                const double wn = om / c;
                love_coefficients(om, wn, r.ccmd.ltop(io, md), s, w.love);
                if (w.love.grtlv.nwarn > 0)
                    write_gnrtlv_warnings(j.log[static_cast<std::size_t>(k)], w.love.grtlv, om, wn);
                love_energy(om, wn, c, s, w.love, io, md, r.uegl);
            }
        }
        if (io == 0) r.uegr.ugr(0, 0) = r.minmax.ccmax;
        const DepthGrid surface{r.nintg.dep / r.nintg.nzint, r.nintg.dep, 1};
        for (int md = 0; md <= r.ccmd.mdr[io]; ++md) {
            const double c = r.ccmd.ccr(io, md);
            const double wn = om / c;
            rayleigh_coefficients(om, wn, r.ccmd.rtop(io, md), s, w.rayleigh);
            rayleigh_eigenfunctions(om, wn, s, w.rayleigh, surface, md, w.surface);
            rayleigh_energy(om, wn, c, s, w.rayleigh, io, md, r.uegr);
            rayleigh_hv(io, md, w.surface, r.uegr);
        }
        std::lock_guard<std::mutex> lock(j.mutex);
        j.free.push_back(slot);
    };
    WorkerPool pool(run.threads);
    pool.run(static_cast<int>(job.log.size()), frequency, &job);
    for (const Transcript& t : job.log) t.replay(run.streams);
}

}  // namespace

void enguu(int mom_limit, Run& run) {
    Streams& st = run.streams;
    check_limits(st, run, mom_limit);
    StageWork w;
    const bool eig = run.output.ieig == 1;
    if (eig) {
        write_vzn(st, run);
        open_eigen_files(st, run, w.row);
    }
    const double dz = run.nintg.dep / run.nintg.nzint;
    if (!eig && run.threads > 1 && run.freq.nom > run.freq.iom) {
        results_in_parallel(run);
        write_summary_files(run);
        return;
    }
    for (int io = run.freq.iom; io <= run.freq.nom; ++io) {
        // The zero frequency is replaced by a thousandth of the step.
        const double om = io == 0 ? run.freq.dom / 1000.0 : run.freq.dom * io;
        if (run.nstrc.nl != 1) love_frequency(run, w, io, om, dz);
        rayleigh_frequency(run, w, io, om, dz);
    }
    if (eig)
        for (int u : {vl1, vl2, vr1, vr2, vr3, vr4, ldis, lstr, rdis, rstr}) st.close(u);
    write_summary_files(run);
}

}  // namespace vemlari

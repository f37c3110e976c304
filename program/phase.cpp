// The dispersion search stage: the library finds the modes of every frequency of the run;
// as each frequency is done the stage writes what a sequential search writes for it, so the
// console shows the progress; at the end it keeps the dispersion table that the eigenvector
// stage and the pole files read.
#include <algorithm>

#include "program/run.h"
#include "records/diagnostic_records.h"
#include "records/dispersion_files.h"
#include "records/free_form.h"
#include "records/layout.h"
#include "records/run_stop.h"
#include "records/trace_files.h"
#include "vemlari/compute.h"

namespace vemlari {

namespace {

[[noreturn]] void stop_with(Streams& st, const char* text) {
    write_free(st, unit::console, {text});
    write_free(st, unit::log, {text});
    throw RunStop();
}

void frequency_head(Run& run, const Frequencies& fr, std::size_t k) {
    static const Layout om_record("(E15.7)");
    static const Layout om_line("(' omega and freq.=',F8.3,F8.4)");
    Streams& st = run.streams;
    const double om = fr.search_angular(k);
    om_record.write(st, search_file::om.unit, {om});
    write_free(st, unit::console, {});
    for (int u : {unit::console, unit::log}) om_line.write(st, u, {om, om / 6.283185307});
    if (run.output.isec == 1) open_trace_files(st);
}

// One wave's records at frequency k; a mode count past the table stops the run.
void wave_records(Streams& st, const WaveModes& w, std::size_t k, const char* overflow) {
    if (!w.searched) return;
    for (const Diagnostic& d : w.diagnostics[k]) write_diagnostic(st, d);
    if (!w.trace.empty())
        for (const TracePoint& p : w.trace[k]) write_trace(st, w.wave, p);
    if (w.overflow && w.overflow_at == k) stop_with(st, overflow);
}

// The dispersion table of the run, rows iom .. nom. A half-space has no Love search, and its
// table keeps one Love entry of velocity 0 per frequency.
void fill_table(Run& run, const Modes& m) {
    std::size_t most = 1;
    for (const WaveModes* w : {&m.love, &m.rayleigh})
        for (const std::vector<double>& row : w->phase_velocity) most = std::max(most, row.size());
    Ccmd& t = run.ccmd;
    t.resize(run.freq.nom + 1, static_cast<int>(most));
    for (std::size_t k = 0; k < m.frequencies.size(); ++k) {
        const int io = run.freq.iom + static_cast<int>(k);
        const auto row = static_cast<std::size_t>(io);
        if (m.love.searched) t.mdl[row] = m.love.count[k] - 1;
        if (m.rayleigh.searched) t.mdr[row] = m.rayleigh.count[k] - 1;
        for (std::size_t md = 0; md < m.love.phase_velocity[k].size(); ++md) {
            t.ccl(io, static_cast<int>(md)) = m.love.phase_velocity[k][md];
            t.ltop(io, static_cast<int>(md)) = m.love.found_at[k][md];
        }
        for (std::size_t md = 0; md < m.rayleigh.phase_velocity[k].size(); ++md) {
            t.ccr(io, static_cast<int>(md)) = m.rayleigh.phase_velocity[k][md];
            t.rtop(io, static_cast<int>(md)) = m.rayleigh.found_at[k][md];
        }
    }
}

}  // namespace

void phase(int mom_limit, Run& run) {
    Streams& st = run.streams;
    if (run.layers.nl > nml) stop_with(st, " FROM PHASE: NL.GT.20 !!!!!!!!!!!!!!!");
    if (mom_limit > nfreq - 1) stop_with(st, " FROM PHASE: MOM.GT.701 !!!!!!!!!!!!!!!");

    st.open(search_file::om.unit, search_file::om.name, OpenStatus::unk);
    write_free(st, unit::console, {});
    write_free(st, unit::log, {});

    const Frequencies fr = Frequencies::regular(run.freq.dom, run.freq.iom, run.freq.nom);
    SearchOptions o;
    o.method = SearchMethod::scan;  // the program's own search: its files are its contract
    o.tolerance = run.minmax.tol;
    o.max_iterations = run.minmax.itmax;
    o.partitions = run.minmax.ncc;
    o.max_modes = nmode;
    o.keep_trace = run.output.isec == 1;
    o.threads = run.threads;
    // A mode count past the table stops the run at that frequency (RunStop out of here).
    o.on_frequency = [&](const Modes& m, std::size_t k) {
        frequency_head(run, fr, k);
        wave_records(st, m.love, k, " FROM PHASE: LOVE MODE.GT.230 !!!!!!!!!!!!!!");
        wave_records(st, m.rayleigh, k, " FROM PHASE: RAYLEIGH MODE.GT.230 !!!!!!!!!!!!!!!");
        const int io = run.freq.iom + static_cast<int>(k);
        if (run.layers.nl != 1 && io != 0)
            write_free(st, unit::console,
                       {"  The highest modes for L- and R-waves", m.love.count[k] - 1, m.rayleigh.count[k] - 1});
        // Progress shows as the search goes, however long each frequency takes.
        st.flush_console();
        return true;
    };
    const Modes m = find_modes(model_of(run.layers), fr, o);
    run.love_evaluations += m.love.evaluations;
    run.rayleigh_evaluations += m.rayleigh.evaluations;
    fill_table(run, m);
    close_trace_files(st);
    st.close(search_file::om.unit);
    write_dispersion_files(st, run.freq.iom, run.freq.nom, run.ccmd);
}

}  // namespace vemlari

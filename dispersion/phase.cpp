// The dispersion search: Love and Rayleigh modes at every frequency of the run, in
// increasing frequency (each step rule reads the two previous frequencies).
#include "dispersion/dispersion_files.h"
#include "dispersion/searches.h"
#include "dispersion/trace_files.h"
#include "driver/run.h"
#include "records/free_form.h"
#include "records/layout.h"
#include "records/run_stop.h"

namespace vemlari {

namespace {

[[noreturn]] void stop_with(Streams& st, const char* text) {
    write_free(st, unit::console, {text});
    write_free(st, unit::log, {text});
    throw RunStop();
}

}  // namespace

void phase(int mom_limit, Run& run) {
    Streams& st = run.streams;
    if (run.nstrc.nl > nml) stop_with(st, " FROM PHASE: NL.GT.20 !!!!!!!!!!!!!!!");
    if (mom_limit > nfreq - 1) stop_with(st, " FROM PHASE: MOM.GT.701 !!!!!!!!!!!!!!!");

    static const Layout om_record("(E15.7)");
    static const Layout om_line("(' omega and freq.=',F8.3,F8.4)");
    st.open(20, "om_dat", OpenStatus::unk);
    write_free(st, unit::console, {});
    write_free(st, unit::log, {});
    for (int io = run.freq.iom; io <= run.freq.nom; ++io) {
        // The searches never run at zero frequency.
        const double om = io == 0 ? 0.001 : run.freq.dom * io;
        om_record.write(st, 20, {om});
        write_free(st, unit::console, {});
        for (int u : {unit::console, unit::log}) om_line.write(st, u, {om, om / 6.283185307});
        if (run.output.isec == 1) open_trace_files(st);
        if (run.nstrc.nl != 1) love_search(io, om, run, st);
        rayleigh_search(io, om, run, st);
    }
    close_trace_files(st);
    st.close(20);
    write_dispersion_files(st, run.freq, run.ccmd);
}

}  // namespace vemlari

// The run driver: banner, the three stages, closing notes. Every early end of a run comes
// here as an exception, so streams are closed in one place and the exit status is set once.
#include <memory>
#include <ostream>

#include "program/run.h"
#include "records/free_form.h"
#include "records/layout.h"
#include "records/run_stop.h"

namespace vemlari {

namespace {

void banner(Streams& st) {
    static const Layout layout(
        "(/,/,' \"vemlari\" computes the normal mode solutions',/,"
        "'   (the phase and group velocities, and eigen vectors of',/,"
        "'    the Love and Rayleigh waves).')");
    layout.write(st, unit::console, {});
    write_free(st, unit::console, {" For trouble, please check \"fort.10\"."});
}

void closing_notes(Streams& st, const Output& out) {
    const int c = unit::console;
    write_free(st, c, {});
    write_free(st, c, {"Data \"mdl_dat, mdr_dat, phsl_dat, and phsr_dat\""});
    write_free(st, c, {"are used for \"torvex4\" as data of poles"});
    write_free(st, c, {});
    write_free(st, c, {"You can plot the dispersion curves using \"curvl.m\""});
    write_free(st, c, {"and \"curvr.m\" for \"M-file\" of \"Matlab\""});
    write_free(st, c, {});
    write_free(st, c, {"The followings are output data ofExcel format:"});
    write_free(st, c, {"  Ldisper.csv and Rdisper.csv: the dipersion curves"});
    if (out.isec != 1) return;
    write_free(st, c, {"  sec-Lov.csv: Secular Functions of Love Wave"});
    write_free(st, c, {"  sec-Ray.csv: Secular Functions of Rayleigh Wave"});
    write_free(st, c, {"  Ldis.csv: Eigen Displacement Vector of Love Wave"});
    write_free(st, c, {"  Lstr.csv: Eigen Stress Vector of Love Wave"});
    write_free(st, c, {"  Rdis.csv: Eigen Displacement Vector of Rayleigh Wave"});
    write_free(st, c, {"  Rstr.csv: Eigen Stress Vector of Rayleigh Wave"});
    write_free(st, c, {"  Lmedres.csv: Medium Response of Love Wave"});
    write_free(st, c, {"  Rmedres.csv: Medium Response of Rayleigh Wave"});
}

// Closing after a failure must not hide the first report behind a second one.
void close_quietly(Streams& st) {
    try {
        st.close_all();
    } catch (const StreamFailure&) {
    }
}

}  // namespace

int run_vemlari(std::istream& keyboard, std::ostream& console, std::ostream& error, const std::filesystem::path& dir,
                int threads, RunFigures* figures) {
    // The run's tables are large; they live on the heap for the whole run.
    auto run = std::make_unique<Run>(keyboard, console, error, dir, threads < 1 ? 1 : threads);
    Streams& st = run->streams;
    struct Report {
        const Run& run;
        RunFigures* figures;
        ~Report() {
            if (figures != nullptr) *figures = {run.love_evaluations, run.rayleigh_evaluations};
        }
    } report{*run, figures};
    try {
        try {
            banner(st);
            int limit = mom;
            indat(limit, *run);
            phase(limit, *run);
            enguu(limit, *run);
            closing_notes(st, run->output);
            st.close_all();
            return 0;
        } catch (const RunStop& stop) {
            if (!stop.console_text().empty()) write_free(st, unit::console, {std::string_view(stop.console_text())});
            st.close_all();
            return exit_stopped;
        }
    } catch (const StreamFailure& failure) {
        error << failure.report();
        error.flush();
        close_quietly(st);
        return exit_stream_failure;
    }
}

}  // namespace vemlari
